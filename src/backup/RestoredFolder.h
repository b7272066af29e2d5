#pragma once

#include "data/MissingFolders.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A new data folder being restored, from a backup or a copy. Restore never
// writes into an existing data folder: the place must be new, or an empty
// folder. Everything is written into a hidden folder beside it, which
// becomes the new folder by one rename once it is all on the disk, or goes
// entirely with the folders made on the way to it. Every refusal and
// failure throws BackupError saying that nothing was changed.
class RestoredFolder {
public:
    // Refuses a file, a link or a folder that holds anything at folder.
    explicit RestoredFolder(const QString &folder);
    ~RestoredFolder();
    RestoredFolder(const RestoredFolder &) = delete;
    RestoredFolder &operator=(const RestoredFolder &) = delete;

    // Absolute and clean.
    const QString &path() const { return m_path; }
    // Refuses when the disk that will hold the folder has less than bytes
    // free; what is what needs them ("The backup").
    void needRoom(qint64 bytes, const QString &what) const;
    // Makes the folders on the way to it; returns the start of the hidden
    // names beside it (the parent folder's ".name"), for scratch folders.
    QString prepare();
    // The hidden folder everything is written into (made at the first call).
    QString staging();
    // Makes the staging folder its owner's alone, puts it on the disk and
    // renames it into place; the new name is on the disk when this returns.
    void finish();

private:
    QString m_path;
    QString m_parent;
    bool m_existed = false; // an empty folder was there
    MadeFolders m_made;
    std::unique_ptr<QTemporaryDir> m_staging;
};
