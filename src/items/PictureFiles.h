#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>

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

// The most pixels a picture may have. Every picture is shown, copied and
// written at 32 bits a pixel, whatever its file holds (a 1-bit bitmap of
// 30,000 x 30,000 pixels is 112 MB in its file's form but 3.6 GB once
// shown), so the limit is in pixels: 128 megapixels, which is 512 MB at 32
// bits and more than twice the 50 megapixels of today's large phone and
// camera photos.
inline constexpr qint64 MaxPicturePixels = qint64(128) * 1024 * 1024;

// The picture as it is shown, written and copied: transparent parts laid on
// white, since a bitmap file keeps no transparency. Null stays null.
QImage opaquePicture(const QImage &picture);

// Makes picture the item's picture file, pictureBaseName + ".bmp", and then
// removes the item's other picture files, which the lookup might otherwise
// find first. The old file is replaced in one step, so a failed write never
// leaves a partial picture nor loses the old one. Throws DbError (75) when
// the picture cannot be written or an older file cannot be removed.
void writePictureFile(const QString &folder, qint64 iteid, const QImage &picture);
