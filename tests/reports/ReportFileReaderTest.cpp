#include "ReportFixture.h"

#include "reports/ReportFileReader.h"

#include <QFile>
#include <functional>
#include <tuple>

namespace {

// One changed line of an otherwise valid file.
struct LineCase {
    const char *name;
    int line;
    QString text;
    // For accepted files: a check of what was read; nullptr for refused ones.
    std::function<void(const ReportSpec &)> check;
};

QString items15(const char *fill)
{
    return perFieldItems(QLatin1String(fill));
}

} // namespace

using ReaderTest = ReportTest;

TEST_F(ReaderTest, AcceptsWhatTheFormatAllows)
{
    const LineCase cases[] = {
        // Blanks around the numbers of lines 3 to 10 are read past.
        {"orientation with a blank", 4, QStringLiteral(" 1"), [](const ReportSpec &s) { EXPECT_EQ(s.Orientation, 1); }},
        {"sort with blanks both sides", 8, QStringLiteral(" 15 "), [](const ReportSpec &s) { EXPECT_EQ(s.Sort1, 15); }},
        {"second sort alone", 9, QStringLiteral(" 5"),
         [](const ReportSpec &s) {
             EXPECT_EQ(s.Sort1, NoSort);
             EXPECT_EQ(s.Sort2, 5);
         }},
        // An empty per-field line holds no items: every field keeps its default.
        {"empty width line", 19, QString(),
         [](const ReportSpec &s) {
             EXPECT_EQ(s.FieldWidth[1], 0.0f);
             EXPECT_EQ(s.FieldWidth[15], 0.0f);
         }},
        {"width of exactly 0", 19, perFieldItems(QStringLiteral("1"), {{1, QStringLiteral("0")}}),
         [](const ReportSpec &s) { EXPECT_EQ(s.FieldWidth[1], 0.0f); }},
        // Fewer items than fields leave the rest at their defaults.
        {"short criteria line", 14, QStringLiteral("Ch;Acme"),
         [](const ReportSpec &s) {
             EXPECT_EQ(s.SelStartsWith[2], QStringLiteral("Acme"));
             EXPECT_TRUE(s.SelStartsWith[3].isEmpty());
         }},
        // Empty items on the text lines set no criterion.
        {"empty number criteria", 17, items15(""), [](const ReportSpec &s) { EXPECT_TRUE(s.SelLess[8].isEmpty()); }},
        // A number criterion of a field that is not a number field is never used.
        {"less-than text on a text field", 17, perFieldItems(QString(), {{1, QStringLiteral("abc")}}),
         [](const ReportSpec &s) { EXPECT_EQ(s.SelLess[1], QStringLiteral("abc")); }},
        {"number criterion as the locale writes it", 18, perFieldItems(QString(), {{8, QStringLiteral("$1,200.50")}}),
         [](const ReportSpec &s) { EXPECT_EQ(s.SelGreater[8], QStringLiteral("$1,200.50")); }},
        // Dates before the base day are negative serials.
        {"date before 1899", 15, perFieldItems(QStringLiteral("0"), {{7, QStringLiteral("-36522")}}),
         [](const ReportSpec &s) { EXPECT_EQ(s.SelStart[7].date(), QDate(1800, 1, 1)); }},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList lines = validReportLines();
        lines[c.line - 1] = c.text;
        lines << QStringLiteral("after line 22 nothing is read: 1;2;x");
        ReportFileReader reader(household, *catalogueDb);
        const auto report = reader.read(putFile(QStringLiteral("case.srp"), reportFileBytesOf(lines)));
        ASSERT_TRUE(report) << reader.problem().toStdString();
        c.check(report->spec);
    }
    EXPECT_EQ(invalidFileMessages(), 0);
}

