#include "LocaleGuard.h"
#include "LockHolder.h"
#include "QueryRows.h"
#include "TestDataFolder.h"

#include "data/Database.h"
#include "data/Inventory.h"
#include "dates/Today.h"
#include "items/ItemStatus.h"
#include "setup/ItemGenerator.h"
#include "setup/ItemWriter.h"
#include "transfer/ImportPlan.h"
#include "transfer/ItemExport.h"
#include "transfer/ItemImport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

class TransferTest : public ::testing::Test {
protected:
    std::unique_ptr<Database> open(const TestDataFolder &folder)
    {
        return Database::open(folder.file(InventoryFileName));
    }
    QByteArray fileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    qint64 count(Database &db, const char *sql) { return db.scalar(QString::fromLatin1(sql)).toLongLong(); }

    // Every item with its codes by description, in key order, as the
    // program reads the values: what "the same items" means.
    QStringList items(Database &db)
    {
        QStringList rows;
        for (const QVariantList &row :
             queryRows(db,
                       QStringLiteral(
                           "select Item, manufact, model, serno, purchdate, purchprice, estvalue, quantity, totvalue, "
                           "receipt, wherepurch, misc1, Notes, c.catDesc, l.locDesc from items i "
                           "left join categories c on c.catid = i.catid left join locations l on l.locid = i.locid "
                           "order by iteid"))) {
            QStringList values;
            for (const QVariant &value : row) {
                if (value.isNull())
                    values << QStringLiteral("<null>");
                else if (value.canConvert<Money>() && value.typeId() == qMetaTypeId<Money>())
                    values << value.value<Money>().toDecimalText();
                else if (value.typeId() == qMetaTypeId<DateValue>())
                    values << value.value<DateValue>().toIsoText();
                else
                    values << u'[' + value.toString() + u']';
            }
            rows << values.join(u'|');
        }
        return rows;
    }

    ImportOutcome importFile(Database &db, const QString &path, ImportChoice choice = ImportChoice::AllRows)
    {
        const ImportPlan plan = ImportPlan::fromFile(path);
        return storeImportedItems(db, plan, choice);
    }

    void insert(Database &db, const QVariantMap &columns)
    {
        QStringList names;
        QVariantList values;
        for (auto it = columns.begin(); it != columns.end(); ++it) {
            names << it.key();
            values << it.value();
        }
        db.execute(QStringLiteral("insert into items (%1) values (%2)")
                       .arg(names.join(u','), QStringList(names.size(), QStringLiteral("?")).join(u',')),
                   values);
    }

    QTemporaryDir temp;
};

Money money(const char *text)
{
    return *Money::fromDecimalText(QString::fromLatin1(text));
}

} // namespace

// The exact file: what every spreadsheet, in every locale, reads alike.
TEST_F(TransferTest, ExportWritesPlainValuesAndQuotesOnlyWhereNeeded)
{
    TestDataFolder folder;
    auto db = open(folder);
    db->execute(QStringLiteral("insert into categories (catDesc) values ('Tools, small')"));
    insert(*db,
           {{"Item", "Drill"},
            {"manufact", "Torvik"},
            {"serno", QString()},
            {"purchdate", "2021-03-15"},
            {"purchprice", QVariant::fromValue(money("1234.5"))},
            {"estvalue", QVariant::fromValue(money("-0.0001"))},
            {"quantity", 3},
            {"totvalue", QVariant::fromValue(money("-0.0003"))},
            {"receipt", 1},
            {"Notes", "say \"when\"\r\nline two"},
            {"misc1", " padded "},
            {"catid", 1}});
    insert(*db, {{"Item", "=cmd|' /C calc'!A0"}, {"model", "+1"}, {"wherepurch", "'=x"}, {"receipt", 0}});
    const QString path = temp.filePath(QStringLiteral("items.csv"));
    EXPECT_EQ(exportItems(*db, path), 2);
    EXPECT_EQ(fileBytes(path),
              QByteArray("\xEF\xBB\xBF"
                         "ID,Item Description,Manufacturer,Model Number,Serial Number,Purchase Date,Purchase Price,"
                         "Est. Value,Quantity,Total Value,Receipt on File,Where Purchased,Miscellaneous,Notes,Category,"
                         "Location\r\n"
                         "1,Drill,Torvik,,\"\",2021-03-15,1234.5,-0.0001,3,-0.0003,Yes,,\" padded \","
                         "\"say \"\"when\"\"\r\nline two\",\"Tools, small\",\r\n"
                         "2,'=cmd|' /C calc'!A0,,'+1,,,,,,,No,''=x,,,,\r\n"));
}

