#pragma once

#include "TestDataFolder.h"
#include "copies/CopyPlace.h"
#include "copies/CopySettings.h"
#include "copies/CopyWriter.h"
#include "program/Household.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A demo data folder, a copies folder beside it, the household a copy is
// made from and a clock the test sets.
class CopiesTest : public ::testing::Test {
protected:
    void SetUp() override;

    QString dataFolder() const { return m_data->path(); }
    QString copiesFolder() const { return m_copies.path(); }
    CopyPlace place() const { return CopyPlace(copiesFolder(), inventoryIdentity(dataFolder())); }
    CopyResult copy()
    {
        return makeCopy(*m_household, copiesFolder(), [this] { return now; });
    }
    // The versions under versions/, oldest first.
    QStringList versionNames() const;
    // A path in a scratch folder of the test's own.
    QString scratch(const QString &name) const { return m_scratch.filePath(name); }

    // Sets the price of the first item (by key), a change a copy must see.
    void setFirstPrice(qint64 cents) const;
    // Writes bytes as the item file name in the images folder.
    void writeItemFile(const QString &name, const QByteArray &bytes) const;

    std::unique_ptr<TestDataFolder> m_data;
    std::unique_ptr<Household> m_household;
    QTemporaryDir m_copies;
    QTemporaryDir m_scratch;
    QDateTime now = QDateTime(QDate(2026, 1, 5), QTime(20, 0), Qt::UTC);
};

// Copies switched on into folder, nothing else noted yet.
inline CopySettings switchedOn(const QString &folder)
{
    CopySettings copies;
    copies.folder = folder;
    copies.enabled = true;
    return copies;
}

// Every row of every table of the database at path, as text, in a fixed
// order: what "the same data" means when two inventories are compared.
QString databaseDump(const QString &path);

// Flips one bit of the byte at offset (from the end when negative).
void flipByte(const QString &path, qint64 offset);
