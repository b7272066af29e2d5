#include "LocaleGuard.h"

#include "transfer/FormulaCells.h"
#include "transfer/ImportPlan.h"

#include <gtest/gtest.h>

namespace {

CsvRecord record(int line, const QList<std::optional<QString>> &fields)
{
    CsvRecord r;
    r.line = line;
    r.fields = fields;
    return r;
}

QStringList problemTexts(const std::vector<ImportProblem> &problems)
{
    QStringList texts;
    for (const ImportProblem &problem : problems)
        texts << describeProblem(problem);
    return texts;
}

constexpr const char *FiftyOneLetters = "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm";
static_assert(std::char_traits<char>::length(FiftyOneLetters) == 51);

} // namespace

TEST(Headings, SpreadsheetNamesFindTheirFields)
{
    struct Case {
        const char *heading;
        ItemField field;
    };
    const Case cases[] = {
        {"Item Description", ItemField::Item},
        {"Name", ItemField::Item},
        {"ITEM", ItemField::Item},
        {"Brand", ItemField::Manufact},
        {"manufact", ItemField::Manufact},
        {"Model #", ItemField::Model},
        {"Serial", ItemField::SerNo},
        {"S/N", ItemField::SerNo},
        {"serial_no", ItemField::SerNo},
        {"Date Purchased", ItemField::PurchDate},
        {"Price", ItemField::PurchPrice},
        {"Cost", ItemField::PurchPrice},
        {"Est. Value", ItemField::EstValue},
        {"Replacement value", ItemField::EstValue},
        {"Qty", ItemField::Quantity},
        {"Total", ItemField::TotValue},
        {"Receipt?", ItemField::Receipt},
        {"Store", ItemField::WherePurch},
        {"Misc", ItemField::Misc1},
        {"Comments", ItemField::Notes},
        {"Room", ItemField::Location},
        {"Category", ItemField::Category},
        {"ID", ItemField::None},
        {"Colour", ItemField::None},
        {"", ItemField::None},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.heading);
        EXPECT_EQ(fieldForHeading(QString::fromUtf8(c.heading)), c.field);
    }
    // Two headings for one field: the first takes it, the second is not imported.
    EXPECT_EQ(matchHeadings({"Price", "Name", "Cost", "Price"}),
              (std::vector<ItemField>{ItemField::PurchPrice, ItemField::Item, ItemField::None, ItemField::None}));
}

