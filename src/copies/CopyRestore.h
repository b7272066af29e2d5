#pragma once

#include "copies/CopyCheck.h"
#include "copies/CopyManifest.h"
#include "copies/CopyPlace.h"

#include <QString>
#include <functional>

// The one inventory whose copies are in copiesFolder (see inventoriesIn).
// Throws CopyError when there are none, or several: then it lists them with
// their data folders, so the user can name one's folder instead.
CopyPlace soleInventory(const QString &copiesFolder);

// The version that choice names: a version's name, or a date
// ("2026-12-08", the newest version of that day, in UTC as the names are),
// or, when choice is empty, the newest version. Throws CopyError.
FoundVersion chooseVersion(const CopyPlace &place, const QString &choice);

// Restores the version as a new data folder at folder, with the care of
// the backup's restore: folder must not exist or be an empty folder; the
// whole version and every photo and document it refers to is checked
// (sizes, checksums, integrity, figures) before anything is written; the
// files are then copied into a hidden folder beside folder, checked again
// on the way and synced, and that folder is renamed into place. A failed
// restore leaves nothing behind. Throws CopyError.
CopyManifest restoreCopy(const CopyPlace &place, const FoundVersion &version, const QString &folder,
                         const std::function<void(double)> &progress = {});
