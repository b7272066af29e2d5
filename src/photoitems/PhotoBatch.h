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
    QString sha256;       // lower-case hex; read only for a photo of a size the inventory has
    qint64 knownItem = 0; // an item of the inventory that has this photo already
};

// The photos at paths in the order they were taken, the file's name
// breaking ties, each with its size.
std::vector<BatchPhoto> readPhotos(const QStringList &paths);

// The first photo of each group: a photo taken within gapSeconds of the one
// before it joins that one's group, as the photos of one thing taken from
// several sides do. photos are in the order taken.
std::vector<int> groupStarts(const std::vector<BatchPhoto> &photos, int gapSeconds);

// Marks each photo that an item of the household has already (the same
// checksum). Only files of equal size are read: a photo's checksum when the
// inventory has a photo of its size, a picture's (pictures have no
// recorded checksum) when a photo of the batch has its size.
void markKnownPhotos(Household &household, std::vector<BatchPhoto> &photos);
