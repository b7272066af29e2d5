#include "QueryRows.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/Money.h"
#include "setup/DataFolderSetup.h"
#include "setup/DemoInventory.h"
#include "setup/TemplateFolder.h"
#include "transfer/ItemExport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class DemoFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.isValid());
        createDataFolder(m_temp.path(), {.demo = true});
        m_db = Database::open(m_temp.filePath(QStringLiteral("stowbook.db")));
    }
    qint64 count(const char *sql) { return m_db->scalar(QString::fromLatin1(sql)).toLongLong(); }

    QTemporaryDir m_temp;
    std::unique_ptr<Database> m_db;
};

// The demo household is a file as Export Items writes it, read by the
// importer: exporting the new folder must give that file back byte for
// byte. A value in the wrong column, a lost cent, a Null turned into an
// empty text or the other way round, or an item out of order would all
// change the file.
TEST_F(DemoFolderTest, ExportGivesBackTheShippedFile)
{
    QFile shipped(QDir(templateFolder()).filePath(QStringLiteral("demo-items.csv")));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QString exported = m_temp.filePath(QStringLiteral("export.csv"));
    EXPECT_EQ(exportItems(*m_db, exported), 66);
    QFile written(exported);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), shipped.readAll());
}

// A few items as the household wrote them down, so that a change to the
// shipped file (or to the importer) that keeps the round trip whole still
// shows: every kind of value and every kind of gap, as SQLite quotes them
// (money columns keep whole amounts as integers).
TEST_F(DemoFolderTest, KnownItemsHoldTheirValues)
{
    struct Expected {
        const char *item;
        const char *values; // serno, purchdate, purchprice, estvalue, quantity, totvalue, receipt, category, location
    };
    const Expected expected[] = {
        {"55-inch 4K LED Television", "'VX5520K1183947'|'2020-11-27'|649.99|420|1|420|1|'Electronics'|'Living Room'"},
        {"Inkjet Printer", "NULL|'2018-09-10'|89.99|40|1|40|0|'Electronics'|'Office'"}, // no serial number
        {"Blu-ray Player", "''|'2014-08-22'|79|25|1|25|0|'Electronics'|'Living Room'"}, // an empty one
        {"Blu-ray and DVD Movies", "NULL|NULL|NULL|7.5|140|1050|0|'Books & Media'|'Living Room'"},
        {"Christmas Decorations", "NULL|NULL|NULL|NULL|NULL|NULL|0|NULL|'Attic'"},
        {"Smartphone", "'356938035643809'|'2023-09-22'|999|720|1|720|1|'Electronics'|NULL"},
    };
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.item);
        EXPECT_EQ(
            m_db->scalar(
                    QStringLiteral(
                        "select quote(serno) || '|' || quote(purchdate) || '|' || quote(purchprice) || '|' || "
                        "quote(estvalue) || '|' || quote(quantity) || '|' || quote(totvalue) || '|' || quote(receipt) "
                        "|| '|' || quote(c.catDesc) || '|' || quote(l.locDesc) "
                        "from items i left join categories c on c.catid = i.catid "
                        "left join locations l on l.locid = i.locid where Item = ?"),
                    {QString::fromUtf8(e.item)})
                .toString()
                .toStdString(),
            e.values);
    }
}

TEST_F(DemoFolderTest, TotalValueIsValueTimesQuantityExactly)
{
    const auto rows = queryRows(*m_db, QStringLiteral("select estvalue, quantity, totvalue from items"));
    int checked = 0;
    for (const QVariantList &r : rows) {
        if (r[0].isNull() || r[1].isNull()) {
            EXPECT_TRUE(r[2].isNull());
            continue;
        }
        EXPECT_EQ(r[2].value<Money>(), r[0].value<Money>() * r[1].toLongLong());
        ++checked;
    }
    EXPECT_GT(checked, 50);
}

