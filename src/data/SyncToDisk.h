#pragma once

#include <QString>
#include <optional>

// Puts what was written to a file, or a folder's list of names (after a
// file was made, renamed or removed in it), on the disk, so that a power cut
// afterwards keeps it. Every write that is called finished once it is on
// the disk goes through here: a sync that fails is a write that failed.
//
// Each returns std::nullopt when the data is on the disk, else the reason
// it may not be, for a person to read. A file system that cannot sync at all
// (it says EINVAL or ENOTSUP) counts as done: nothing more can be had from
// it, and refusing every write there would help nobody.

// An open file descriptor (of a file or a folder).
std::optional<QString> syncToDisk(int handle);
// The file or folder at path, opened for the sync and closed again.
std::optional<QString> syncToDisk(const QString &path);
