#include "QueryRows.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "setup/DataFolderSetup.h"
#include "setup/DemoInventory.h"

#include <QDir>
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

static void expectText(const QVariant &stored, const std::optional<QString> &expected)
{
    if (!expected)
        EXPECT_TRUE(stored.isNull()) << stored.toString().toStdString();
    else
        EXPECT_EQ(stored.toString(), *expected);
}

static void expectMoney(const QVariant &stored, const std::optional<Money> &expected)
{
    if (!expected) {
        EXPECT_TRUE(stored.isNull());
        return;
    }
    ASSERT_TRUE(stored.canConvert<Money>()) << stored.typeName();
    EXPECT_EQ(stored.value<Money>(), *expected)
        << stored.value<Money>().toDecimalText().toStdString() << " vs " << expected->toDecimalText().toStdString();
}

// Every demo item comes back from the database exactly as written, each
// value in its own column: a mix-up of two columns or a lost cent shows.
// (The total is checked against the stored value and quantity below.)
TEST_F(DemoFolderTest, EveryItemIsStoredAsWritten)
{
    const auto rows = queryRows(*m_db, QStringLiteral(
        "select iteid, Item, manufact, model, serno, purchdate, purchprice, estvalue, quantity, "
        "totvalue, receipt, wherepurch, misc1, Notes, catid, locid from items order by iteid"));
    const auto &demo = demoInventory();
    ASSERT_EQ(rows.size(), demo.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QVariantList &r = rows[i];
        const ItemRow &e = demo[i].row;
        SCOPED_TRACE(e.item.toStdString());
        EXPECT_EQ(r[0].toLongLong(), qint64(i) + 1);
        EXPECT_EQ(r[1].toString(), e.item);
        expectText(r[2], e.manufact);
        expectText(r[3], e.model);
        expectText(r[4], e.serno);
        if (e.purchdate)
            EXPECT_EQ(r[5].value<DateValue>().date(), *e.purchdate);
        else
            EXPECT_TRUE(r[5].isNull());
        expectMoney(r[6], e.purchprice);
        expectMoney(r[7], e.estvalue);
        if (e.quantity)
            EXPECT_EQ(r[8].toInt(), *e.quantity);
        else
            EXPECT_TRUE(r[8].isNull());
        EXPECT_EQ(r[10].toBool(), e.receipt);
        expectText(r[11], e.wherepurch);
        expectText(r[12], e.misc1);
        expectText(r[13], e.notes);
        EXPECT_EQ(r[14].isNull() ? std::optional<int>() : std::optional<int>(r[14].toInt()), e.catid);
        EXPECT_EQ(r[15].isNull() ? std::optional<int>() : std::optional<int>(r[15].toInt()), e.locid);
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
    EXPECT_EQ(count("select count(*) from categories where catid not in (select catid from items where catid is not null)"), 0);
    EXPECT_EQ(count("select count(*) from locations where locid not in (select locid from items where locid is not null)"), 0);
    EXPECT_EQ(count("select count(*) from items where catid is not null and catid not in (select catid from categories)"), 0);
    EXPECT_EQ(count("select count(*) from items where locid is not null and locid not in (select locid from locations)"), 0);
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
                    "(typeof(purchdate) <> 'text' or purchdate not glob '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]')"), 0);
    // Fixed dates from the last fifteen years or so.
    EXPECT_EQ(count("select count(*) from items where purchdate < '2009-01-01' or purchdate > '2025-12-31'"), 0);
    EXPECT_EQ(count("select count(*) from items where quantity is not null and typeof(quantity) <> 'integer'"), 0);
    EXPECT_EQ(count("select count(*) from items where typeof(receipt) <> 'integer' or receipt not in (0, 1)"), 0);
    for (const char *money : {"purchprice", "estvalue", "totvalue"}) {
        SCOPED_TRACE(money);
        EXPECT_EQ(count((std::string("select count(*) from items where ") + money + " is not null and typeof("
                         + money + ") not in ('integer', 'real')").c_str()), 0);
    }
}

TEST_F(DemoFolderTest, PicturesAreBitmapsNamedAfterTheirItems)
{
    const QDir images(m_temp.filePath(QStringLiteral("images")));
    const QStringList files = images.entryList(QDir::Files | QDir::Hidden);
    qsizetype expected = 0;
    for (const DemoEntry &entry : demoInventory())
        expected += entry.picture != DemoPicture::None;
    EXPECT_EQ(files.size(), expected);
    EXPECT_GE(files.size(), 8);

    const QRegularExpression name(QStringLiteral("^(\\d{8})\\.bmp$"));
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        const auto match = name.match(file);
        ASSERT_TRUE(match.hasMatch());
        EXPECT_EQ(m_db->scalar(QStringLiteral("select count(*) from items where iteid = ?"),
                               {match.captured(1).toLongLong()}).toInt(), 1);
        QImageReader reader(images.filePath(file));
        EXPECT_EQ(reader.format(), QByteArray("bmp"));
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(DemoPictureWidth, DemoPictureHeight));
    }
}

TEST(DemoPictures, EachKindIsADistinctDrawing)
{
    const DemoPicture kinds[] = {DemoPicture::Television, DemoPicture::Ring, DemoPicture::Guitar,
                                 DemoPicture::Laptop, DemoPicture::Bicycle, DemoPicture::Refrigerator,
                                 DemoPicture::Sofa, DemoPicture::Camera, DemoPicture::Watch,
                                 DemoPicture::Drill, DemoPicture::Painting};
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