TEST_F(ReaderTest, RefusesEachFailedCheckWithTheInvalidFileMessage)
{
    // Each case names the line whose check must refuse it, so a file refused
    // for some other reason does not pass unnoticed.
    const LineCase cases[] = {
        {"destination 4", 3, QStringLiteral("4"), nullptr},
        {"destination 0", 3, QStringLiteral("0"), nullptr},
        {"destination not a number", 3, QStringLiteral("screen"), nullptr},
        {"destination with a fraction", 3, QStringLiteral("1.5"), nullptr},
        {"orientation 2", 4, QStringLiteral("2"), nullptr},
        {"header date -1", 5, QStringLiteral("-1"), nullptr},
        {"page numbers 3", 6, QStringLiteral("3"), nullptr},
        {"sort below -1", 8, QStringLiteral("-2"), nullptr},
        {"sort beyond 16 bits", 9, QStringLiteral("40000"), nullptr},
        // A sort number that is no catalogue field would sort by some other field.
        {"sort field 0", 8, QStringLiteral("0"), nullptr},
        {"sort field past the catalogue", 9, QStringLiteral("16"), nullptr},
        {"field count disagrees", 10, QStringLiteral("3"), nullptr},
        {"field count 0", 10, QStringLiteral("0"), nullptr},
        {"field list not numeric", 11, QStringLiteral("1;x"), nullptr},
        {"field list with an empty item", 11, QStringLiteral("1;"), nullptr},
        {"field list past the catalogue", 11, QStringLiteral("1;16"), nullptr},
        {"field list with field 0", 11, QStringLiteral("0;8"), nullptr},
        {"flag 2", 12, perFieldItems(QStringLiteral("0"), {{3, QStringLiteral("2")}}), nullptr},
        {"flag yes", 13, perFieldItems(QStringLiteral("0"), {{1, QStringLiteral("yes")}}), nullptr},
        {"flag with a blank", 20, perFieldItems(QStringLiteral("0"), {{2, QStringLiteral(" 1")}}), nullptr},
        {"empty flag item", 21, QStringLiteral("0;;0"), nullptr},
        {"flag line with 16 items", 22, items15("0") + QStringLiteral(";0"), nullptr},
        {"empty date item", 15, QStringLiteral("0;;0"), nullptr},
        {"date not a number", 16, perFieldItems(QStringLiteral("0"), {{7, QStringLiteral("1/1/2020")}}), nullptr},
        {"date no calendar has", 16, perFieldItems(QStringLiteral("0"), {{7, QStringLiteral("99999999")}}), nullptr},
        {"empty width item", 19, QStringLiteral("1;;1"), nullptr},
        {"width not a number", 19, perFieldItems(QStringLiteral("1"), {{4, QStringLiteral("wide")}}), nullptr},
        {"negative width", 19, perFieldItems(QStringLiteral("1"), {{1, QStringLiteral("-2")}}), nullptr},
        // Number criteria are compared as numbers: text that is none is refused.
        {"less-than not a number", 17, perFieldItems(QString(), {{8, QStringLiteral("cheap")}}), nullptr},
        {"greater-than holding SQL", 18, perFieldItems(QString(), {{8, QStringLiteral("0 or 1=1")}}), nullptr},
        // Nothing would be left to show.
        {"every chosen field hidden", 20,
         perFieldItems(QStringLiteral("0"), {{1, QStringLiteral("1")}, {8, QStringLiteral("1")}}), nullptr},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        QStringList lines = validReportLines();
        lines[c.line - 1] = c.text;
        ReportFileReader reader(household, *catalogueDb);
        EXPECT_FALSE(reader.read(putFile(QStringLiteral("case.srp"), reportFileBytesOf(lines))));
        EXPECT_TRUE(reader.problem().startsWith(QStringLiteral("line %1:").arg(c.line)))
            << reader.problem().toStdString();
        EXPECT_EQ(invalidFileMessages(), 1);
    }
}

