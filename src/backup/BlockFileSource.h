#pragma once

#include <QString>
#include <zip.h>

// A libzip source that writes a new archive to the file at path in large
// blocks. libzip's own file source writes through the C library's stream,
// in pieces of the file system's block size (4 KB): a 1 GB backup took a
// quarter of a million writes, most of its system time. This one gathers
// what libzip writes and hands it to the system a few megabytes at a time.
//
// Only for making a new archive: path must not exist (the source answers
// libzip that there is no archive yet); the file is made, its owner's
// alone, when libzip begins to write, and closed (not synced) when it
// commits. A write that fails, or a rolled back archive, removes the file.
// Returns nullptr with the reason in *error.
zip_source_t *newBlockFileSource(const QString &path, zip_error_t *error);