// Hostile texts and every kind of gap, and a few hundred ordinary items:
// written out and read into an empty folder, they are the same items.
TEST_F(TransferTest, ExportThenImportIntoAnEmptyFolderGivesTheSameItems)
{
    TestDataFolder source{SetupOptions{.demo = false, .generatedItems = 300}};
    auto from = open(source);
    const QString megabyte(1024 * 1024, u'n');
    const QStringList hostile = {"=SUM(A1:A9)",
                                 "@import",
                                 "-",
                                 "'",
                                 "''=x",
                                 "\"quoted\"",
                                 "a,b;c\td",
                                 "two\r\nlines\nand\rmore",
                                 "  blanks around  ",
                                 "",
                                 "\u202Eright-to-left\u202C \U0001F468\u200D\U0001F469\u200D\U0001F467 \u00e9\u0301",
                                 "null\x01"
                                 "byte",
                                 megabyte};
    for (const QString &text : hostile) {
        insert(*from,
               {{"Item", text.isEmpty() ? QStringLiteral("x") : text.left(200)},
                {"manufact", text},
                {"model", text},
                {"serno", text},
                {"wherepurch", text},
                {"misc1", text},
                {"Notes", text},
                {"receipt", 1},
                {"purchprice", QVariant::fromValue(money("0.0001"))},
                {"estvalue", QVariant::fromValue(money("-99999999.9999"))},
                {"quantity", -32768},
                {"totvalue", QVariant::fromValue(money("0"))},
                {"purchdate", "1900-01-01"}});
    }
    insert(*from, {{"Item", "only a description"}, {"receipt", 0}});
    const QString path = temp.filePath(QStringLiteral("round.csv"));
    ASSERT_EQ(exportItems(*from, path), 300 + hostile.size() + 1);

    TestDataFolder empty;
    auto to = open(empty);
    const ImportOutcome outcome = importFile(*to, path);
    EXPECT_EQ(outcome.items, 300 + hostile.size() + 1);
    EXPECT_EQ(items(*to), items(*from));
}

// Amounts go out as the program reads them and come back the same, up to
// the largest the inventory keeps exactly; a larger one in a file is
// refused, never stored as another number; and a number another program
// stored beyond the money type goes out whole, not as fifteen digits.
TEST_F(TransferTest, TheLargestAmountsGoOutAndComeBackExactly)
{
    TestDataFolder source;
    auto from = open(source);
    insert(*from,
           {{"Item", "Largest exact"},
            {"purchprice", QVariant::fromValue(money("450359962737.0495"))},
            {"estvalue", QVariant::fromValue(money("-450359962737.0495"))},
            {"quantity", 1},
            {"totvalue", QVariant::fromValue(money("922337203685477"))},
            {"receipt", 0}});
    from->execute(QStringLiteral("insert into items (Item, purchprice, receipt) values ('Beyond', 1e16, 0)"));
    const QString path = temp.filePath(QStringLiteral("large.csv"));
    ASSERT_EQ(exportItems(*from, path), 2);
    const QByteArray written = fileBytes(path);
    EXPECT_TRUE(written.contains(",450359962737.0495,-450359962737.0495,1,922337203685477,")) << written.toStdString();
    EXPECT_TRUE(written.contains(",Beyond,,,,,10000000000000000,")) << written.toStdString();

    TestDataFolder empty;
    auto to = open(empty);
    const ImportPlan plan = ImportPlan::fromFile(path);
    EXPECT_EQ(describeProblem(plan.summary().problems.at(0)).toStdString(),
              "Line 3, Purchase Price: \"10000000000000000\" is larger than an amount can be; left empty.");
    storeImportedItems(*to, plan, ImportChoice::GoodRowsOnly);
    EXPECT_EQ(items(*to), items(*from).mid(0, 1));

    // The largest amount of the money type: more digits than the stored
    // number keeps.
    const QString largest = temp.filePath(QStringLiteral("largest.csv"));
    QFile file(largest);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item,Price\nLargest,922337203685477.5807\n");
    file.close();
    const ImportPlan refused = ImportPlan::fromFile(largest);
    EXPECT_EQ(describeProblem(refused.summary().problems.at(0)).toStdString(),
              "Line 2, Purchase Price: \"922337203685477.5807\" is larger than the inventory stores exactly; left "
              "empty.");
    EXPECT_THROW(storeImportedItems(*to, refused, ImportChoice::NoneIfAProblem), ImportRefused);
    EXPECT_EQ(count(*to, "select count(*) from items"), 1);
}