TEST_F(ReaderTest, RefusesFilesThatAreMissingShortOrOfAnotherSubject)
{
    QByteArray twentyOneLines = reportFileBytesOf(validReportLines().mid(0, 21));
    // A 22nd line without its line end still counts; nothing at all does not.
    QByteArray lastLineUnended = reportFileBytesOf(validReportLines());
    lastLineUnended.chop(2);
    struct FileCase {
        const char *name;
        std::optional<QByteArray> bytes; // std::nullopt: no file
        bool accepted;
    };
    QStringList otherSubject = validReportLines();
    otherSubject[0] = QStringLiteral("rooms");
    // The subject is a name: its case does not matter.
    QStringList capitalised = validReportLines();
    capitalised[0] = QStringLiteral("ITEMS");
    const FileCase cases[] = {
        {"missing file", std::nullopt, false},
        {"empty file", QByteArray(), false},
        {"21 lines", twentyOneLines, false},
        {"first line only", QByteArray("items\r\n"), false},
        {"subject without catalogue rows", reportFileBytesOf(otherSubject), false},
        {"last line without its line end", lastLineUnended, true},
        {"subject in capitals", reportFileBytesOf(capitalised), true},
    };
    for (const FileCase &c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        const QString path = folder.file(QStringLiteral("case.srp"));
        QFile::remove(path);
        if (c.bytes)
            putFile(QStringLiteral("case.srp"), *c.bytes);
        ReportFileReader reader(household, *catalogueDb);
        EXPECT_EQ(reader.read(path).has_value(), c.accepted) << reader.problem().toStdString();
        EXPECT_EQ(invalidFileMessages(), c.accepted ? 0 : 1);
    }
}

TEST_F(ReaderTest, ReadsLineEndsOfOtherEditorsAndOlderSingleByteFiles)
{
    QStringList lines = validReportLines();
    lines[1] = QStringLiteral("Caf\u00e9 \u20ac");
    lines[13] = perFieldItems(QString(), {{1, QStringLiteral("\u00c9t\u00e9")}});
    const QByteArray utf8 = reportFileBytesOf(lines);
    QByteArray windows1252 = utf8;
    windows1252.replace("Caf\xc3\xa9 \xe2\x82\xac", "Caf\xe9 \x80").replace("\xc3\x89t\xc3\xa9", "\xc9t\xe9");
    QByteArray lineFeeds = utf8;
    lineFeeds.replace("\r\n", "\n");

    for (const auto &[name, bytes] :
         {std::pair{"utf-8", utf8}, std::pair{"windows-1252", windows1252}, std::pair{"line feeds only", lineFeeds},
          std::pair{"byte order mark", QByteArray("\xef\xbb\xbf") + utf8}}) {
        SCOPED_TRACE(name);
        ReportFileReader reader(household, *catalogueDb);
        const auto report = reader.read(putFile(QStringLiteral("case.srp"), bytes));
        ASSERT_TRUE(report) << reader.problem().toStdString();
        EXPECT_EQ(report->spec.UseWith, QStringLiteral("items"));
        EXPECT_EQ(report->spec.Title, QStringLiteral("Caf\u00e9 \u20ac"));
        EXPECT_EQ(report->spec.SelStartsWith[1], QStringLiteral("\u00c9t\u00e9"));
    }
}

TEST_F(ReaderTest, ReadsDecimalsInTheLocalesNotationAndWithAPoint)
{
    const LocaleScope german("de_DE");
    for (const char *width : {"1,5", "1.5", " 1,5 "}) {
        SCOPED_TRACE(width);
        QStringList lines = validReportLines();
        lines[18] = perFieldItems(QStringLiteral("1"), {{1, QLatin1String(width)}});
        lines[14] = perFieldItems(QStringLiteral("0"), {{7, QString(QLatin1String(width)).trimmed() + u'0'}});
        ReportFileReader reader(household, *catalogueDb);
        const auto report = reader.read(putFile(QStringLiteral("case.srp"), reportFileBytesOf(lines)));
        ASSERT_TRUE(report) << reader.problem().toStdString();
        EXPECT_EQ(report->spec.FieldWidth[1], 1.5f);
        EXPECT_EQ(report->spec.SelStart[7].serial(), 1.5);
    }
    // In German "1.200,5" is a number as typed; "1,2,3" is none.
    QStringList lines = validReportLines();
    lines[16] = perFieldItems(QString(), {{8, QStringLiteral("1.200,5")}});
    ReportFileReader reader(household, *catalogueDb);
    EXPECT_TRUE(reader.read(putFile(QStringLiteral("case.srp"), reportFileBytesOf(lines))));
    lines[18] = perFieldItems(QStringLiteral("1"), {{1, QStringLiteral("1,2,3")}});
    EXPECT_FALSE(reader.read(putFile(QStringLiteral("case.srp"), reportFileBytesOf(lines))));
    EXPECT_EQ(invalidFileMessages(), 1);
}