// Every value is read by the rules the record form applies, in the file's
// number style and the computer's locale.
TEST(ImportCheck, ValuesAreReadByTheFormsRules)
{
    struct Case {
        const char *locale;
        NumberStyle style;
        ItemField field;
        const char *text;
        QVariant stored;     // as stored; Null when left empty
        const char *problem; // in the message; "" when none
    };
    const auto money = [](const char *decimal) {
        return QVariant::fromValue(*Money::fromDecimalText(QString::fromLatin1(decimal)));
    };
    const auto date = [](int y, int m, int d) { return QVariant::fromValue(DateValue::fromDate(QDate(y, m, d))); };
    const NumberStyle Plain = NumberStyle::Plain, Local = NumberStyle::Locale;
    const Case cases[] = {
        {"en_US", Plain, ItemField::PurchPrice, "1234.5", money("1234.5"), ""},
        {"en_US", Plain, ItemField::PurchPrice, "-0.126", money("-0.126"), ""},
        {"en_US", Plain, ItemField::PurchPrice, "$1,234.50", QVariant(), "is not an amount"},
        {"en_US", Local, ItemField::PurchPrice, "$1,234.50", money("1234.5"), ""},
        {"de_DE", Local, ItemField::EstValue, "1.234,56 \u20ac", money("1234.56"), ""},
        // Where "." groups thousands the plain style keeps "1.234" a small amount.
        {"de_DE", Plain, ItemField::EstValue, "1.234", money("1.234"), ""},
        {"de_DE", Local, ItemField::EstValue, "1.234", money("1234"), ""},
        {"en_US", Plain, ItemField::Quantity, "3", 3, ""},
        {"en_US", Plain, ItemField::Quantity, "2.5", 2, "is not a whole number; 2 is stored"},
        {"en_US", Plain, ItemField::Quantity, "40000", QVariant(), "outside -32768 to 32767"},
        {"en_US", Plain, ItemField::Quantity, "two", QVariant(), "is not a number"},
        {"en_US", Plain, ItemField::PurchDate, "2021-03-15", date(2021, 3, 15), ""},
        {"en_US", Plain, ItemField::PurchDate, "3/15/2021", date(2021, 3, 15), ""},
        {"en_GB", Plain, ItemField::PurchDate, "15/03/2021", date(2021, 3, 15), ""},
        {"de_DE", Plain, ItemField::PurchDate, "15.03.2021", date(2021, 3, 15), ""},
        {"en_US", Plain, ItemField::PurchDate, "2021-02-30", QVariant(), "is not a date"},
        {"en_US", Plain, ItemField::Receipt, "Yes", true, ""},
        {"en_US", Plain, ItemField::Receipt, "x", true, ""},
        {"en_US", Plain, ItemField::Receipt, "FALSE", false, ""},
        {"en_US", Plain, ItemField::Receipt, "maybe", false, "neither yes nor no"},
        {"en_US", Plain, ItemField::Manufact, FiftyOneLetters, QString::fromLatin1(FiftyOneLetters),
         "51 characters, more than the 50"},
        // A formula-looking cell is plain text; the apostrophe an export put in front comes off.
        {"en_US", Plain, ItemField::Notes, "=cmd|' /C calc'!A0", QStringLiteral("=cmd|' /C calc'!A0"), ""},
        {"en_US", Plain, ItemField::Notes, "'=cmd|' /C calc'!A0", QStringLiteral("=cmd|' /C calc'!A0"), ""},
        {"en_US", Plain, ItemField::Notes, "'quoted", QStringLiteral("'quoted"), ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 \"%3\"")
                         .arg(QLatin1String(c.locale), fieldCaption(c.field), QString::fromUtf8(c.text))
                         .toStdString());
        const LocaleGuard locale(c.locale);
        const ItemRowChecker checker({ItemField::Item, c.field}, c.style);
        std::vector<ImportProblem> problems;
        const std::optional<CheckedItem> item =
            checker.check(record(7, {QStringLiteral("Lamp"), QString::fromUtf8(c.text)}), problems);
        ASSERT_TRUE(item);
        EXPECT_EQ((*item)[c.field], c.stored);
        if (*c.problem) {
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_EQ(problems[0].line, 7);
            EXPECT_EQ(problems[0].field, c.field);
            EXPECT_TRUE(problems[0].message.contains(QString::fromUtf8(c.problem)))
                << problems[0].message.toStdString();
            EXPECT_FALSE(item->good);
            EXPECT_TRUE(item->storable);
        } else {
            EXPECT_TRUE(problems.empty()) << problemTexts(problems).join(u'\n').toStdString();
            EXPECT_TRUE(item->good);
        }
    }
}

TEST(ImportCheck, RowsWithoutADescriptionOrWithExtraFieldsAreFlagged)
{
    const ItemRowChecker checker({ItemField::Item, ItemField::Notes}, NumberStyle::Plain);
    std::vector<ImportProblem> problems;
    // A blank row is skipped without a word.
    EXPECT_FALSE(checker.check(record(2, {std::nullopt, QString()}), problems));
    // A short row (a spreadsheet drops empty cells at the end) is fine.
    EXPECT_TRUE(checker.check(record(3, {QStringLiteral("Lamp")}), problems)->good);
    // A row without a description cannot be stored at all.
    const std::optional<CheckedItem> nameless =
        checker.check(record(4, {QString(), QStringLiteral("notes")}), problems);
    EXPECT_FALSE(nameless->storable);
    // More fields than headings: an unquoted comma split a field somewhere.
    const std::optional<CheckedItem> wide =
        checker.check(record(5, {QStringLiteral("Lamp"), QStringLiteral("red"), QStringLiteral("tall")}), problems);
    EXPECT_TRUE(wide->storable);
    EXPECT_FALSE(wide->good);
    EXPECT_EQ(problemTexts(problems),
              (QStringList{"Line 4, Item Description: empty; a row without a description cannot be imported.",
                           "Line 5: 3 fields, but the heading row has 2; only the first 2 are imported."}));
}

