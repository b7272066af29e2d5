#pragma once

#include "backup/BackupManifest.h"

#include <QString>
#include <QStringList>

// Told how a backup goes; called on the thread that makes the backup.
class BackupProgress {
public:
    virtual ~BackupProgress() = default;
    // What is being done now, for a person to read.
    virtual void stage(const QString &text) { Q_UNUSED(text); }
    // How much of the archive is written, 0 to 1.
    virtual void progress(double fraction) { Q_UNUSED(fraction); }
    // Asked now and then: true stops the backup, which then fails as
    // cancelled and leaves no archive behind.
    virtual bool cancelled() { return false; }
    // The archive is complete and is being saved to the disk and put under
    // its name, which can take a while for a large one; cancelled() is no
    // longer asked from here on.
    virtual void finishing(const QString &text) { stage(text); }
};

struct BackupSummary {
    BackupManifest manifest;
    int pictures = 0;
    int reportFiles = 0;
    qint64 archiveBytes = 0;
    // Files of the data folder that looked like members but were left out
    // (a link, a name a backup cannot hold), by their names in the folder.
    QStringList skipped;
};

// Writes one ZIP archive at zipPath holding the data folder: copies of
// stowbook.db and rptspec.db made with SQLite's online backup (so the
// program may go on writing meanwhile), every report file (*.srp, *.rpt),
// the claimant details, the help file and every item picture, followed by
// the manifest. The archive is made under a temporary name beside zipPath,
// readable by its owner only, synced, and then takes zipPath's place in one
// step; an existing file at zipPath stays until then. Throws BackupError.
BackupSummary writeBackup(const QString &dataFolder, const QString &zipPath, BackupProgress *progress = nullptr);