// The rows are read again when they are stored: a file changed in between
// is not imported at all, rather than stored unlike what was shown.
TEST_F(TransferTest, AFileChangedAfterItWasShownStoresNothing)
{
    TestDataFolder folder;
    auto db = open(folder);
    const QString path = temp.filePath(QStringLiteral("changing.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item,Price\nLamp,12.50\nChair,40\n");
    file.close();
    const ImportPlan plan = ImportPlan::fromFile(path);
    EXPECT_EQ(plan.summary().rows, 2);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item,Price\nLamp,99.50\nChair,40\n");
    file.close();
    try {
        storeImportedItems(*db, plan, ImportChoice::AllRows);
        ADD_FAILURE() << "a changed file was imported";
    } catch (const ImportError &error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("The file '%1' has changed since it was opened; open it again.").arg(path));
    }
    EXPECT_EQ(count(*db, "select count(*) from items"), 0);
}

TEST_F(TransferTest, CodesAreFoundIgnoringCaseAndAddedOnce)
{
    TestDataFolder folder;
    auto db = open(folder);
    db->execute(QStringLiteral("insert into categories (catDesc) values ('Kitchen'); "
                               "insert into locations (locDesc) values ('Garage')"));
    const QString path = temp.filePath(QStringLiteral("codes.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item,Category,Room\nPan,kitchen,GARAGE\nPot,KITCHEN ,Shed\nLid,Pantry,shed\nCup,,\n");
    file.close();
    const ImportOutcome outcome = importFile(*db, path);
    EXPECT_EQ(outcome.items, 4);
    EXPECT_EQ(outcome.categoriesAdded, 1);
    EXPECT_EQ(outcome.locationsAdded, 1);
    EXPECT_EQ(queryColumn(*db, QStringLiteral("select catDesc from categories order by catid")),
              (QVariantList{"Kitchen", "Pantry"}));
    EXPECT_EQ(queryColumn(*db, QStringLiteral("select locDesc from locations order by locid")),
              (QVariantList{"Garage", "Shed"}));
    EXPECT_EQ(queryColumn(*db,
                          QStringLiteral("select coalesce(catid, 0) || '/' || coalesce(locid, 0) from items "
                                         "order by iteid")),
              (QVariantList{"1/1", "1/2", "2/2", "0/0"}));
}

TEST_F(TransferTest, TheUserChoosesAllRowsOrTheGoodOnes)
{
    const QString path = temp.filePath(QStringLiteral("mixed.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Name,Price,Qty\nLamp,12.50,1\nChair,twelve,2\n,5,1\nTable,80,2.5\nRug,40,1\n");
    file.close();
    for (const auto &[choice, expected] :
         {std::pair{ImportChoice::GoodRowsOnly, QStringList{"Lamp|12.5|1", "Rug|40|1"}},
          std::pair{ImportChoice::AllRows, QStringList{"Lamp|12.5|1", "Chair|<null>|2", "Table|80|2", "Rug|40|1"}}}) {
        TestDataFolder folder;
        auto db = open(folder);
        importFile(*db, path, choice);
        QStringList stored;
        for (const QVariantList &row :
             queryRows(*db, QStringLiteral("select Item, purchprice, quantity from items order by iteid")))
            stored << QStringLiteral("%1|%2|%3")
                          .arg(row[0].toString(),
                               row[1].isNull() ? QStringLiteral("<null>") : row[1].value<Money>().toDecimalText(),
                               row[2].toString());
        EXPECT_EQ(stored, expected);
    }
    // Or nothing at all while any row has a problem, with every problem said.
    TestDataFolder folder;
    auto db = open(folder);
    try {
        importFile(*db, path, ImportChoice::NoneIfAProblem);
        ADD_FAILURE() << "a file with problems was imported";
    } catch (const ImportRefused &refused) {
        EXPECT_EQ(refused.summary().problemCount, 3);
        EXPECT_EQ(refused.summary().rows, 5);
    }
    EXPECT_EQ(count(*db, "select count(*) from items"), 0);
}

// One transaction: a failure at the last row takes back the rows and codes before it.
TEST_F(TransferTest, AFailurePartWayStoresNothing)
{
    TestDataFolder folder;
    auto db = open(folder);
    db->execute(QStringLiteral("create temp trigger refuse before insert on items when new.Item = 'Last' "
                               "begin select raise(abort, 'refused by the test'); end"));
    const QString path = temp.filePath(QStringLiteral("fails.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item,Category,Location\nFirst,New Category,New Place\nLast,Other,Elsewhere\n");
    file.close();
    EXPECT_THROW(importFile(*db, path), DbError);
    EXPECT_EQ(count(*db, "select count(*) from items"), 0);
    EXPECT_EQ(count(*db, "select count(*) from categories"), 0);
    EXPECT_EQ(count(*db, "select count(*) from locations"), 0);
}

// Another program's lock: reported as a locked record, nothing stored, and
// the same import goes through once the lock is gone.
TEST_F(TransferTest, ALockHeldByAnotherProgramStoresNothingUntilItIsGone)
{
    TestDataFolder folder;
    const QString path = temp.filePath(QStringLiteral("locked.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item\nLamp\nChair\n");
    file.close();
    auto db = open(folder);
    LockHolder holder(LockHolder::Role::WriteLock, folder.file(InventoryFileName));
    ASSERT_TRUE(holder.isHolding());
    try {
        importFile(*db, path);
        ADD_FAILURE() << "stored under another program's lock";
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), DbError::RecordLocked);
    }
    holder.release();
    EXPECT_EQ(count(*db, "select count(*) from items"), 0);
    EXPECT_EQ(importFile(*db, path).items, 2);
}

// A disk that fills up part way (a file size limit): the export says why,
// and the file that was there before is still there, whole.
TEST_F(TransferTest, AnExportThatCannotBeWrittenLeavesTheOldFile)
{
    TestDataFolder folder{SetupOptions{.demo = false, .generatedItems = 2000}};
    auto db = open(folder);
    const QString path = temp.filePath(QStringLiteral("items.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the export of last week");
    old.close();
    {
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = 64 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        try {
            exportItems(*db, path);
            ADD_FAILURE() << "an export larger than the disk was reported as written";
        } catch (const DbError &error) {
            EXPECT_EQ(error.number(), DbError::PathFileAccess);
            EXPECT_TRUE(error.text().contains(QDir::toNativeSeparators(path))) << error.text().toStdString();
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
    EXPECT_EQ(fileBytes(path), QByteArray("the export of last week"));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("items.csv")});
    // A folder in the way is refused the same way.
    EXPECT_THROW(exportItems(*db, temp.path()), DbError);
}

namespace {

DateValue day(int year, int month, int dayOfMonth)
{
    return DateValue::fromDate(QDate(year, month, dayOfMonth));
}

// Today fixed for the test, the clock's again afterwards.
struct TodayScope {
    explicit TodayScope(const QDate &date) { setToday(date); }
    ~TodayScope() { setToday(std::nullopt); }
};

// Every item's warranty and disposal by its description.
QMap<QString, WarrantyDisposal> statusByItem(Database &db)
{
    QMap<QString, WarrantyDisposal> byItem;
    for (const QVariantList &row : queryRows(db, QStringLiteral("select iteid, Item from items")))
        byItem.insert(row[1].toString(), ItemStatus(db).of(row[0].toLongLong()));
    return byItem;
}

} // namespace

// Warranties and disposals go out with their items and come back the same,
// texts with commas and line breaks too; an inventory that never had any
// still exports the file it always did.
TEST_F(TransferTest, WarrantiesAndDisposalsGoOutAndComeBackTheSame)
{
    TestDataFolder source;
    auto from = open(source);
    // A receipt not ticked is read back as "No", not as no value.
    insert(*from, {{"Item", "Kettle"}, {"purchdate", "2023-01-05"}, {"receipt", 0}});
    insert(*from, {{"Item", "Bike"}, {"receipt", 0}});
    insert(*from, {{"Item", "Radio"}, {"receipt", 1}});
    insert(*from, {{"Item", "Lamp"}, {"receipt", 0}});
    const QString withoutStatus = temp.filePath(QStringLiteral("plain.csv"));
    ASSERT_EQ(exportItems(*from, withoutStatus), 4);
    EXPECT_TRUE(fileBytes(withoutStatus).contains("Category,Location\r\n")) << "no columns of what was never entered";

    WarrantyDisposal kettle;
    kettle.warrantyEnds = day(2025, 1, 5);
    kettle.warrantyDetails = QStringLiteral("Return to shop, \"with box\",\nthen the maker");
    WarrantyDisposal bike;
    bike.lifetime = true;
    bike.disposed = day(2024, 7, 1);
    bike.how = DisposalKind::GivenAway;
    WarrantyDisposal radio;
    radio.disposed = day(2024, 2, 29);
    ItemStatus(*from).store(1, kettle);
    ItemStatus(*from).store(2, bike);
    ItemStatus(*from).store(3, radio);
    const QString path = temp.filePath(QStringLiteral("items.csv"));
    ASSERT_EQ(exportItems(*from, path), 4);
    const QList<QByteArray> lines = fileBytes(path).split('\n');
    EXPECT_EQ(lines[0],
              QByteArray("\xEF\xBB\xBF"
                         "ID,Item Description,Manufacturer,Model Number,Serial Number,Purchase Date,"
                         "Purchase Price,Est. Value,Quantity,Total Value,Receipt on File,Where Purchased,"
                         "Miscellaneous,Notes,Category,Location,Warranty Ends,Lifetime Warranty,"
                         "Warranty Details,Date Disposed,How Disposed\r"));
    EXPECT_TRUE(lines[3].endsWith(",,,Yes,,2024-07-01,given away\r")) << lines[3].toStdString();

    TestDataFolder target;
    auto to = open(target);
    const ImportOutcome outcome = importFile(*to, path);
    EXPECT_EQ(outcome.items, 4);
    EXPECT_EQ(outcome.summary.problemCount, 0);
    EXPECT_EQ(statusByItem(*to), statusByItem(*from));
    EXPECT_EQ(items(*to), items(*from));

    // The plain export read into another empty folder makes no table there.
    TestDataFolder plain;
    auto third = open(plain);
    EXPECT_EQ(importFile(*third, withoutStatus).items, 4);
    EXPECT_EQ(count(*third, "select count(*) from sqlite_master where name = 'itemstatus'"), 0);
}

// A file as a spreadsheet writes it: the order of day and month is decided
// once for every date column (the purchase dates settle it for the
// warranty's end, which alone could be either); a disposal still to come
// and a way of leaving nobody knows are refused, and their rows say so.
TEST_F(TransferTest, DatesOfEveryColumnAreReadOneWayAndAFutureDisposalIsRefused)
{
    const TodayScope today(QDate(2025, 5, 10));
    const LocaleGuard locale("en_US");
    const QString path = temp.filePath(QStringLiteral("sheet.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Item;Purchase Date;Warranty until;Disposed;How disposed;Lifetime\r\n"
               "Toaster;25/12/2020;03/04/2026;;;no\r\n"
               "Chair;01/02/2021;;09/05/2025;Sold;\r\n"
               "Shelf;13/01/2022;;11/05/2025;thrown away;\r\n"
               "Desk;14/01/2022;;;stolen;\r\n"
               "Tent;15/01/2022;;;;yes\r\n");
    file.close();
    TestDataFolder folder;
    auto db = open(folder);
    const ImportOutcome outcome = importFile(*db, path);
    EXPECT_EQ(outcome.items, 5);
    QStringList problems;
    for (const ImportProblem &problem : outcome.summary.problems)
        problems << describeProblem(problem);
    EXPECT_EQ(problems,
              (QStringList{"Line 4, Date Disposed: 5/11/2025 is after today's date; left empty.",
                           "Line 4, How Disposed: a way of leaving without the day the item left; left "
                           "empty.",
                           "Line 5, How Disposed: \"stolen\" is not sold, given away or thrown away; left "
                           "empty."}));
    const QMap<QString, WarrantyDisposal> status = statusByItem(*db);
    EXPECT_EQ(status["Toaster"].warrantyEnds, day(2026, 4, 3)) << "day first, as the purchase dates are written";
    EXPECT_EQ(status["Chair"].disposed, day(2025, 5, 9));
    EXPECT_EQ(status["Chair"].how, DisposalKind::Sold);
    EXPECT_EQ(status["Shelf"], WarrantyDisposal()) << "nothing guessed, nothing half-kept";
    EXPECT_EQ(status["Desk"], WarrantyDisposal());
    EXPECT_TRUE(status["Tent"].lifetime);
}
