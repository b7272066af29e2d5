#include "ReportFixture.h"

#include "data/Money.h"
#include "data/Recordset.h"
#include "reports/ReportQuery.h"

#include <algorithm>
#include <functional>
#include <tuple>

namespace {

// A design over the catalogue choosing ids, widths 1, no criteria.
ReportSpec design(const ReportCatalogue &catalogue, QList<qint16> ids)
{
    ReportSpec spec;
    spec.UseWith = QStringLiteral("items");
    spec.resizeFields(catalogue.count());
    for (int id = 1; id <= catalogue.count(); ++id)
        spec.FieldWidth[id] = 1.0f;
    spec.FieldIds = std::move(ids);
    return spec;
}

ReportQuery build(const ReportSpec &spec, const ReportCatalogue &catalogue)
{
    QString problem;
    const std::optional<ReportQuery> query = buildReportQuery(spec, catalogue, &problem);
    if (!query) {
        ADD_FAILURE() << "not built: " << problem.toStdString();
        return {};
    }
    EXPECT_TRUE(problem.isEmpty());
    return *query;
}

// Every row's first column, as text.
QStringList firstColumn(Database &db, const ReportQuery &query)
{
    QStringList values;
    auto rows = db.openRecordset(query.sql, RecordsetType::Snapshot, query.params);
    for (; !rows->eof(); rows->moveNext())
        values << rows->value(0).toString();
    return values;
}

} // namespace

class QueryTest : public ReportTest {
protected:
    void SetUp() override
    {
        // Shapes the delivered catalogue (fields 1 to 15) lacks: 16 a second
        // field of a lookup table, 17 a link through two differently named
        // columns, 18 a time field.
        addCatalogueRow(QStringLiteral("categories.catid"), 2, QStringLiteral("Category Number"),
                        QStringLiteral("categories"), QStringLiteral("catid"));
        addCatalogueRow(QStringLiteral("where_kept"), 1, QStringLiteral("Kept"), QStringLiteral("places"),
                        QStringLiteral("locid;placeid"));
        addCatalogueRow(QStringLiteral("purchdate"), 5, QStringLiteral("Time Bought"), QStringLiteral("items"));
        catalogue = itemsCatalogue();
    }

    static constexpr qint16 TimeField = 18;
    ReportCatalogue catalogue;
};

TEST_F(QueryTest, TheExampleStatementKeepsItsShape)
{
    // Description starting with "Ch", then the category, sorted by category:
    // the pattern travels as a value, the rest of the statement is unchanged,
    // two blanks after "where" included.
    ReportSpec spec = design(catalogue, {1, 5});
    spec.SelStartsWith[1] = QStringLiteral("Ch");
    spec.Sort1 = 5;
    const ReportQuery query = build(spec, catalogue);
    EXPECT_EQ(query.sql,
              QStringLiteral("Select Item, catDesc from (items left join categories on items.catid = "
                             "categories.catid) where  wlike(Item, ?) order by fold(catDesc)"));
    EXPECT_EQ(query.params, QVariantList({QStringLiteral("Ch*")}));
}

