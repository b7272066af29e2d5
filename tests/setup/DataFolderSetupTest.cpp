#include "FolderContents.h"
#include "QueryRows.h"

#include "data/Database.h"
#include "setup/DataFolderSetup.h"
#include "setup/DemoInventory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

static QByteArray resourceBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing resource>");
}

static QStringList columnsOf(Database &db, const QString &table)
{
    QStringList names;
    for (const QVariant &name : queryColumn(db, QStringLiteral("select name from pragma_table_info(?)"), {table}))
        names << name.toString().toLower();
    return names;
}

TEST(DataFolderSetup, NewFolderIsLaidOutWithEmptyInventoryCatalogueImagesAndHelp)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    // Two levels that do not exist yet: setup creates them.
    const QString folder = temp.filePath(QStringLiteral("household/data"));
    createDataFolder(folder, {});

    const QDir dir(folder);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("images"))).isDir());
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("images"))).isEmpty());
    QFile help(dir.filePath(QStringLiteral("stowbook-help.html")));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    EXPECT_EQ(help.readAll(), resourceBytes(QStringLiteral(":/share/stowbook-help.html")));
    // The ready-made listings arrive byte for byte: their lines end in CR LF.
    for (const char *name : {"bycat.srp", "byloc.srp", "byitem.srp"}) {
        QFile report(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(report.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = report.readAll();
        EXPECT_EQ(bytes, resourceBytes(QStringLiteral(":/share/") + QLatin1String(name))) << name;
        EXPECT_EQ(bytes.count("\r\n"), 22) << name;
    }
    // Nothing else: no temporary files left behind.
    EXPECT_EQ(folderContents(folder).keys(),
              QStringList({"bycat.srp", "byitem.srp", "byloc.srp", "images/", "rptspec.db", "stowbook-help.html",
                           "stowbook.db"}));

    auto inventory = Database::open(dir.filePath(QStringLiteral("stowbook.db")));
    EXPECT_EQ(inventory->scalar(QStringLiteral("pragma journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(columnsOf(*inventory, QStringLiteral("items")),
              QStringList({"iteid", "item", "manufact", "model", "serno", "purchdate", "purchprice", "estvalue",
                           "quantity", "totvalue", "receipt", "wherepurch", "misc1", "notes", "catid", "locid"}));
    // A new inventory is empty: no items and no code lists.
    for (const char *table : {"items", "categories", "locations"})
        EXPECT_EQ(inventory->scalar(QStringLiteral("select count(*) from ") + QLatin1String(table)).toInt(), 0)
            << table;
    inventory->close();

    auto catalogue = Database::open(dir.filePath(QStringLiteral("rptspec.db")));
    EXPECT_EQ(columnsOf(*catalogue, QStringLiteral("rptspec")),
              QStringList({"specid", "usewith", "fieldname", "datatype", "desc", "defwidth", "iscurrency", "filename",
                           "linkfield"}));
}

// The rules the report engine and designer rely on, checked on the
// catalogue a new folder really gets.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.isValid());
        createDataFolder(m_temp.path(), {});
        m_inventory = Database::open(m_temp.filePath(QStringLiteral("stowbook.db")));
        m_catalogue = Database::open(m_temp.filePath(QStringLiteral("rptspec.db")));
        m_rows = queryRows(
            *m_catalogue,
            QStringLiteral(
                "select specid, usewith, fieldname, datatype, \"Desc\", defwidth, IsCurrency, FileName, Linkfield "
                "from rptspec order by specid"));
    }

    QTemporaryDir m_temp;
    std::unique_ptr<Database> m_inventory;
    std::unique_ptr<Database> m_catalogue;
    std::vector<QVariantList> m_rows;
};

TEST_F(CatalogueTest, FieldsAreNumberedWithoutGapsAndAllBelongToItems)
{
    ASSERT_FALSE(m_rows.empty());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const QVariantList &row = m_rows[i];
        SCOPED_TRACE(row.value(2).toString().toStdString());
        EXPECT_EQ(row.value(0).toLongLong(), qint64(i) + 1);
        // The engine matches the subject exactly, so no blanks or capitals.
        EXPECT_EQ(row.value(1).toString(), QStringLiteral("items"));
        EXPECT_GE(row.value(3).toInt(), 1);
        EXPECT_LE(row.value(3).toInt(), 4);
        EXPECT_FALSE(row.value(4).toString().trimmed().isEmpty());
        if (!row.value(5).isNull()) {
            EXPECT_GT(row.value(5).toDouble(), 0.0);
        }
    }
}

TEST_F(CatalogueTest, EveryReportableItemColumnAppearsOnceWithItsKind)
{
    // Kind and currency flag each column must have for the renderers to
    // format it: money as currency, the count as a plain number.
    struct Expected {
        const char *column;
        int kind;
        bool currency;
    };
    const Expected expected[] = {
        {"item", 1, false},      {"manufact", 1, false},  {"model", 1, false},      {"serno", 1, false},
        {"purchdate", 3, false}, {"purchprice", 2, true}, {"estvalue", 2, true},    {"quantity", 2, false},
        {"totvalue", 2, true},   {"receipt", 4, false},   {"wherepurch", 1, false}, {"misc1", 1, false},
        {"notes", 1, false},     {"catdesc", 1, false},   {"locdesc", 1, false},
    };
    ASSERT_EQ(m_rows.size(), std::size(expected));
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.column);
        int found = 0;
        for (const QVariantList &row : m_rows) {
            if (row.value(2).toString().toLower() != QLatin1String(e.column))
                continue;
            ++found;
            EXPECT_EQ(row.value(3).toInt(), e.kind);
            EXPECT_EQ(row.value(6).toBool(), e.currency);
        }
        EXPECT_EQ(found, 1);
    }
}