// What the form would have filled in when the file has no column for it.
TEST(ImportCheck, FieldsWithoutAColumnAreFilledInAsTheFormDoes)
{
    std::vector<ImportProblem> problems;
    const ItemRowChecker priceOnly({ItemField::Item, ItemField::PurchPrice}, NumberStyle::Plain);
    const CheckedItem lamp = *priceOnly.check(record(2, {QStringLiteral("Lamp"), QStringLiteral("12.5")}), problems);
    EXPECT_EQ(lamp[ItemField::Quantity], QVariant(1));
    EXPECT_EQ(lamp[ItemField::EstValue].value<Money>(), *Money::fromDecimalText(u"12.5"));
    EXPECT_EQ(lamp[ItemField::TotValue].value<Money>(), *Money::fromDecimalText(u"12.5"));
    EXPECT_EQ(lamp[ItemField::Receipt], QVariant(false));

    // With their columns, empty cells stay empty: no value, no total.
    const ItemRowChecker full({ItemField::Item, ItemField::EstValue, ItemField::Quantity}, NumberStyle::Plain);
    const CheckedItem chair =
        *full.check(record(3, {QStringLiteral("Chair"), QStringLiteral("0.126"), std::nullopt}), problems);
    EXPECT_TRUE(chair[ItemField::Quantity].isNull());
    EXPECT_TRUE(chair[ItemField::TotValue].isNull());
    const CheckedItem cups =
        *full.check(record(4, {QStringLiteral("Cups"), QStringLiteral("0.126"), QStringLiteral("3")}), problems);
    EXPECT_EQ(cups[ItemField::TotValue].value<Money>(), *Money::fromDecimalText(u"0.378")); // exact, not rounded
    EXPECT_TRUE(problems.empty());
}

TEST(FormulaCells, TheGuardReadsBackToTheSameText)
{
    for (const char *text : {"=SUM(A1:A3)", "+1", "-5 degrees", "@home", "\tindented", "'=already", "''=twice", "plain",
                             "'", "'apostrophe", "", "a=b"}) {
        SCOPED_TRACE(text);
        const QString original = QString::fromUtf8(text);
        const bool guarded = needsFormulaGuard(QStringView(original));
        EXPECT_EQ(guarded, needsFormulaGuard(QByteArrayView(text)));
        const QString written = guarded ? u'\'' + original : original;
        EXPECT_EQ(withoutFormulaGuard(written), original);
        // What a spreadsheet sees never begins with a formula character.
        EXPECT_FALSE(!written.isEmpty() && QStringLiteral("=+-@\t").contains(written.front()));
    }
}

// A German spreadsheet saved as CSV: semicolons, decimal commas, Windows-1252.
TEST(ImportPlan, FindsTheSeparatorEncodingAndNumberStyleOfAFile)
{
    const LocaleGuard locale("de_DE");
    ImportPlan plan = ImportPlan::fromBytes("Bezeichnung;Marke;Preis;Anzahl\r\nK\xFChlschrank;Kelmore;1.234,50;1\r\n"
                                            "Stuhl;;12,50;4\r\n");
    EXPECT_EQ(plan.separator(), ';');
    EXPECT_EQ(plan.encoding(), TextEncoding::Windows1252);
    // German headings are not known: the user chooses.
    EXPECT_FALSE(plan.mapsDescription());
    plan.setMapping(0, ItemField::Item);
    plan.setMapping(1, ItemField::Manufact);
    plan.setMapping(2, ItemField::PurchPrice);
    plan.setMapping(3, ItemField::Quantity);
    // Found from the columns of numbers once they are known.
    EXPECT_EQ(plan.numberStyle(), NumberStyle::Locale);
    ASSERT_EQ(plan.rows().size(), 2u);
    EXPECT_EQ(plan.rows()[0][ItemField::Item].toString(), QString::fromUtf8("K\xC3\xBChlschrank"));
    EXPECT_EQ(plan.rows()[0][ItemField::PurchPrice].value<Money>(), *Money::fromDecimalText(u"1234.5"));
    EXPECT_EQ(plan.rows()[1][ItemField::TotValue].value<Money>(), *Money::fromDecimalText(u"50"));
    EXPECT_TRUE(plan.rows()[1][ItemField::Manufact].isNull());
    EXPECT_TRUE(plan.problems().empty());

    // A field given to another column leaves the first.
    plan.setMapping(1, ItemField::Item);
    EXPECT_EQ(plan.mapping()[0], ItemField::None);
    EXPECT_EQ(plan.rows()[0][ItemField::Item].toString(), QStringLiteral("Kelmore"));
    EXPECT_FALSE(plan.rows()[1].storable);
}

TEST(ImportPlan, RefusesFilesThatHoldNoList)
{
    EXPECT_THROW(ImportPlan::fromBytes(""), ImportError);
    EXPECT_THROW(ImportPlan::fromBytes("\r\n\r\n , \r\n"), ImportError);
    QByteArray wide;
    for (int i = 0; i <= MaxImportColumns; ++i)
        wide += "h" + QByteArray::number(i) + ",";
    EXPECT_THROW(ImportPlan::fromBytes(wide + "\nx\n"), ImportError);
    EXPECT_THROW(ImportPlan::fromFile(QStringLiteral("/no/such/file.csv")), ImportError);
}
