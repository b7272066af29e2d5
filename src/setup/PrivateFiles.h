#pragma once

#include <QString>
#include <sys/types.h>

class CreatedPaths;

// A data folder lists a household's valuables, where they are kept and their
// serial numbers. What setup makes there is its owner's alone, whatever the
// umask: folders rwx------, files rw-------. The permissions are set right
// after each is made, before anything is written into it.
inline constexpr mode_t PrivateFolderMode = 0700;
inline constexpr mode_t PrivateFileMode = 0600;

// Throw SetupError naming the path when the permissions cannot be set.
void makeFilePrivate(const QString &path);
// A folder that was there before setup is tightened too: created remembers
// its old mode, so a setup that fails gives it back.
void makeFolderPrivate(const QString &path, CreatedPaths &created);

// Sets the mode of path; false (with errno set) when it could not.
bool changeMode(const QString &path, mode_t mode);
