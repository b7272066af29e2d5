#pragma once

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
// with the reason in *reason when that is given.
QImage readPictureFile(const QString &path, QString *reason = nullptr);

// The picture as it is shown, written and copied: transparent parts laid on
// white, since a bitmap file keeps no transparency. Null stays null.
QImage opaquePicture(const QImage &picture);

// Makes picture the item's picture file, pictureBaseName + ".bmp", and then
// removes the item's other picture files, which the lookup might otherwise
// find first. The old file is replaced in one step, so a failed write never
// leaves a partial picture nor loses the old one. Throws DbError (75) when
// the picture cannot be written or an older file cannot be removed.
void writePictureFile(const QString &folder, qint64 iteid, const QImage &picture);