TEST_F(QueryTest, BuildsEachShapeOfStatement)
{
    struct Case {
        const char *name;
        QList<qint16> ids;
        std::function<void(ReportSpec &)> set;
        QString sql;
        QVariantList params;
    };
    const auto none = [](ReportSpec &) {};
    const Case cases[] = {
        {"no criteria, no where", {1, 8}, none, QStringLiteral("Select Item, purchprice from items"), {}},
        {"two fields of one lookup table join it once",
         {5, 16},
         none,
         QStringLiteral(
             "Select catDesc, categories.catid from (items left join categories on items.catid = categories.catid)"),
         {}},
        {"a second lookup table encloses the first join",
         {6, 5},
         none,
         QStringLiteral("Select locDesc, catDesc from ((items left join locations on items.locid = locations.locid) "
                        "left join categories on items.catid = categories.catid)"),
         {}},
        {"a hidden field adds its condition and join but no column",
         {1, 5},
         [](ReportSpec &s) {
             s.FieldHide[5] = true;
             s.SelStartsWith[5] = QStringLiteral("Kit");
         },
         QStringLiteral("Select Item from (items left join categories on items.catid = categories.catid) where  "
                        "wlike(catDesc, ?)"),
         {QStringLiteral("Kit*")}},
        {"true and false together",
         {1, 12},
         [](ReportSpec &s) {
             s.SelTrue[12] = true;
             s.SelFalse[12] = true;
         },
         QStringLiteral("Select Item, receipt from items where  receipt and not receipt"),
         {}},
        {"a first piece of the not form",
         {1, 12},
         [](ReportSpec &s) { s.SelFalse[12] = true; },
         QStringLiteral("Select Item, receipt from items where  not receipt"),
         {}},
        {"number criteria as numbers",
         {1, 8},
         [](ReportSpec &s) {
             s.SelLess[8] = QStringLiteral("1,000");
             s.SelGreater[8] = QStringLiteral("$9.50");
         },
         QStringLiteral("Select Item, purchprice from items where  purchprice < ? and purchprice > ?"),
         {1000.0, 9.5}},
        {"date criteria as days",
         {1, 7},
         [](ReportSpec &s) {
             s.SelStart[7] = DateValue::fromDateTime(QDate(2020, 1, 1), QTime(18, 0));
             s.SelEnd[7] = DateValue::fromDate(QDate(1899, 12, 29));
         },
         QStringLiteral("Select Item, purchdate from items where  purchdate >= ? and purchdate <= ?"),
         {QStringLiteral("2020-01-01"), QStringLiteral("1899-12-29")}},
        {"time criteria as times of day",
         {1, 18},
         [](ReportSpec &s) {
             s.SelStart[18] = DateValue::fromTime(QTime(9, 30));
             s.SelEnd[18] = DateValue::fromDateTime(QDate(2021, 5, 1), QTime(17, 0, 5));
         },
         QStringLiteral("Select Item, purchdate from items where  time(purchdate) >= ? and time(purchdate) <= ?"),
         {QStringLiteral("09:30:00"), QStringLiteral("17:00:05")}},
        {"pieces follow the column order",
         {8, 1},
         [](ReportSpec &s) {
             s.SelStartsWith[1] = QStringLiteral("A");
             s.SelGreater[8] = QStringLiteral("5");
         },
         QStringLiteral("Select purchprice, Item from items where  purchprice > ? and wlike(Item, ?)"),
         {5.0, QStringLiteral("A*")}},
        {"second sort alone",
         {1, 8},
         [](ReportSpec &s) { s.Sort2 = 1; },
         QStringLiteral("Select Item, purchprice from items order by fold(Item)"),
         {}},
        {"numbers sort as numbers, texts without case",
         {1, 8},
         [](ReportSpec &s) {
             s.Sort1 = 8;
             s.Sort2 = 1;
         },
         QStringLiteral("Select Item, purchprice from items order by purchprice, fold(Item)"),
         {}},
        {"a sort field not chosen is joined too",
         {1},
         [](ReportSpec &s) { s.Sort1 = 6; },
         QStringLiteral(
             "Select Item from (items left join locations on items.locid = locations.locid) order by fold(locDesc)"),
         {}},
        {"a link of two column names",
         {1, 17},
         none,
         QStringLiteral("Select Item, where_kept from (items left join places on items.locid = places.placeid)"),
         {}},
        {"the same field twice", {1, 1}, none, QStringLiteral("Select Item, Item from items"), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportSpec spec = design(catalogue, c.ids);
        c.set(spec);
        const ReportQuery query = build(spec, catalogue);
        EXPECT_EQ(query.sql, c.sql);
        EXPECT_EQ(query.params, c.params);
    }
}

TEST_F(QueryTest, LaysOutTheVisibleColumnsForTheRenderers)
{
    struct WidthCase {
        qint16 unit;
        float width;
        const char *text;
    };
    const WidthCase widths[] = {
        {WidthInInches, 2.0f, "2880"},        // 1440 twips an inch
        {WidthInCentimetres, 2.0f, "1123.2"}, // 561.6 a centimetre, not 567
        {WidthInCentimetres, 1.5f, "842.4"},
    };
    for (const WidthCase &c : widths) {
        SCOPED_TRACE(c.text);
        ReportSpec spec = design(catalogue, {1});
        spec.WidthUnit = c.unit;
        spec.FieldWidth[1] = c.width;
        const ReportQuery query = build(spec, catalogue);
        ASSERT_EQ(query.columns.size(), 1);
        EXPECT_EQ(query.columns[0].widthText, QLatin1String(c.text));
        EXPECT_EQ(query.tableFormat, QLatin1String(c.text) + u';');
    }

    // A 3-inch description and a 1-inch price; a hidden category before
    // them takes no column, so the price stays the second column.
    ReportSpec spec = design(catalogue, {5, 1, 8});
    spec.FieldHide[5] = true;
    spec.FieldWidth[1] = 3.0f;
    spec.FieldTotal[8] = true;
    spec.FieldIsCurrency[8] = true;
    spec.FieldIsCurrency[1] = true; // the design's flag, not the catalogue's, is what counts
    const ReportQuery query = build(spec, catalogue);
    EXPECT_EQ(query.tableFormat, QStringLiteral("4320|>1440;"));
    EXPECT_EQ(query.tableHeading, QStringLiteral("Description|Purchase Price;"));
    ASSERT_EQ(query.columns.size(), 2);
    const ReportColumn &description = query.columns[0];
    const ReportColumn &price = query.columns[1];
    EXPECT_EQ(std::tuple(description.specid, description.alignRight, description.isCurrency, description.total),
              std::tuple(1, false, true, false));
    EXPECT_EQ(std::tuple(price.specid, price.alignRight, price.isCurrency, price.total, price.widthTwips),
              std::tuple(8, true, true, true, 1440.0f));
}

TEST_F(QueryTest, RefusesDesignsThatCannotBeBuilt)
{
    struct Case {
        const char *name;
        std::function<void(ReportSpec &)> spoil;
    };
    const Case cases[] = {
        {"chosen field not in the catalogue", [](ReportSpec &s) { s.FieldIds << 99; }},
        {"chosen field 0", [](ReportSpec &s) { s.FieldIds << 0; }},
        {"sort field not in the catalogue", [](ReportSpec &s) { s.Sort2 = 99; }},
        {"number criterion that is no number", [](ReportSpec &s) { s.SelLess[8] = QStringLiteral("1) or (1=1"); }},
        {"every field hidden",
         [](ReportSpec &s) {
             s.FieldHide[1] = true;
             s.FieldHide[8] = true;
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportSpec spec = design(catalogue, {1, 8});
        c.spoil(spec);
        QString problem;
        EXPECT_FALSE(buildReportQuery(spec, catalogue, &problem));
        EXPECT_FALSE(problem.isEmpty());
    }
}

TEST_F(QueryTest, ATimeCriterionComparesTheTimeOfDayWhateverTheDay)
{
    auto inventory = Database::open(folder.file(QStringLiteral("stowbook.db")));
    inventory->execute(QStringLiteral("insert into items (Item, purchdate) values ('time alone', ?), ('evening', ?), "
                                      "('early', ?), ('no time', null)"),
                       {QVariant::fromValue(DateValue::fromTime(QTime(9, 30))),
                        QVariant::fromValue(DateValue::fromDateTime(QDate(2021, 5, 1), QTime(18, 0))),
                        QVariant::fromValue(DateValue::fromDateTime(QDate(1950, 2, 3), QTime(8, 0)))});
    struct Case {
        const char *name;
        QTime start;
        QTime end;
        QStringList items;
    };
    const Case cases[] = {
        {"from nine", QTime(9, 0), QTime(), {"evening", "time alone"}},
        {"until noon", QTime(), QTime(12, 0), {"early", "time alone"}},
        {"nine to noon", QTime(9, 0), QTime(12, 0), {"time alone"}},
        {"the ends belong to the range", QTime(9, 30), QTime(18, 0), {"evening", "time alone"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportSpec spec = design(catalogue, {1, qint16(TimeField)});
        spec.SelStart[TimeField] = DateValue::fromTime(c.start);
        spec.SelEnd[TimeField] = DateValue::fromTime(c.end);
        spec.Sort1 = 1;
        EXPECT_EQ(firstColumn(*inventory, build(spec, catalogue)), c.items);
    }
}

class DemoQueryTest : public DemoReportTest {
protected:
    void SetUp() override
    {
        catalogue = itemsCatalogue();
        inventory = Database::open(folder.file(QStringLiteral("stowbook.db")));
        // Every item with what the criteria look at, read without the builder.
        auto rows =
            inventory->openRecordset(QStringLiteral("select i.Item, i.purchprice, i.purchdate, c.catDesc from items i "
                                                    "left join categories c on c.catid = i.catid"),
                                     RecordsetType::Snapshot);
        for (; !rows->eof(); rows->moveNext())
            all.push_back({rows->value(0).toString(), rows->value(1), rows->value(2), rows->value(3).toString()});
        ASSERT_GT(all.size(), 20u);
    }

    struct Item {
        QString description;
        QVariant price;
        QVariant date;
        QString category;
    };
    QStringList expected(const std::function<bool(const Item &)> &keep) const
    {
        QStringList names;
        for (const Item &item : all)
            if (keep(item))
                names << item.description;
        std::sort(names.begin(), names.end(),
                  [](const QString &a, const QString &b) { return a.toCaseFolded() < b.toCaseFolded(); });
        return names;
    }

    ReportCatalogue catalogue;
    std::unique_ptr<Database> inventory;
    std::vector<Item> all;
};

TEST_F(DemoQueryTest, SelectsTheRowsEachCriterionMeans)
{
    const auto price = [](const DemoQueryTest::Item &i) { return i.price.value<Money>(); };
    struct Case {
        const char *name;
        std::function<void(ReportSpec &)> set;
        std::function<bool(const Item &)> keep;
    };
    const Case cases[] = {
        {"starts with, any case", [](ReportSpec &s) { s.SelStartsWith[1] = QStringLiteral("ch"); },
         [](const Item &i) { return i.description.toCaseFolded().startsWith(QStringLiteral("ch")); }},
        {"category starts with, on a hidden lookup field",
         [](ReportSpec &s) {
             s.FieldIds << 5;
             s.FieldHide[5] = true;
             s.SelStartsWith[5] = QStringLiteral("Elec");
         },
         [](const Item &i) { return i.category.startsWith(QStringLiteral("Elec")); }},
        {"price between",
         [](ReportSpec &s) {
             s.FieldIds << 8;
             s.SelGreater[8] = QStringLiteral("20");
             s.SelLess[8] = QStringLiteral("$100.00");
         },
         [&](const Item &i) {
             return !i.price.isNull() && price(i) > Money::fromUnits(200000) && price(i) < Money::fromUnits(1000000);
         }},
        {"bought in 2020 and 2021",
         [](ReportSpec &s) {
             s.FieldIds << 7;
             s.SelStart[7] = DateValue::fromDate(QDate(2020, 1, 1));
             s.SelEnd[7] = DateValue::fromDate(QDate(2021, 12, 31));
         },
         [](const Item &i) {
             const QDate d = i.date.value<DateValue>().date();
             return !i.date.isNull() && d.year() >= 2020 && d.year() <= 2021;
         }},
        {"true and false select nothing",
         [](ReportSpec &s) {
             s.FieldIds << 12;
             s.SelTrue[12] = true;
             s.SelFalse[12] = true;
         },
         [](const Item &) { return false; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportSpec spec = design(catalogue, {1});
        spec.Sort1 = 1;
        c.set(spec);
        const QStringList rows = firstColumn(*inventory, build(spec, catalogue));
        EXPECT_EQ(rows, expected(c.keep));
    }
}

TEST_F(DemoQueryTest, CriteriaHoldingQuotesOrSqlSelectNothingOdd)
{
    const qint64 before = inventory->scalar(QStringLiteral("select count(*) from items")).toLongLong();
    // Each is a plain text start: no item begins with it, SQL's own
    // wildcards included, and nothing in it reaches the statement.
    for (const char *text : {"'; drop table items; --", "x' or '1'='1", "\" or 1=1 --", "%", "_", "O'Brien"}) {
        SCOPED_TRACE(text);
        ReportSpec spec = design(catalogue, {1, 5});
        spec.SelStartsWith[1] = QString::fromLatin1(text);
        const ReportQuery query = build(spec, catalogue);
        EXPECT_FALSE(query.sql.contains(QString::fromLatin1(text)));
        EXPECT_TRUE(firstColumn(*inventory, query).isEmpty());
    }
    EXPECT_EQ(inventory->scalar(QStringLiteral("select count(*) from items")).toLongLong(), before);
}
