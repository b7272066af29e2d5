// The program started on a damaged inventory: it keeps the damaged file as
// it was, rebuilds the database from every row that can still be read, and
// goes on with it. Which rows can be read is worked out from the file's
// pages before the damage, not by the repair.
#include "ItemPages.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "WrittenItems.h"
#include "app/frmMain.h"
#include "data/Inventory.h"
#include "program/Household.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

using Rows = std::map<qint64, QVariantMap>;

Rows rowsOf(Database &db, const QString &table, const QString &key)
{
    Rows rows;
    auto rs = db.openRecordset(QStringLiteral("select * from ") + table, RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext()) {
        QVariantMap row;
        for (const QString &column : rs->columnNames())
            row.insert(column, rs->value(column));
        rows[rs->value(key).toLongLong()] = row;
    }
    return rows;
}

// One inventory of a few thousand generated items, some with notes long
// enough to need overflow pages, made once and copied for every case.
struct Inventory {
    TestDataFolder folder{SetupOptions{.generatedItems = 3000}};
    QByteArray bytes;
    std::map<QString, RowPages> pages; // per table
    std::map<QString, Rows> rows;
    int pageCount = 0;

    Inventory()
    {
        auto db = Database::open(folder.file(InventoryFileName));
        db->execute(QStringLiteral("update items set Notes = Notes || ?1 where iteid % 40 = 0"),
                    {QString(9000, QLatin1Char('n'))});
        db->execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        for (const auto &[table, key] :
             std::map<QString, QString>{{QStringLiteral("items"), QStringLiteral("iteid")},
                                        {QStringLiteral("categories"), QStringLiteral("catid")},
                                        {QStringLiteral("locations"), QStringLiteral("locid")}})
            rows[table] = rowsOf(*db, table, key);
        std::map<QString, quint32> roots;
        for (const auto &[table, unused] : rows)
            roots[table] =
                db->scalar(QStringLiteral("select rootpage from sqlite_master where name = ?1"), {table}).toUInt();
        db.reset();
        bytes = readAll(folder.file(InventoryFileName));
        for (const auto &[table, root] : roots)
            pages[table] = rowPagesOf(bytes, root);
        pageCount = int(bytes.size() / pages[QStringLiteral("items")].pageSize);
    }
};

Inventory *inventory = nullptr;

struct Damage {
    std::string name;
    QByteArray bytes;
    std::set<quint32> destroyed; // pages whose rows cannot be read
};

class DamagedDatabaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { inventory = new Inventory; }
    static void TearDownTestSuite()
    {
        delete inventory;
        inventory = nullptr;
    }
    void TearDown() override
    {
        window.reset();
        household.closeInventory();
        prompts.clear();
    }

    QString shownTexts() const
    {
        QStringList texts;
        for (const ScriptedPrompts::Call &call : prompts.messages())
            texts << call.title + QStringLiteral(": ") + call.text;
        return texts.join(QLatin1Char('\n'));
    }

    static int pageSize() { return inventory->pages[QStringLiteral("items")].pageSize; }

    // A copy of the inventory's data folder with the damaged database in it.
    QString folderWith(const QByteArray &database)
    {
        dir = std::make_unique<QTemporaryDir>();
        const QString path = dir->path() + QStringLiteral("/data/");
        QDir().mkpath(path);
        const QDir from(inventory->folder.path());
        for (const QString &name : from.entryList(QDir::Files)) {
            if (name != InventoryFileName)
                QFile::copy(from.filePath(name), path + name);
        }
        EXPECT_TRUE(writeAll(path + InventoryFileName, database));
        return path;
    }

    // Starts the program there, as the user would, and answers its report.
    void start(const QString &path)
    {
        prompts.answer(Prompts::Answer::Ok);
        window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), path});
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    void expectRepaired(const Damage &damage)
    {
        SCOPED_TRACE(damage.name);
        const QString path = folderWith(damage.bytes);
        try {
            start(path);
        } catch (const ProgramEnded &) {
            FAIL() << "the program ended; it said:\n" << shownTexts().toStdString();
        }

        // One report of the repair, the count of what came back in it.
        int readable = 0;
        std::map<QString, std::set<qint64>> expected;
        for (const auto &[table, pages] : inventory->pages) {
            expected[table] = rowsOutside(pages, damage.destroyed);
            readable += int(expected[table].size());
        }
        const std::vector<ScriptedPrompts::Call> shown = prompts.messages();
        ASSERT_EQ(shown.size(), 1u) << shownTexts().toStdString();
        EXPECT_EQ(shown[0].title, QStringLiteral("Database Repaired"));
        EXPECT_TRUE(
            shown[0].text.contains(QStringLiteral("; %1 records could be read back").arg(QLocale().toString(readable))))
            << shown[0].text.toStdString();

        // The damaged file kept byte for byte.
        const QStringList kept = QDir(path).entryList({QStringLiteral("stowbook-damaged-*")}, QDir::Files);
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(readAll(path + kept[0]) == damage.bytes) << "the damaged file was not kept as it was";

        // The program goes on with the rebuilt file, showing a recovered item.
        ASSERT_TRUE(household.dbInventory() && household.rsItems());
        EXPECT_EQ(household.dbInventory()->mode(), OpenMode::Exclusive);
        EXPECT_EQ(household.dbInventory()->scalar(QStringLiteral("PRAGMA integrity_check")).toString(),
                  QStringLiteral("ok"));
        if (!expected[QStringLiteral("items")].empty()) {
            const qint64 shownKey = household.rsItems()->value(QStringLiteral("iteid")).toLongLong();
            EXPECT_TRUE(expected[QStringLiteral("items")].count(shownKey));
            EXPECT_EQ(window->txtItem->text(),
                      inventory->rows[QStringLiteral("items")][shownKey].value(QStringLiteral("Item")).toString());
        }

        // Exactly the readable rows, each with its values.
        int recovered = 0;
        for (const auto &[table, key] :
             std::map<QString, QString>{{QStringLiteral("items"), QStringLiteral("iteid")},
                                        {QStringLiteral("categories"), QStringLiteral("catid")},
                                        {QStringLiteral("locations"), QStringLiteral("locid")}}) {
            const Rows rebuilt = rowsOf(household.inventory(), table, key);
            std::set<qint64> keys;
            for (const auto &[k, row] : rebuilt) {
                keys.insert(k);
                const auto original = inventory->rows[table].find(k);
                ASSERT_NE(original, inventory->rows[table].end()) << table.toStdString() << " row " << k << " is new";
                EXPECT_EQ(differences(row, original->second), QString()) << table.toStdString() << " row " << k;
            }
            recovered += int(keys.size());
            EXPECT_EQ(keys.size(), expected[table].size()) << table.toStdString();
            EXPECT_TRUE(keys == expected[table]) << table.toStdString() << ": other rows than the readable ones";
        }
        std::cout << "[ reliability ] " << damage.name << ": " << readable << " rows readable, " << recovered
                  << " recovered, of "
                  << inventory->rows[QStringLiteral("items")].size()
                + inventory->rows[QStringLiteral("categories")].size()
                + inventory->rows[QStringLiteral("locations")].size()
                  << std::endl;
    }

    std::unique_ptr<QTemporaryDir> dir; // fresh for every case
    ScriptedPrompts prompts;
    Household household;
    std::unique_ptr<frmMain> window;
};