TEST_F(DemoFolderTest, LooksLikeARealHouseholdInventory)
{
    EXPECT_GE(count("select count(*) from items"), 50);
    EXPECT_LE(count("select count(*) from items"), 75);
    // Every category and location in use, and every reference valid.
    EXPECT_EQ(
        count("select count(*) from categories where catid not in (select catid from items where catid is not null)"),
        0);
    EXPECT_EQ(
        count("select count(*) from locations where locid not in (select locid from items where locid is not null)"),
        0);
    EXPECT_EQ(
        count("select count(*) from items where catid is not null and catid not in (select catid from categories)"), 0);
    EXPECT_EQ(
        count("select count(*) from items where locid is not null and locid not in (select locid from locations)"), 0);
    // Real inventories have gaps.
    for (const char *gap : {"serno is null", "serno = ''", "purchdate is null", "purchprice is null",
                            "estvalue is null", "quantity is null", "catid is null", "locid is null"}) {
        SCOPED_TRACE(gap);
        EXPECT_GT(count((std::string("select count(*) from items where ") + gap).c_str()), 0);
    }
    EXPECT_GE(count("select count(*) from items where quantity > 1"), 3);
    EXPECT_GT(count("select count(*) from items where receipt = 1"), 0);
    EXPECT_GT(count("select count(*) from items where receipt = 0"), 0);
    // Amounts with cents, stored to the cent.
    EXPECT_GT(count("select count(*) from items where round(purchprice * 100) % 100 <> 0"), 5);
    EXPECT_EQ(count("select count(*) from items where abs(purchprice * 100 - round(purchprice * 100)) > 1e-6"), 0);
}

TEST_F(DemoFolderTest, ValuesAreStoredInTheKindsTheProgramReads)
{
    EXPECT_EQ(count("select count(*) from items where purchdate is not null and "
                    "(typeof(purchdate) <> 'text' or purchdate not glob '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]')"),
              0);
    // Fixed dates from the last fifteen years or so.
    EXPECT_EQ(count("select count(*) from items where purchdate < '2009-01-01' or purchdate > '2025-12-31'"), 0);
    EXPECT_EQ(count("select count(*) from items where quantity is not null and typeof(quantity) <> 'integer'"), 0);
    EXPECT_EQ(count("select count(*) from items where typeof(receipt) <> 'integer' or receipt not in (0, 1)"), 0);
    for (const char *money : {"purchprice", "estvalue", "totvalue"}) {
        SCOPED_TRACE(money);
        EXPECT_EQ(count((std::string("select count(*) from items where ") + money + " is not null and typeof(" + money
                         + ") not in ('integer', 'real')")
                            .c_str()),
                  0);
    }
}

TEST_F(DemoFolderTest, PicturesAreBitmapsNamedAfterTheirItems)
{
    const QDir images(m_temp.filePath(QStringLiteral("images")));
    const QStringList files = images.entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.size(), qsizetype(demoPictures().size()));
    EXPECT_GE(files.size(), 8);

    const QRegularExpression name(QStringLiteral("^(\\d{8})\\.bmp$"));
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        const auto match = name.match(file);
        ASSERT_TRUE(match.hasMatch());
        // Each drawing belongs to the item it shows.
        const QString item =
            m_db->scalar(QStringLiteral("select Item from items where iteid = ?"), {match.captured(1).toLongLong()})
                .toString();
        EXPECT_NE(demoPictureFor(item), DemoPicture::None) << item.toStdString();
        QImageReader reader(images.filePath(file));
        EXPECT_EQ(reader.format(), QByteArray("bmp"));
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(DemoPictureWidth, DemoPictureHeight));
    }
}

TEST(DemoPictures, EachKindIsADistinctDrawing)
{
    const DemoPicture kinds[] = {DemoPicture::Television, DemoPicture::Ring,    DemoPicture::Guitar,
                                 DemoPicture::Laptop,     DemoPicture::Bicycle, DemoPicture::Refrigerator,
                                 DemoPicture::Sofa,       DemoPicture::Camera,  DemoPicture::Watch,
                                 DemoPicture::Drill,      DemoPicture::Painting};
    QList<QImage> drawn;
    for (DemoPicture kind : kinds) {
        SCOPED_TRACE(int(kind));
        const QImage image = drawDemoPicture(kind);
        ASSERT_EQ(image.size(), QSize(DemoPictureWidth, DemoPictureHeight));
        // Something was drawn: a blank background has a single colour.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 4)
            for (int x = 0; x < image.width(); x += 4)
                colours.insert(image.pixel(x, y));
        EXPECT_GE(colours.size(), 3);
        for (const QImage &other : drawn)
            EXPECT_NE(image, other);
        drawn << image;
    }
    EXPECT_TRUE(drawDemoPicture(DemoPicture::None).isNull());
}
