#pragma once

#include <QString>
#include <QtGlobal>

// An item's picture lives in the picture folder as one file named after the
// item's key: the key in (at least) eight digits, a dot and any extension.

// "00000042" for 42; longer keys keep all their digits.
QString pictureBaseName(qint64 iteid);

// The item's picture file: the first plain file of folder (ending with "/"),
// in name order, called pictureBaseName + "." + any extension. Hidden files
// and folders do not count. Empty when there is none.
QString findPictureFile(const QString &folder, qint64 iteid);

// Deletes that file when there is one. Throws DbError (75, path/file access
// error) when it exists but cannot be deleted.
void deletePictureFile(const QString &folder, qint64 iteid);
