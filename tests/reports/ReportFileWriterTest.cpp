#include "FileSizeLimit.h"
#include "ReportFixture.h"

#include "reports/ReportFileWriter.h"

#include <QDir>
#include <QFile>
#include <cstring>

using WriterTest = ReportTest;

static QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A small design over three field places, every kind of line filled.
static ReportSpec smallDesign()
{
    ReportSpec spec;
    spec.UseWith = QStringLiteral("items");
    spec.Title = QStringLiteral("Caf\u00e9 list");
    spec.ReportTo = ReportToHtmlFile;
    spec.Orientation = 1;
    spec.ShowDate = true;
    spec.PageNumbers = PageNumberAtBottom;
    spec.WidthUnit = WidthInCentimetres;
    spec.Sort1 = 0;
    spec.Sort2 = NoSort;
    spec.FieldIds = {3, 1};
    spec.resizeFields(3);
    spec.SelTrue[2] = true;
    spec.SelFalse[3] = true;
    spec.SelStartsWith[1] = QStringLiteral("Ch");
    spec.SelStart[2] = DateValue(43831);
    spec.SelEnd[2] = DateValue(43831.75);
    spec.SelLess[3] = QStringLiteral("1,000");
    spec.SelGreater[3] = QStringLiteral("9.5");
    spec.FieldWidth[1] = 2.5f;
    spec.FieldWidth[2] = 1.1f;
    spec.FieldWidth[3] = 0;
    spec.FieldHide[1] = true;
    spec.FieldTotal[3] = true;
    spec.FieldIsCurrency[3] = true;
    return spec;
}

TEST_F(WriterTest, WritesTheTwentyTwoLinesByteForByte)
{
    // Why these bytes: sort positions carry a blank where a sign would be
    // (" 0", but "-1"); widths are the shortest single-precision text (1.1f
    // is "1.1", not 1.10000002); the date serial keeps its fraction; texts
    // stand as they are, in UTF-8; every line ends in CR LF.
    const QByteArray expected = "items\r\nCaf\xc3\xa9 list\r\n3\r\n1\r\n1\r\n1\r\n1\r\n 0\r\n-1\r\n2\r\n3;1\r\n"
                                "0;1;0\r\n0;0;1\r\nCh;;\r\n0;43831;0\r\n0;43831.75;0\r\n;;1,000\r\n;;9.5\r\n"
                                "2.5;1.1;0\r\n1;0;0\r\n0;0;1\r\n0;0;1\r\n";
    const QString path = folder.file(QStringLiteral("small.rpt"));
    QString problem;
    ASSERT_TRUE(saveReportFile(path, smallDesign(), &problem)) << problem.toStdString();
    EXPECT_EQ(fileBytes(path), expected);
    // The same design again gives the same bytes.
    ASSERT_TRUE(saveReportFile(path, smallDesign()));
    EXPECT_EQ(fileBytes(path), expected);
}

TEST_F(WriterTest, WhatIsWrittenReadsBackAsTheSameDesign)
{
    ReportSpec spec = validSpec();
    // Every line away from its default, so a line read into the wrong
    // place shows.
    spec.Title = QStringLiteral("R\u00e9sum\u00e9 of \"things\" <b>");
    spec.ReportTo = ReportToHtmlFile;
    spec.Orientation = 1;
    spec.ShowDate = false;
    spec.PageNumbers = NoPageNumbers;
    spec.WidthUnit = WidthInCentimetres;
    spec.SelFalse[13] = true;
    spec.SelGreater[9] = QStringLiteral("5");
    spec.FieldTotal[8] = true;
    spec.Sort1 = 5;
    spec.Sort2 = 1;
    spec.FieldIds = {5, 1, 7, 8, 12};
    spec.SelStartsWith[1] = QStringLiteral("O'Brien");
    spec.SelStart[7] = DateValue::fromDate(QDate(1850, 6, 30));
    spec.SelEnd[7] = DateValue::fromDateTime(QDate(2024, 2, 29), QTime(13, 45, 10));
    spec.SelLess[8] = QStringLiteral("$2,000.00");
    spec.SelTrue[12] = true;
    spec.FieldWidth[5] = 1.15f;
    spec.FieldWidth[7] = 0.3f;
    spec.FieldHide[12] = true;

    for (const char *locale : {"en_US", "de_DE", "fr_FR"}) {
        SCOPED_TRACE(locale);
        const LocaleScope scope(locale);
        if (QLatin1String(locale) != QLatin1String("en_US"))
            spec.SelLess[8] = QStringLiteral("2000,5");
        const QString path = folder.file(QStringLiteral("round.rpt"));
        ASSERT_TRUE(saveReportFile(path, spec));
        const QByteArray first = fileBytes(path);
        // Decimals are written as the locale writes them.
        EXPECT_TRUE(first.contains(QLatin1String(locale) == QLatin1String("en_US") ? ";1.15;" : ";1,15;"));
        ReportFileReader reader(household, *catalogueDb);
        const auto report = reader.read(path);
        ASSERT_TRUE(report) << reader.problem().toStdString();
        EXPECT_TRUE(report->spec == spec);
        EXPECT_EQ(report->spec.SelEnd[7].serial(), spec.SelEnd[7].serial());
        ASSERT_TRUE(saveReportFile(path, report->spec));
        EXPECT_EQ(fileBytes(path), first);
    }
}

TEST_F(WriterTest, RefusesWhatTheFormatCannotHoldAndKeepsTheOldFile)
{
    const QString path = putFile(QStringLiteral("kept.rpt"), "the user's earlier design");
    struct Case {
        const char *name;
        std::function<void(ReportSpec &)> spoil;
    };
    const Case cases[] = {
        {"semicolon in a starts-with text", [](ReportSpec &s) { s.SelStartsWith[1] = QStringLiteral("A;B"); }},
        {"line break in a number criterion", [](ReportSpec &s) { s.SelLess[3] = QStringLiteral("1\n2"); }},
        {"line break in the title", [](ReportSpec &s) { s.Title = QStringLiteral("Two\r\nlines"); }},
        {"lone carriage return in the title", [](ReportSpec &s) { s.Title = QStringLiteral("Two\rlines"); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReportSpec spec = smallDesign();
        c.spoil(spec);
        QString problem;
        EXPECT_FALSE(saveReportFile(path, spec, &problem));
        EXPECT_FALSE(problem.isEmpty());
        EXPECT_EQ(fileBytes(path), QByteArray("the user's earlier design"));
    }
    // A folder that cannot take the file: reported, nothing left behind.
    const QString blocked = putFile(QStringLiteral("not-a-folder"), "x") + QStringLiteral("/r.rpt");
    QString problem;
    EXPECT_FALSE(saveReportFile(blocked, smallDesign(), &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("could not be written"))) << problem.toStdString();

    // A disk that fills up as the design is written: the earlier one stays.
    const QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    bool saved = true;
    {
        const FileSizeLimit full(16);
        saved = saveReportFile(path, smallDesign(), &problem);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(problem,
              QStringLiteral("The report file %1 could not be written: %2")
                  .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
    EXPECT_EQ(fileBytes(path), QByteArray("the user's earlier design"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), files);
}
