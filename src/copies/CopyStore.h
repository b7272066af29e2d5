#pragma once

#include "copies/CopyManifest.h"
#include "copies/CopyPlace.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The versions in an inventory's copies as the folder holds them, and the
// upkeep that only ever removes what this program wrote there for this
// inventory: a version is removed file by file, naming only what its
// manifest lists, and a stored photo or document only when a removed
// version referred to it and no kept version does. Anything else in the
// folders (another program's files, even with names like ours) stays.

struct FoundVersion {
    QString name;
    QDateTime made; // UTC, from the name
    bool pinned = false;
    std::optional<CopyManifest> manifest; // std::nullopt: it cannot be read
    QString problem;                      // why not
};

// Every folder of versions/ whose name is a version name (links are not
// followed), oldest first.
QList<FoundVersion> findVersions(const CopyPlace &place);
// The manifest of the version in versionFolder; std::nullopt with the reason.
std::optional<CopyManifest> readVersionManifest(const QString &versionFolder, QString *problem);

// Keeps the version whatever the retention says (pinned), or lets it go
// again. Throws CopyError.
void pinVersion(const CopyPlace &place, const QString &version, bool pinned);

// Removes what a copy or an upkeep stopped half-way (killed, the power cut)
// left behind: its hidden working folders and the stored files it had
// written for a version that never came to be.
void clearLeftovers(const CopyPlace &place);

// Removes the versions that the retention does not keep at now, and the
// stored files only they referred to. While some version's manifest cannot
// be read, no stored file is removed: what it refers to is unknown. Returns
// the names of the versions removed. Throws CopyError.
QStringList pruneCopies(const CopyPlace &place, const QDateTime &now);

// The inventories whose copies are in copiesFolder, which may be the folder
// chosen for copies, its stowbook-copies folder or one inventory's folder
// in that.
QList<CopyPlace> inventoriesIn(const QString &copiesFolder);