TEST_F(ReaderTest, ACatalogueThatCannotBeReadIsReportedNotCalledInvalid)
{
    catalogueDb->execute(QStringLiteral("drop table rptspec"));
    ReportFileReader reader(household, *catalogueDb);
    EXPECT_FALSE(reader.read(putFile(QStringLiteral("case.srp"), reportFileBytesOf(validReportLines()))));
    const auto messages = prompts.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("no such table"))) << messages[0].text.toStdString();
    EXPECT_EQ(messages[0].title, ProgramTitle);
}

TEST_F(ReportTest, CatalogueReadsItsRowsInNumberOrderWithANullWidthAsOneInch)
{
    catalogueDb->execute(QStringLiteral("update rptspec set defwidth = null where specid = 8"));
    const ReportCatalogue catalogue = itemsCatalogue();
    ASSERT_EQ(catalogue.count(), 15);
    const CatalogueField &price = catalogue.field(8);
    EXPECT_EQ(std::tuple(price.specid, price.fieldname, price.desc, price.datatype, price.defwidth, price.isCurrency),
              std::tuple(8, QStringLiteral("purchprice"), QStringLiteral("Purchase Price"), 2, 1.0, true));
    const CatalogueField &category = catalogue.field(5);
    EXPECT_TRUE(category.isLookup());
    EXPECT_EQ(std::pair(category.mainLinkColumn(), category.lookupLinkColumn()),
              std::pair(QStringLiteral("catid"), QStringLiteral("catid")));
    EXPECT_FALSE(catalogue.contains(0));
    EXPECT_FALSE(catalogue.contains(16));
}

TEST_F(ReaderTest, VeryLongLinesAreReadWholeOrRefusedWithoutBuildingTheirItems)
{
    const QString longTitle = QString(100000, u'T');
    const QString megabyteTitle = QString(1024 * 1024, u'M');
    // A million items on a per-field line of fifteen fields: the count is
    // refused from the separators, before any item is made.
    QString megabyteOfFlags;
    for (int i = 0; i < 512 * 1024; ++i)
        megabyteOfFlags += QStringLiteral("0;");
    megabyteOfFlags.chop(1);
    const QString longCriterion = QString(100000, u'c');

    struct LongCase {
        const char *name;
        int line;
        QString text;
        std::function<void(const ReportSpec &)> check; // nullptr: refused
    };
    const LongCase cases[] = {
        {"title of 100,000 characters", 2, longTitle, [&](const ReportSpec &s) { EXPECT_EQ(s.Title, longTitle); }},
        {"title of a megabyte", 2, megabyteTitle, [&](const ReportSpec &s) { EXPECT_EQ(s.Title, megabyteTitle); }},
        {"criterion of 100,000 characters", 14, perFieldItems(QString(), {{1, longCriterion}}),
         [&](const ReportSpec &s) { EXPECT_EQ(s.SelStartsWith[1], longCriterion); }},
        {"a megabyte of flags", 12, megabyteOfFlags, nullptr},
        {"a megabyte of field numbers", 11, QString(megabyteOfFlags).replace(u'0', u'1'), nullptr},
    };
    for (const LongCase &c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        QStringList lines = validReportLines();
        lines[c.line - 1] = c.text;
        ReportFileReader reader(household, *catalogueDb);
        const auto report = reader.read(putFile(QStringLiteral("long.srp"), reportFileBytesOf(lines)));
        EXPECT_EQ(report.has_value(), c.check != nullptr) << reader.problem().left(200).toStdString();
        if (report && c.check)
            c.check(report->spec);
        if (!c.check) {
            // Line 11 is checked against the count on line 10.
            const int blamed = c.line == 11 ? 10 : c.line;
            EXPECT_TRUE(reader.problem().startsWith(QStringLiteral("line %1: ").arg(blamed)))
                << reader.problem().left(200).toStdString();
            EXPECT_TRUE(reader.problem().contains(QStringLiteral("524288")))
                << reader.problem().left(200).toStdString();
        }
        EXPECT_EQ(invalidFileMessages(), c.check ? 0 : 1);
    }
}
