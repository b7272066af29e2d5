#pragma once

#include "copies/CopyManifest.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class Household;

// What time it is, in UTC; the tests set their own.
using CopyClock = std::function<QDateTime()>;

// What a copy made on another thread is told and asked while it works. Both
// are called on the copy's thread, and may be empty.
struct CopyControl {
    // True when the copy is to stop: it ends, at the next file, with
    // CopyCancelled, leaving the copies folder as it was before.
    std::function<bool()> cancelled;
    // The item files (photos, documents) looked at so far, of total.
    std::function<void(qsizetype done, qsizetype total)> progress;
};

struct CopyResult {
    bool made = false; // false: nothing changed since the newest version, which is version
    QString version;
    CopyManifest manifest;
    int storedFiles = 0;    // photos and documents the version refers to
    int newStoredFiles = 0; // of those, the ones written by this copy
    qint64 bytesWritten = 0;
    QStringList removedVersions; // let go by the retention
    QStringList skipped;         // item files left out: links and the like
    // Why the upkeep after the copy (clearing what an earlier copy left,
    // letting old versions go) did not finish; the copy stands all the
    // same, and the next one tries again.
    QString upkeepProblem;
};

// Makes a version of the household's inventory in copiesFolder (which must
// exist: a missing one is a drive not plugged in, never made here): the
// databases as consistent copies made with SQLite's online backup (so the
// program may go on writing), the report files, the claimant details and
// the help file, and the manifest; every photo and document is stored once
// by its SHA-256 and only referred to by the versions. Nothing is made when
// the inventory is as the newest version has it. Each file is written under
// a hidden name, synced and renamed; the version is made in a hidden
// folder, read back and checked (sizes, checksums, PRAGMA integrity_check,
// the item count and total value) and only then renamed under versions/,
// so a version that is there is whole and verified. Then the retention lets
// go of versions it no longer keeps. One copy of an inventory at a time.
// Throws CopyError when no verified copy of the inventory as it is now
// exists; earlier versions stay as they were.
CopyResult makeCopy(const Household &household, const QString &copiesFolder, const CopyClock &clock = {},
                    const CopyControl &control = {});
