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
// number style and date order; a value that does not fit them is reported,
// never read as another value.
TEST(ImportCheck, ValuesAreReadByTheFormsRules)
{
    struct Case {
        const char *locale;
        ReadingRules rules;
        ItemField field;
        const char *text;
        QVariant stored;     // as stored; Null when left empty
        const char *problem; // in the message; "" when none
    };
    const auto money = [](const char *decimal) {
        return QVariant::fromValue(*Money::fromDecimalText(QString::fromLatin1(decimal)));
    };
    const auto date = [](int y, int m, int d) { return QVariant::fromValue(DateValue::fromDate(QDate(y, m, d))); };
    const ReadingRules Plain{NumberStyle::Plain, DateStyle::YearMonthDay, false};
    const ReadingRules Point{NumberStyle::DecimalPoint, DateStyle::MonthDayYear, false};
    const ReadingRules Comma{NumberStyle::DecimalComma, DateStyle::DayMonthYear, false};
    const ReadingRules Export{NumberStyle::Plain, DateStyle::YearMonthDay, true};
    const Case cases[] = {
        {"en_US", Plain, ItemField::PurchPrice, "1234.5", money("1234.5"), ""},
        {"en_US", Plain, ItemField::PurchPrice, "-0.126", money("-0.126"), ""},
        {"en_US", Plain, ItemField::PurchPrice, "$1,234.50", QVariant(),
         "is not written like 1234.56, as the numbers of this file are"},
        {"en_US", Point, ItemField::PurchPrice, "$1,234.50", money("1234.5"), ""},
        {"de_DE", Comma, ItemField::EstValue, "1.234,56 \u20ac", money("1234.56"), ""},
        // A point that groups thousands in one style is a decimal point in another.
        {"de_DE", Plain, ItemField::EstValue, "1.234", money("1.234"), ""},
        {"de_DE", Comma, ItemField::EstValue, "1.234", money("1234"), ""},
        {"de_DE", Plain, ItemField::EstValue, "1.5", money("1.5"), ""},
        // A grouping separator counts only in groups of three.
        {"en_US", Comma, ItemField::PurchPrice, "0,99", money("0.99"), ""},
        {"en_US", Point, ItemField::PurchPrice, "0,99", QVariant(), "is not written like 1,234.56"},
        {"en_US", Point, ItemField::PurchPrice, "12,5", QVariant(), "is not written like 1,234.56"},
        {"en_US", Point, ItemField::PurchPrice, "1,2,3", QVariant(), "\"1,2,3\" is not an amount; left empty."},
        {"en_US", Point, ItemField::PurchPrice, "1,234,567.5", money("1234567.5"), ""},
        {"en_US", Comma, ItemField::PurchPrice, "2.499,00 \u20ac", money("2499"), ""},
        {"en_US", Comma, ItemField::PurchPrice, "1\u00a0234,56", money("1234.56"), ""},
        {"en_US", Comma, ItemField::PurchPrice, "1 234.56", QVariant(), "\"1 234.56\" is not an amount"},
        // Currency signs and codes before or after, and the ways of a minus.
        {"en_US", Point, ItemField::PurchPrice, "EUR 12.50", money("12.5"), ""},
        {"en_US", Point, ItemField::PurchPrice, "CHF 1,500.00", money("1500"), ""},
        {"en_US", Comma, ItemField::PurchPrice, "-12,50 \u20ac", money("-12.5"), ""},
        {"en_US", Point, ItemField::PurchPrice, "($12.50)", money("-12.5"), ""},
        {"en_US", Point, ItemField::PurchPrice, "12.50 dollars", QVariant(), "is not an amount"},
        // Rounding would store another number than the file's.
        {"en_US", Plain, ItemField::PurchPrice, "0.12345", QVariant(), "\"0.12345\" has more than four decimals"},
        {"en_US", Plain, ItemField::PurchPrice, "450359962737.0495", money("450359962737.0495"), ""},
        {"en_US", Plain, ItemField::PurchPrice, "922337203685477.5807", QVariant(),
         "is larger than the inventory stores exactly"},
        {"en_US", Plain, ItemField::PurchPrice, "922337203685477.5808", QVariant(), "is larger than an amount can be"},
        {"en_US", Plain, ItemField::Quantity, "3", 3, ""},
        {"en_US", Plain, ItemField::Quantity, "2.5", 2, "is not a whole number; 2 is stored"},
        {"de_DE", Comma, ItemField::Quantity, "1.000", 1000, ""},
        // A quantity the form cannot read is stored as the form stores it.
        {"en_US", Plain, ItemField::Quantity, "40000", 1,
         "\"40000\" is outside -32768 to 32767; stored as 1, as the record form stores a quantity it cannot read."},
        {"en_US", Plain, ItemField::Quantity, "two", 1,
         "\"two\" is not a number; stored as 1, as the record form stores a quantity it cannot read."},
        // Dates in the column's order, whatever the locale.
        {"en_US", Plain, ItemField::PurchDate, "2021-03-15", date(2021, 3, 15), ""},
        {"en_US", Point, ItemField::PurchDate, "3/15/2021", date(2021, 3, 15), ""},
        {"en_GB", Comma, ItemField::PurchDate, "15/03/2021", date(2021, 3, 15), ""},
        {"de_DE", Comma, ItemField::PurchDate, "15.03.2021", date(2021, 3, 15), ""},
        {"en_US", Comma, ItemField::PurchDate, "01.03.2021", date(2021, 3, 1), ""},
        {"de_DE", Point, ItemField::PurchDate, "5/2/2017", date(2017, 5, 2), ""},
        {"en_US", Comma, ItemField::PurchDate, "5-2-17", date(2017, 2, 5), ""},
        {"en_US", Point, ItemField::PurchDate, "15 May 2021", date(2021, 5, 15), ""},
        {"de_DE", Comma, ItemField::PurchDate, "15. Mai 2021", date(2021, 5, 15), ""},
        {"en_US", Comma, ItemField::PurchDate, "24.12.2019 14:30",
         QVariant::fromValue(DateValue::fromDateTime(QDate(2019, 12, 24), QTime(14, 30))), ""},
        {"en_US", Comma, ItemField::PurchDate, "12/24/2019", QVariant(),
         "\"12/24/2019\" is not a date written day first, like 24.12.2019, as the dates of this column are"},
        {"en_US", Point, ItemField::PurchDate, "Tue 01.03.2021", QVariant(), "is not a date"},
        {"en_US", Plain, ItemField::PurchDate, "2021-02-30", QVariant(), "is not a date"},
        {"en_US", Plain, ItemField::Receipt, "Yes", true, ""},
        {"en_US", Plain, ItemField::Receipt, "x", true, ""},
        {"en_US", Plain, ItemField::Receipt, "FALSE", false, ""},
        {"en_US", Plain, ItemField::Receipt, "maybe", false, "neither yes nor no"},
        {"en_US", Plain, ItemField::Manufact, FiftyOneLetters, QString::fromLatin1(FiftyOneLetters),
         "51 characters, more than the 50"},
        // A formula-looking cell is plain text; only the apostrophe our own
        // export put in front comes off, never one of another program's text.
        {"en_US", Plain, ItemField::Notes, "=cmd|' /C calc'!A0", QStringLiteral("=cmd|' /C calc'!A0"), ""},
        {"en_US", Export, ItemField::Notes, "'=cmd|' /C calc'!A0", QStringLiteral("=cmd|' /C calc'!A0"), ""},
        {"en_US", Plain, ItemField::Notes, "'=cmd|' /C calc'!A0", QStringLiteral("'=cmd|' /C calc'!A0"), ""},
        {"en_US", Plain, ItemField::Notes, "'-5 degrees", QStringLiteral("'-5 degrees"), ""},
        {"en_US", Export, ItemField::Notes, "'-5 degrees", QStringLiteral("-5 degrees"), ""},
        {"en_US", Export, ItemField::Notes, "'quoted", QStringLiteral("'quoted"), ""},
        // C1 controls are what undefined bytes of a code page become: no text.
        {"en_US", Plain, ItemField::WherePurch, "Gar\u0081on\u008d", QStringLiteral("Garon"),
         "holds control characters that are not text (U+0081); they are left out."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 \"%3\"")
                         .arg(QLatin1String(c.locale), fieldCaption(c.field), QString::fromUtf8(c.text))
                         .toStdString());
        const LocaleGuard locale(c.locale);
        const ItemRowChecker checker({ItemField::Item, c.field}, c.rules);
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
            EXPECT_TRUE(item->isTroubled(c.field));
        } else {
            EXPECT_TRUE(problems.empty()) << problemTexts(problems).join(u'\n').toStdString();
            EXPECT_TRUE(item->good);
        }
    }
    // NUL is no text either.
    const ItemRowChecker checker({ItemField::Item, ItemField::Notes}, Plain);
    std::vector<ImportProblem> problems;
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_EQ((*checker.check(record(3, {QStringLiteral("Lamp"), withNul}), problems))[ItemField::Notes],
              QVariant(QStringLiteral("ab")));
    EXPECT_EQ(problemTexts(problems),
              QStringList{"Line 3, Notes: holds control characters that are not text (U+0000); they are left out."});
}

