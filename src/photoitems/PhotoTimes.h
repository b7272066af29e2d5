#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// When a photo was taken: what the camera wrote into the file (the EXIF
// date and time of the original, else of the file), read with libexif, as
// the local time the camera kept. Nothing when the file holds no such
// record or an unreadable one.
std::optional<QDateTime> cameraTime(const QString &path);

// When the photo was taken as far as can be told: the camera's time, else
// the time the file was last written (a copy made by a phone sync keeps it
// as a rule).
struct PhotoTime {
    QDateTime taken;
    bool byCamera = false;
};
PhotoTime photoTime(const QString &path);
