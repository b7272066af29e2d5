#pragma once

#include "copies/CopyPlace.h"
#include "copies/CopyStore.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// What a check of an inventory's copies found: for each version, what is
// wrong with it (nothing: it restores), and each stored photo or document
// that is missing or damaged, with the versions and names that use it.
struct VersionCheck {
    FoundVersion version;
    QStringList problems;
    bool sound() const { return problems.isEmpty(); }
};

struct StoredCheck {
    QString name;       // "files/ab/abcd..."
    QString problem;    // "is missing", "does not match its checksum"...
    QStringList usedBy; // "images/00000042.jpg in 2026-12-08T093015Z"
};

struct CopiesCheck {
    CopyPlace place;
    QString dataFolder; // as the newest readable manifest names it
    QList<VersionCheck> versions;
    QList<StoredCheck> damagedStored;
    int storedFiles = 0;
    bool sound() const;
};

// Reads every file of every version and every stored file once: sizes and
// checksums against the manifests, PRAGMA integrity_check of each database
// (opened read-only, nothing written beside it), the item count and total
// value. Nothing in the copies folder is changed.
CopiesCheck checkCopies(const CopyPlace &place, const std::function<void(double)> &progress = {});

// The same for one version and the stored files it refers to; the problems
// found, none when it restores. storedProblems keeps what was found for
// each stored file (by checksum), so a file is read once for many versions.
QStringList checkVersion(const CopyPlace &place, const FoundVersion &version,
                         QHash<QByteArray, QString> *storedProblems = nullptr);
