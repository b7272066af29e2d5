#include "FixedReportFixture.h"

#include "data/Database.h"
#include "data/Money.h"
#include "items/ItemStatus.h"
#include "reports/ValueSummaryReport.h"

#include <tuple>

namespace {

// An item's code: an index into the case's codes, or one of these.
constexpr int None = -1;   // Null
constexpr int Orphan = -2; // an id that no code has

struct Item {
    int code;
    const char *amount; // nullptr: Null
};

struct SummaryCase {
    const char *name;
    std::vector<const char *> codes;
    std::vector<Item> items;
    // Between the heading and the grand total; "*" is the row of the items without a code.
    std::vector<std::pair<const char *, const char *>> rows;
    const char *grandTotal;
};

void PrintTo(const SummaryCase &c, std::ostream *out)
{
    *out << c.name;
}

const SummaryCase cases[] = {
    // "alpha" first: the order ignores case. An unused code is left out,
    // one whose totals are all Null shows zero, an orphan counts nowhere, and
    // 0.1 + 0.2 and the large amount are exact.
    {"UsedGroups",
     {"Beta", "alpha", "Unused", "Gamma|with;marks"},
     {{0, "0.1"},
      {0, "0.2"},
      {1, nullptr},
      {3, "9999999999999.99"},
      {3, "0.01"},
      {Orphan, "50"},
      {None, "7.5"},
      {None, nullptr}},
     {{"alpha", "$0.00"}, {"Beta", "$0.30"}, {"Gamma|with;marks", "$10,000,000,000,000.00"}, {"*", "$7.50"}},
     "$10,000,000,000,007.80"},
    {"EveryItemHasACode", {"Only"}, {{0, "12.34"}, {0, "-2.34"}}, {{"Only", "$10.00"}}, "$10.00"},
    {"NoItems", {"Nobody uses this"}, {}, {}, "$0.00"},
};

void addItems(Database &db, int kind, const SummaryCase &c)
{
    const QString table = kind == 1 ? QStringLiteral("categories") : QStringLiteral("locations");
    const char *own = kind == 1 ? "catid" : "locid";
    const char *other = kind == 1 ? "locid" : "catid";
    std::vector<qint64> ids;
    for (const char *code : c.codes) {
        db.execute(QStringLiteral("insert into %1 values (null, ?)").arg(table), {QString::fromUtf8(code)});
        ids.push_back(db.scalar(QStringLiteral("select last_insert_rowid()")).toLongLong());
    }
    for (const Item &item : c.items) {
        const QVariant code = item.code == None ? QVariant() : QVariant(item.code == Orphan ? 999 : ids[item.code]);
        const QVariant amount =
            item.amount ? QVariant::fromValue(*Money::fromDecimalText(QString::fromLatin1(item.amount))) : QVariant();
        // The other column holds a code too: only the kind's own column counts.
        db.execute(
            QStringLiteral("insert into items (Item, totvalue, %1, %2) values ('thing', ?, ?, 1)").arg(own, other),
            {amount, code});
    }
}

class ValueSummary : public FixedReportTest, public ::testing::WithParamInterface<std::tuple<int, SummaryCase>> {};

TEST_P(ValueSummary, PrintsUsedGroupsAndTheGrandTotal)
{
    const auto &[kind, c] = GetParam();
    const QString group = kind == 1 ? QStringLiteral("Category") : QStringLiteral("Location");
    addItems(household.inventory(), kind, c);
    leaveListingIn(doc);

    buildValueSummary(household, doc, kind, day());

    std::vector<QStringList> expected{{group, QStringLiteral("Total Value")}};
    for (const auto &[description, amount] : c.rows) {
        const QString text =
            qstrcmp(description, "*") ? QString::fromUtf8(description) : QStringLiteral("No %1 Entered").arg(group);
        expected.push_back({text, QString::fromLatin1(amount)});
    }
    expected.push_back({QStringLiteral("Grand Total"), QString::fromLatin1(c.grandTotal)});
    EXPECT_EQ(shownCells(doc), expected);
    const std::vector<ShownRow> rows = shownRows(doc);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].shaded, i == 0) << "row " << i;
    EXPECT_FALSE(doc.isDocOpen());
    EXPECT_FALSE(doc.repeatedHeading().has_value());
    EXPECT_EQ(doc.pageContent(0).header,
              (QStringList{QStringLiteral("3/5/2024"), QStringLiteral("Value Summary by ") + group,
                           QStringLiteral("Page 1")}));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(prompts.busyDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ValueSummary, ::testing::Combine(::testing::Values(1, 2), ::testing::ValuesIn(cases)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param) == 1 ? "Category" : "Location")
                                 + std::get<1>(info.param).name;
                         });

// A sum beyond what money holds is reported, and neither its row nor the
// grand total shows a figure that would be wrong.
using ValueSummaryOverflow = FixedReportTest;

TEST_F(ValueSummaryOverflow, IsReportedAndLeftBlank)
{
    addItems(household.inventory(), 1,
             {"", {"Huge", "Small"}, {{0, "900000000000000"}, {0, "900000000000000"}, {1, "1"}}, {}, ""});
    prompts.answer(Prompts::Answer::Ok);

    buildValueSummary(household, doc, 1, day());

    const std::vector<QStringList> expected{{QStringLiteral("Category"), QStringLiteral("Total Value")},
                                            {QStringLiteral("Huge"), QString()},
                                            {QStringLiteral("Small"), QStringLiteral("$1.00")},
                                            {QStringLiteral("Grand Total"), QString()}};
    EXPECT_EQ(shownCells(doc), expected);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, QStringLiteral("6  Overflow"));
}

} // namespace

// Items that left the household are worth nothing to it: they leave the
// groups, the row of the items without a group and the grand total, and
// come back when the View menu's choice shows them.
using ValueSummaryDisposed = FixedReportTest;

TEST_F(ValueSummaryDisposed, LeavesTheTotalsUntilShownAgain)
{
    Database &db = household.inventory();
    addItems(db, 1, {"", {"Kitchen"}, {{0, "10"}, {0, "20"}, {None, "5"}}, {}, ""});
    WarrantyDisposal sold;
    sold.disposed = DateValue::fromDate(QDate(2024, 1, 2));
    sold.how = DisposalKind::Sold;
    ItemStatus(db).store(2, sold);
    ItemStatus(db).store(3, sold);
    WarrantyDisposal kept; // a warranty alone keeps the item in
    kept.lifetime = true;
    ItemStatus(db).store(1, kept);

    buildValueSummary(household, doc, 1, day());
    EXPECT_EQ(shownCells(doc),
              (std::vector<QStringList>{{QStringLiteral("Category"), QStringLiteral("Total Value")},
                                        {QStringLiteral("Kitchen"), QStringLiteral("$10.00")},
                                        {QStringLiteral("Grand Total"), QStringLiteral("$10.00")}}));

    household.setShowsDisposed(true);
    buildValueSummary(household, doc, 1, day());
    EXPECT_EQ(shownCells(doc),
              (std::vector<QStringList>{{QStringLiteral("Category"), QStringLiteral("Total Value")},
                                        {QStringLiteral("Kitchen"), QStringLiteral("$30.00")},
                                        {QStringLiteral("No Category Entered"), QStringLiteral("$5.00")},
                                        {QStringLiteral("Grand Total"), QStringLiteral("$35.00")}}));
    EXPECT_TRUE(prompts.messages().empty());
}
