#pragma once

#include "FolderContents.h"
#include "TestDataFolder.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A demo data folder with what a backup must carry besides the databases:
// a photo kept as a JPEG, a PNG, the demo's bitmaps, a report file with a
// name in another script, and the claimant details. Backups and restores go
// into a scratch folder of their own.
class BackupTest : public ::testing::Test {
protected:
    void SetUp() override;

    QString dataFolder() const { return m_data->path(); }
    // A path in the scratch folder.
    QString scratch(const QString &name) const { return m_scratch.filePath(name); }
    QString scratchFolder() const { return m_scratch.path(); }

    std::unique_ptr<TestDataFolder> m_data;
    QTemporaryDir m_scratch;
};

// The permission bits of a path (0700, 0600...).
int modeOf(const QString &path);
// Every row of the tables of a database file, as text, in key order.
QStringList tableRows(const QString &databasePath, const QString &table);