TEST_F(CatalogueTest, EveryFieldNameWorksInTheFullyJoinedQuery)
{
    // The report query joins every lookup table the chosen fields need; a
    // field name that two joined tables share would make it fail.
    QString from = QStringLiteral("items");
    QStringList fields;
    int lookups = 0;
    for (const QVariantList &row : m_rows) {
        fields << row.value(2).toString();
        const QString table = row.value(7).toString();
        if (table == QLatin1String("items") || from.contains(table))
            continue;
        ++lookups;
        ASSERT_FALSE(row.value(8).toString().isEmpty()) << "no Linkfield for " << table.toStdString();
        const QStringList link = row.value(8).toString().split(QLatin1Char(';'));
        from = QStringLiteral("(%1 left join %2 on items.%3 = %2.%4)").arg(from, table, link.first(), link.last());
    }
    const QString sql = QStringLiteral("select %1 from %2").arg(fields.join(QStringLiteral(", ")), from);
    EXPECT_EQ(lookups, 2);
    EXPECT_NO_THROW(queryRows(*m_inventory, sql)) << sql.toStdString();
}

// Setup never replaces what a folder already holds; a refused folder is
// byte for byte what it was.
TEST(DataFolderSetup, RefusesFolderHoldingADatabaseAndTouchesNothing)
{
    const char *const existing[] = {"stowbook.db", "rptspec.db", "stowbook.db-wal", "rptspec.db-journal"};
    for (const char *name : existing) {
        SCOPED_TRACE(name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        QFile file(temp.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("someone's precious data");
        file.close();
        const auto before = folderContents(temp.path());

        for (const SetupOptions &options : {SetupOptions{}, SetupOptions{.demo = true}}) {
            try {
                createDataFolder(temp.path(), options);
                ADD_FAILURE() << "setup went ahead";
            } catch (const SetupError &error) {
                EXPECT_TRUE(error.message().contains(QString::fromLatin1(name))) << error.what();
            }
            EXPECT_EQ(folderContents(temp.path()), before);
        }
    }
}

TEST(DataFolderSetup, FailurePartWayLeavesNoDatabaseAndRemovesWhatItMade)
{
    // Something in the way of a step: a file where the images folder goes
    // stops setup at once; a folder where the help file or the last report
    // file goes stops it after the databases, demo pictures and (for the
    // report file) the other shipped files have been made.
    struct Blocker {
        const char *name;
        bool isFolder;
    };
    for (const Blocker blocker :
         {Blocker{"images", false}, Blocker{"stowbook-help.html", true}, Blocker{"byitem.srp", true}}) {
        SCOPED_TRACE(blocker.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString path = temp.filePath(QString::fromLatin1(blocker.name));
        if (blocker.isFolder) {
            ASSERT_TRUE(QDir().mkdir(path));
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        const auto before = folderContents(temp.path());

        EXPECT_THROW(createDataFolder(temp.path(), {.demo = true}), SetupError);
        EXPECT_EQ(folderContents(temp.path()), before);
    }
}

// A setup that fails after making the folders on the way to a new one takes
// every one of them away again, not only the innermost.
TEST(DataFolderSetup, FailureTakesAwayEveryFolderMadeOnTheWay)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString file = temp.filePath(QStringLiteral("items.csv"));
    QFile items(file);
    ASSERT_TRUE(items.open(QIODevice::WriteOnly));
    items.write("Item,Qty\nRug,lots\n"); // a problem row: the import is refused after the folders were made
    items.close();
    const auto before = folderContents(temp.path());

    EXPECT_THROW(createDataFolder(temp.filePath(QStringLiteral("household/2024/data")), {.importFile = file}),
                 SetupError);
    EXPECT_EQ(folderContents(temp.path()), before);
}

// Pictures of another inventory would be shown beside new items with the
// same keys, and the demo would overwrite them: setup refuses such a folder.
TEST(DataFolderSetup, RefusesAnImagesFolderHoldingItemPictures)
{
    for (const SetupOptions &options : {SetupOptions{}, SetupOptions{.demo = true}}) {
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString name = QStringLiteral("00000001.jpg");
        ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("images")));
        QFile picture(temp.filePath(QStringLiteral("images/") + name));
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
        picture.write("the user's own picture");
        picture.close();
        const auto before = folderContents(temp.path());

        try {
            createDataFolder(temp.path(), options);
            ADD_FAILURE() << "setup went ahead";
        } catch (const SetupError &error) {
            EXPECT_TRUE(error.message().contains(name)) << error.what();
        }
        EXPECT_EQ(folderContents(temp.path()), before);
    }
}

TEST(DataFolderSetup, RefusesContradictoryOptions)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    EXPECT_THROW(createDataFolder(temp.path(), {.demo = true, .generatedItems = 10}), SetupError);
    EXPECT_THROW(createDataFolder(temp.path(), {.generatedItems = -1}), SetupError);
    EXPECT_THROW(createDataFolder(QString(), {}), SetupError);
    EXPECT_TRUE(QDir(temp.path()).isEmpty());
}