Damage truncated(const char *name, qsizetype length)
{
    Damage damage{name, inventory->bytes.left(length), {}};
    for (int page = 1; page <= inventory->pageCount; ++page) {
        if (qsizetype(page) * inventory->pages[QStringLiteral("items")].pageSize > length)
            damage.destroyed.insert(quint32(page));
    }
    return damage;
}

} // namespace

TEST_F(DamagedDatabaseTest, ATruncatedFileGivesBackEveryRowBeforeTheCut)
{
    const qsizetype size = inventory->bytes.size();
    const qsizetype page = pageSize();
    for (const Damage &damage :
         {truncated("cut at half, on a page boundary", size / 2 / page * page),
          truncated("cut in the middle of a page", size * 4 / 5 / page * page + 1234),
          truncated("the last page cut off", size - page), truncated("only the first three pages left", 3 * page)}) {
        expectRepaired(damage);
        TearDown();
    }
}

// Pages overwritten with random bytes (seeded; the seed is in the trace):
// leaves, interior pages, overflow pages and index pages alike, never the
// first page, which holds the schema.
TEST_F(DamagedDatabaseTest, PagesOfRandomBytesLoseOnlyTheRowsStoredOnThem)
{
    const quint64 seed = 20261207;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 random(seed);
    for (int count : {1, 3, 12}) {
        Damage damage{"random bytes on " + std::to_string(count) + " pages", inventory->bytes, {}};
        while (int(damage.destroyed.size()) < count)
            damage.destroyed.insert(quint32(2 + random() % (inventory->pageCount - 1)));
        for (quint32 page : damage.destroyed) {
            char *at = damage.bytes.data() + qsizetype(page - 1) * pageSize();
            for (int i = 0; i < pageSize(); ++i)
                at[i] = char(random());
        }
        expectRepaired(damage);
        TearDown();
    }
    // Many leaves of the items table, its upper levels whole.
    const std::set<quint32> &leaves = inventory->pages[QStringLiteral("items")].leaves;
    Damage damage{"random bytes on 30 leaves of the items", inventory->bytes, {}};
    while (damage.destroyed.size() < 30)
        damage.destroyed.insert(*std::next(leaves.begin(), qsizetype(random() % leaves.size())));
    for (quint32 page : damage.destroyed) {
        char *at = damage.bytes.data() + qsizetype(page - 1) * pageSize();
        for (int i = 0; i < pageSize(); ++i)
            at[i] = char(random());
    }
    expectRepaired(damage);
}

// The first 100 bytes say what the file is and how its pages are laid
// out; without them SQLite sees no database at all, yet every page is whole.
TEST_F(DamagedDatabaseTest, AZeroedHeaderIsRebuiltAndEveryRowComesBack)
{
    Damage damage{"header zeroed", inventory->bytes, {}};
    damage.bytes.replace(0, 100, QByteArray(100, '\0'));
    expectRepaired(damage);
}
