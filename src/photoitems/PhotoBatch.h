#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

class Household;

// One photo offered to become (part of) an item.
struct BatchPhoto {
    QString path;
    QDateTime taken;
    bool byCamera = false; // taken says what the camera wrote
    qint64 bytes = 0;
    QString sha256;       // lower-case hex; empty when the file could not be read
    qint64 knownItem = 0; // an item of the inventory that has this photo already
};

// The photos at paths in the order they were taken, the file's name
// breaking ties, each with its size and checksum. A file that cannot be read
// keeps an empty checksum.
std::vector<BatchPhoto> readPhotos(const QStringList &paths);

// The first photo of each group: a photo taken within gapSeconds of the one
// before it joins that one's group, as the photos of one thing taken from
// several sides do. photos are in the order taken.
std::vector<int> groupStarts(const std::vector<BatchPhoto> &photos, int gapSeconds);

// Marks each photo that an item of the household has already (the same
// checksum): further photos by their recorded checksum, pictures by their
// content, read only for pictures of a size that one of photos has.
void markKnownPhotos(Household &household, std::vector<BatchPhoto> &photos);
