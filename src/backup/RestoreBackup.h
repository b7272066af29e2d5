#pragma once

#include "backup/BackupManifest.h"

#include <QString>
#include <functional>

// Checks the backup at zipPath whole (every member's checksum, each
// database's integrity, the manifest's figures) without writing anything
// but scratch copies of the databases in a private temporary folder.
// Returns the manifest; throws BackupError with the first problem.
BackupManifest verifyBackup(const QString &zipPath, const std::function<void(double)> &progress = {});

// Restores the backup at zipPath as a new data folder at folder. folder must
// not exist, or be an empty folder; anything else is refused as setup
// refuses a folder that holds an inventory. The whole backup is checked as
// verifyBackup checks it (with the scratch copies in a hidden folder beside
// folder) before anything is unpacked; then it is unpacked into a hidden
// temporary folder beside folder, checked again on the way, and that folder
// is renamed into place. A failed restore leaves nothing: no folder, no
// file, not even the folders made on the way to folder. The new folder is
// its owner's alone (0700, files 0600). Throws BackupError.
BackupManifest restoreBackup(const QString &zipPath, const QString &folder,
                             const std::function<void(double)> &progress = {});
