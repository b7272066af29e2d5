#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>
#include <optional>

// An item's picture lives in the picture folder as one file named after the
// item's key: the key in (at least) eight digits, a dot and any extension.

// DataFolder + "images/".
QString pictureFolder();

// "00000042" for 42; longer keys keep all their digits.
QString pictureBaseName(qint64 iteid);

// The item's picture file: the first plain file of folder (ending with "/"),
// in name order, called pictureBaseName + "." + any extension. Hidden files
// and folders do not count. Empty when there is none.
QString findPictureFile(const QString &folder, qint64 iteid);

// Deletes that file when there is one. Throws DbError (75, path/file access
// error) when it exists but cannot be deleted.
void deletePictureFile(const QString &folder, qint64 iteid);

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
    QString extension;   // lower case, without the dot: "jpg", "png"
};

// The most bytes a picture file may have: an uncompressed bitmap of
// MaxPicturePixels at 32 bits a pixel, and some room for its header.
inline constexpr qint64 MaxPictureFileBytes = MaxPicturePixels * 4 + 1024 * 1024;

// A picture file the user chose, read whole.
struct LoadedPicture {
    QImage picture;      // as it is shown (upright), not yet made opaque
    PictureFile file;    // the bytes the picture was read from
};

// Reads the file at path once: the picture is read from the very bytes that
// are kept. The extension is the file's own when it is a plain one (letters
// and digits, up to eight), else the one of the kind its content is.
// std::nullopt, with the reason in *reason, when the file cannot be read,
// is larger than MaxPictureFileBytes or holds no picture readPictureData
// accepts.
std::optional<LoadedPicture> loadPictureFile(const QString &path, QString *reason = nullptr);

// Makes file the item's picture file, pictureBaseName + "." + its
// extension, and then removes the item's other picture files, which the
// lookup might otherwise find first. The old file is replaced in one step,
// so a failed write never leaves a partial picture nor loses the old one.
// Throws DbError (75) when the picture cannot be written or an older file
// cannot be removed.
void writePictureFile(const QString &folder, qint64 iteid, const PictureFile &file);
// The same for a picture that has no file of its own (a pasted one): it is
// written as PNG, which keeps every pixel in a fraction of a bitmap's size.
void writePictureFile(const QString &folder, qint64 iteid, const QImage &picture);
