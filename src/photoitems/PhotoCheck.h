#pragma once

#include <QString>

// Why the file is no photo the batch takes, in a few words for the list of
// files skipped ("not a photo", "too large to show", "cut short"); empty
// when it is one. Reads the file's header and, for a JPEG or PNG, its end:
// a file cut short (a copy broken off, a card pulled out) would otherwise
// become an item's photo with its lower part grey.
QString whyNotAPhoto(const QString &path);

// Whether a JPEG or PNG file holds its end marker (JPEG: the end of image
// after the first scan, as a file with data after the photo, such as a
// phone's motion photo, holds it too; PNG: the IEND chunk). Other files
// count as complete.
bool endsComplete(const QString &path);