TEST(ImportCheck, RowsWithoutADescriptionOrWithExtraFieldsAreFlagged)
{
    const ItemRowChecker checker({ItemField::Item, ItemField::Notes}, ReadingRules{});
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
    const ItemRowChecker priceOnly({ItemField::Item, ItemField::PurchPrice}, ReadingRules{});
    const CheckedItem lamp = *priceOnly.check(record(2, {QStringLiteral("Lamp"), QStringLiteral("12.5")}), problems);
    EXPECT_EQ(lamp[ItemField::Quantity], QVariant(1));
    EXPECT_EQ(lamp[ItemField::EstValue].value<Money>(), *Money::fromDecimalText(u"12.5"));
    EXPECT_EQ(lamp[ItemField::TotValue].value<Money>(), *Money::fromDecimalText(u"12.5"));
    EXPECT_EQ(lamp[ItemField::Receipt], QVariant(false));

    // With their columns, empty cells stay empty: no value, no total.
    const ItemRowChecker full({ItemField::Item, ItemField::EstValue, ItemField::Quantity}, ReadingRules{});
    const CheckedItem chair =
        *full.check(record(3, {QStringLiteral("Chair"), QStringLiteral("0.126"), std::nullopt}), problems);
    EXPECT_TRUE(chair[ItemField::Quantity].isNull());
    EXPECT_TRUE(chair[ItemField::TotValue].isNull());
    const CheckedItem cups =
        *full.check(record(4, {QStringLiteral("Cups"), QStringLiteral("0.126"), QStringLiteral("3")}), problems);
    EXPECT_EQ(cups[ItemField::TotValue].value<Money>(), *Money::fromDecimalText(u"0.378")); // exact, not rounded
    EXPECT_TRUE(problems.empty());

    // A quantity that cannot be read counts once, as the form stores it,
    // so the item keeps its total and the claim its value.
    const ItemRowChecker counted({ItemField::Item, ItemField::PurchPrice, ItemField::Quantity}, ReadingRules{});
    const CheckedItem chairs = *counted.check(
        record(5, {QStringLiteral("Two chairs"), QStringLiteral("80"), QStringLiteral("two")}), problems);
    EXPECT_EQ(chairs[ItemField::Quantity], QVariant(1));
    EXPECT_EQ(chairs[ItemField::EstValue].value<Money>(), *Money::fromDecimalText(u"80"));
    EXPECT_EQ(chairs[ItemField::TotValue].value<Money>(), *Money::fromDecimalText(u"80"));
    EXPECT_EQ(problemTexts(problems),
              QStringList{"Line 5, Quantity: \"two\" is not a number; stored as 1, as the "
                          "record form stores a quantity it cannot read."});
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

// A German spreadsheet saved as CSV: semicolons, decimal commas, Windows-1252,
// one heading the program does not know.
TEST(ImportPlan, FindsTheSeparatorEncodingAndNumberStyleOfAFile)
{
    const LocaleGuard locale("de_DE");
    ImportPlan plan = ImportPlan::fromBytes("Ding;Marke;Preis;Anzahl\r\nK\xFChlschrank;Kelmore;1.234,50;1\r\n"
                                            "Stuhl;;12,50;4\r\n");
    EXPECT_EQ(plan.separator(), ';');
    EXPECT_EQ(plan.encoding(), TextEncoding::Windows1252);
    EXPECT_FALSE(plan.mapsDescription());
    EXPECT_EQ(
        plan.mapping(),
        (std::vector<ItemField>{ItemField::None, ItemField::Manufact, ItemField::PurchPrice, ItemField::Quantity}));
    EXPECT_EQ(plan.numberStyle(), NumberStyle::DecimalComma);
    EXPECT_EQ(describeNumbers(plan),
              QStringLiteral("Numbers are read as written like 1.234,56: line 2 holds "
                             "\"1.234,50\"."));
    plan.setMapping(0, ItemField::Item);
    const ImportSummary &summary = plan.summary();
    ASSERT_EQ(summary.firstRows.size(), 2u);
    EXPECT_EQ(summary.firstRows[0][ItemField::Item].toString(), QString::fromUtf8("K\xC3\xBChlschrank"));
    EXPECT_EQ(summary.firstRows[0][ItemField::PurchPrice].value<Money>(), *Money::fromDecimalText(u"1234.5"));
    EXPECT_EQ(summary.firstRows[1][ItemField::TotValue].value<Money>(), *Money::fromDecimalText(u"50"));
    EXPECT_TRUE(summary.firstRows[1][ItemField::Manufact].isNull());
    EXPECT_EQ(summary.problemCount, 0);

    // A field given to another column leaves the first.
    plan.setMapping(1, ItemField::Item);
    EXPECT_EQ(plan.mapping()[0], ItemField::None);
    EXPECT_EQ(plan.summary().firstRows[0][ItemField::Item].toString(), QStringLiteral("Kelmore"));
    EXPECT_FALSE(plan.summary().firstRows[1].storable);
    // The number style follows the columns of numbers until it is chosen.
    plan.setMapping(2, ItemField::None);
    EXPECT_EQ(plan.numberFinding().how, StyleFinding::How::NoValues);
    plan.setNumberStyle(NumberStyle::DecimalPoint);
    plan.setMapping(2, ItemField::PurchPrice);
    EXPECT_EQ(plan.numberStyle(), NumberStyle::DecimalPoint);
    EXPECT_EQ(describeNumbers(plan), QStringLiteral("Numbers are read as written like 1,234.56, as chosen."));
}

// The style of numbers and the order of dates are decided from every value
// of their columns: a value only one way reads settles it; values that the
// ways read differently leave it to the locale, and the plan says so.
TEST(ImportPlan, NumberStyleAndDateOrderAreDecidedForTheWholeColumn)
{
    struct Case {
        const char *name;
        const char *locale;
        QByteArray file; // Item,Price,Date
        NumberStyle numbers;
        DateStyle dates;
        const char *firstPrice; // of the first row; "" when none was read
        QDate firstDate;
        const char *said; // what describeNumbers or describeDates says, in part
    };
    const Case cases[] = {
        {"decimal commas on an English computer", "en_US", "Item,Price,Date\nA,\"0,99\",\nB,\"1,2,3\",\n",
         NumberStyle::DecimalComma, DateStyle::MonthDayYear, "0.99", QDate(), "line 2 holds \"0,99\""},
        {"a plain decimal point on a German computer", "de_DE", "Item;Price;Qty\nLamp;12.50;1\nChair;1.5;2\n",
         NumberStyle::Plain, DateStyle::DayMonthYear, "12.5", QDate(), "written like 1234.56: line 2"},
        {"points grouping, on an English computer", "en_US", "Item;Price\nTV;2.499,00 \xE2\x82\xAC\nLamp;1.234\n",
         NumberStyle::DecimalComma, DateStyle::MonthDayYear, "2499", QDate(), "line 2 holds"},
        {"commas grouping in the same column", "de_DE", "Item,Price\nLamp,\"1,234\"\nTV,\"2,499.00\"\n",
         NumberStyle::DecimalPoint, DateStyle::DayMonthYear, "1234", QDate(), "written like 1,234.56: line 3"},
        {"nothing settles the numbers: the locale's style, said", "de_DE", "Item,Price\nLamp,\"1,234\"\n",
         NumberStyle::DecimalComma, DateStyle::DayMonthYear, "1.234", QDate(),
         "No number shows whether a point or a comma comes before the decimals (line 2: \"1,234\")"},
        {"both styles as often: the locale's, the others problems", "en_US",
         "Item,Price\nLamp,\"12,50\"\nTV,\"1,234.50\"\n", NumberStyle::DecimalPoint, DateStyle::MonthDayYear, "",
         QDate(),
         "Line 2 (\"12,50\") and line 3 (\"1,234.50\") write numbers differently; they are read as this "
         "computer writes them, like 1,234.56, and the others are listed as problems."},
        {"both styles: the more common one", "en_US", "Item;Price\nLamp;12.50\nTV;2.499,00\nChair;89,90\n",
         NumberStyle::DecimalComma, DateStyle::MonthDayYear, "", QDate(),
         "they are read as most are written, like 1.234,56, and the others are listed as problems."},
        {"both orders: the more common one", "en_US", "Item,Date\nA,12/24/2019\nB,24.12.2019\nC,13.1.2020\n",
         NumberStyle::Plain, DateStyle::DayMonthYear, "", QDate(),
         "dates are read in the order of most, day first, like 24.12.2019, and the others are listed as problems."},
        {"the 24th puts the day first", "en_US", "Item,Date\nA,01.03.2021\nB,24.12.2019\n", NumberStyle::Plain,
         DateStyle::DayMonthYear, "", QDate(2021, 3, 1), "line 3 holds \"24.12.2019\""},
        {"the 14th puts the day first", "en_US", "Item,Date\nA,02.05.2017\nB,14.03.2019\n", NumberStyle::Plain,
         DateStyle::DayMonthYear, "", QDate(2017, 5, 2), "day first"},
        {"a US file on a German computer", "de_DE", "Item,Date\nA,5/2/2017\nB,12/24/2019\n", NumberStyle::Plain,
         DateStyle::MonthDayYear, "", QDate(2017, 5, 2), "month first, like 12/24/2019: line 3"},
        {"nothing settles the dates: the locale's order, said", "en_GB", "Item,Date\nA,01.03.2021\n",
         NumberStyle::Plain, DateStyle::DayMonthYear, "", QDate(2021, 3, 1),
         "No date shows whether the day or the month comes first (line 2: \"01.03.2021\"); they are read in this "
         "computer's order, day first"},
        {"the same file in the US", "en_US", "Item,Date\nA,01.03.2021\n", NumberStyle::Plain, DateStyle::MonthDayYear,
         "", QDate(2021, 1, 3), "this computer's order, month first"},
        {"ISO dates", "de_DE", "Item,Date\nA,2021-03-01\nB,2019-12-24\n", NumberStyle::Plain, DateStyle::YearMonthDay,
         "", QDate(2021, 3, 1), "year first"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LocaleGuard locale(c.locale);
        const ImportPlan plan = ImportPlan::fromBytes(c.file);
        EXPECT_EQ(plan.numberStyle(), c.numbers);
        EXPECT_EQ(plan.dateStyle(), c.dates);
        const QString said = describeNumbers(plan) + u'\n' + describeDates(plan);
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.said))) << said.toStdString();
        const CheckedItem &first = plan.summary().firstRows.at(0);
        if (*c.firstPrice) {
            EXPECT_EQ(first[ItemField::PurchPrice].value<Money>(),
                      *Money::fromDecimalText(QString::fromLatin1(c.firstPrice)));
        } else if (fieldForHeading(plan.headings().value(1)) == ItemField::PurchPrice) {
            EXPECT_TRUE(first[ItemField::PurchPrice].isNull());
        }
        if (c.firstDate.isValid()) {
            EXPECT_EQ(first[ItemField::PurchDate].value<DateValue>().date(), c.firstDate);
        }
    }
}

// Only our own export (its byte order mark and its heading row) had an
// apostrophe put in front of its formula-looking texts.
TEST(ImportPlan, TakesOffOnlyTheApostrophesOfItsOwnExport)
{
    QByteArray own = "\xEF\xBB\xBFID";
    for (const ItemField field : allItemFields())
        own += ',' + fieldCaption(field).toUtf8();
    own += "\r\n1,'-5 degrees\r\n";
    const ImportPlan ours = ImportPlan::fromBytes(own);
    EXPECT_TRUE(ours.isOwnExport());
    EXPECT_EQ(ours.summary().firstRows.at(0)[ItemField::Item].toString(), QStringLiteral("-5 degrees"));
    for (const QByteArray &other : {own.sliced(3), QByteArray(own).replace("Notes", "Remarks")}) {
        const ImportPlan theirs = ImportPlan::fromBytes(other);
        EXPECT_FALSE(theirs.isOwnExport());
        EXPECT_EQ(theirs.summary().firstRows.at(0)[ItemField::Item].toString(), QStringLiteral("'-5 degrees"));
    }
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
