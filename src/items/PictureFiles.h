#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>
#include <optional>

// Reading pictures of every kind safely, and the picture as its file holds
// it. Where an item's picture file lives and how it is named is ItemFiles'.

// Reads a picture file of any kind the image plugins know; the content
// decides the kind, not the extension. A null image when it cannot be read,
// with the reason in *reason when that is given. A picture of more than
// MaxPicturePixels is refused from its header, before its pixels take any
// memory.
QImage readPictureFile(const QString &path, QString *reason = nullptr);
// The same for the bytes of a picture file.
QImage readPictureData(const QByteArray &bytes, QString *reason = nullptr);

// The size of the picture in the file at path as it is shown (upright),
// read from its header; empty when the file holds no picture that
// readPictureFile would read.
QSize pictureFileSize(const QString &path);
// The picture in the file at path, upright, read to fit within bound with
// its proportions kept (never enlarged). Kinds whose readers can decode at a
// smaller size (JPEG) never hold the whole picture in memory. Null, with the
// reason, as readPictureFile.
QImage readPictureFileScaled(const QString &path, QSize bound, QString *reason = nullptr);

// The most pixels a picture may have. Every picture is shown, copied and
// written at 32 bits a pixel, whatever its file holds (a 1-bit bitmap of
// 30,000 x 30,000 pixels is 112 MB in its file's form but 3.6 GB once
// shown), so the limit is in pixels: 128 megapixels, which is 512 MB at 32
// bits and more than twice the 50 megapixels of today's large phone and
// camera photos.
inline constexpr qint64 MaxPicturePixels = qint64(128) * 1024 * 1024;

// The picture as it is shown and copied, and written when it has no file of
// its own: transparent parts laid on white, as every picture is shown.
// Null stays null.
QImage opaquePicture(const QImage &picture);

// A picture as its file holds it: written back byte for byte, so a photo
// keeps its size, its quality and its orientation data.
struct PictureFile {
    QByteArray bytes;
    QString extension; // lower case, without the dot: "jpg", "png"
};

// The most bytes a picture file may have: an uncompressed bitmap of
// MaxPicturePixels at 32 bits a pixel, and some room for its header.
inline constexpr qint64 MaxPictureFileBytes = MaxPicturePixels * 4 + 1024 * 1024;

// A picture file the user chose, read whole.
struct LoadedPicture {
    QImage picture;   // as it is shown (upright), not yet made opaque
    PictureFile file; // the bytes the picture was read from
};

// Reads the file at path once: the picture is read from the very bytes that
// are kept. The extension is the file's own when it is a plain one (letters
// and digits, up to eight), else the one of the kind its content is.
// std::nullopt, with the reason in *reason, when the file cannot be read,
// is larger than MaxPictureFileBytes or holds no picture readPictureData
// accepts.
std::optional<LoadedPicture> loadPictureFile(const QString &path, QString *reason = nullptr);

// A picture that has no file of its own (a pasted one) as the file it is
// kept as: PNG, which keeps every pixel in a fraction of a bitmap's size.
// Throws DbError (75) when it cannot be encoded.
PictureFile pictureFileOf(const QImage &picture);
