#include "reports/PageLayoutText.h"
#include "QtPrinters.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList words(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

class CellText : public ::testing::Test {
protected:
    PageLayoutText measure;
};

// Whatever the script: every line fits its area, the count agrees with the
// lines, and no word is lost or changed.
TEST_F(CellText, LinesFitAndKeepEveryWord)
{
    const struct {
        QString text;
        double width;
    } cases[] = {
        {QStringLiteral("Sofa"), 2760},
        {QStringLiteral("Oak dining table with six matching chairs and two leaves, bought at the estate sale"), 1320},
        {QStringLiteral("Très belle armoire – Kommode für €1.250,00 «antik»"), 1500},
        {QStringLiteral("Старинный комод из дуба с тремя ящиками"), 1600},
        {QStringLiteral("Cafe\u0301 au lait set with cre\u0300me jug and saucers"), 1200},
        {QStringLiteral("שולחן אוכל עם שישה כיסאות תואמים"), 1200},
        {QStringLiteral("Lamp\t\tbrass    base   and shade"), 900},
    };
    for (const auto &c : cases) {
        const QStringList lines = measure.lines(c.text, c.width);
        EXPECT_EQ(measure.lineCount(c.text, c.width), lines.size()) << c.text.toStdString();
        for (const QString &line : lines)
            EXPECT_LE(measure.width(line), c.width) << line.toStdString();
        EXPECT_EQ(words(lines.join(QLatin1Char(' '))), words(c.text));
    }
}

TEST_F(CellText, BreaksAtBlanksAndBreaksOnlyTooWideWordsAnywhere)
{
    // Kerning makes "Television" narrower than its letters; it must not be cut.
    const double oneWord = measure.width(QStringLiteral("Television")) * 1.05;
    EXPECT_EQ(measure.lines(QStringLiteral("Television stand"), oneWord),
              (QStringList{QStringLiteral("Television"), QStringLiteral("stand")}));
    EXPECT_EQ(measure.lines(QStringLiteral("Self-Propelled mower"), measure.width(QStringLiteral("Propelled")) * 1.05),
              (QStringList{QStringLiteral("Self-"), QStringLiteral("Propelled"), QStringLiteral("mower")}));
    // A word without a digit wider than its column is broken; all of it is printed.
    const QString word = QStringLiteral("Grandfatherclockwithwestminsterchimes");
    const QStringList lines = measure.lines(word, 700);
    EXPECT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QString()), word);
    EXPECT_EQ(measure.scale(word, 700), 1.0);
    // So is a run of digits far longer than any figure: drawn small enough
    // to fit, it could not be read.
    const QString digits = QStringLiteral("0123456789").repeated(6);
    EXPECT_GT(measure.lines(digits, 700).size(), 1);
    EXPECT_EQ(measure.scale(digits, 700), 1.0);
}

// Amounts, numbers, dates, times, serial and model numbers stay whole: on
// one line, drawn smaller when the column is too narrow for them, while the
// words around them wrap as usual.
TEST_F(CellText, FiguresAreNeverBrokenButDrawnSmaller)
{
    const struct {
        QString text;
        double width;
        QStringList expected;
    } cases[] = {
        {QStringLiteral("$1,200.00"), 700, {QStringLiteral("$1,200.00")}},
        {QStringLiteral("SN4711-0815-ABCDEFGHJKLMNPQRSTUVWXYZ"),
         700,
         {QStringLiteral("SN4711-0815-ABCDEFGHJKLMNPQRSTUVWXYZ")}},
        {QStringLiteral("2015-11-01"), 400, {QStringLiteral("2015-11-01")}},
        {QStringLiteral("TEUTMRKZXMSRSVH"), 600, {QStringLiteral("TEUTMRKZXMSRSVH")}}, // a serial of letters
        {QStringLiteral("-$5.00"), 300, {QStringLiteral("-$5.00")}},
        {QStringLiteral("1. 11. 2015"), 500, {QStringLiteral("1. 11. 2015")}}, // a date with blanks
        {QStringLiteral("1 234 567,89 kr"), 700, {QStringLiteral("1 234 567,89"), QStringLiteral("kr")}},
        {QStringLiteral("Model BES878 by Barista"),
         700,
         {QStringLiteral("Model"), QStringLiteral("BES878"), QStringLiteral("by"), QStringLiteral("Barista")}},
        {QStringLiteral("9\u202F999\u202F999,99\u00A0€"), 600, {QStringLiteral("9\u202F999\u202F999,99\u00A0€")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        double scale = 0;
        const QStringList lines = measure.lines(c.text, c.width, &scale);
        EXPECT_EQ(lines, c.expected);
        EXPECT_EQ(measure.lineCount(c.text, c.width), lines.size());
        EXPECT_EQ(measure.scale(c.text, c.width), scale);
        EXPECT_LT(scale, 1.0);
        // Drawn at that size, every line fits the column.
        for (const QString &line : lines)
            EXPECT_LE(measure.width(line) * scale, c.width) << line.toStdString();
        // With room enough it is drawn at full size.
        EXPECT_EQ(measure.scale(c.text, measure.width(c.text) * 1.05), 1.0);
    }
}

TEST_F(CellText, KeepsLineBreaksButNotTrailingBlanks)
{
    EXPECT_EQ(measure.lines(QStringLiteral("first\r\nsecond\nthird\r\r\n  \n"), 5000),
              (QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")}));
    EXPECT_EQ(measure.lineCount(QStringLiteral("a\n\nb"), 5000), 3);
    for (const QString &empty : {QString(), QStringLiteral("  \t"), QStringLiteral("\r\n")})
        EXPECT_EQ(measure.lineCount(empty, 2000), 0);
    // Too narrow to wrap: one line, clipped when painted.
    for (const double narrow : {PageLayoutText::MinWrapWidth - 1, 0.0})
        EXPECT_EQ(measure.lines(QStringLiteral("Grandfather\nclock"), narrow),
                  QStringList{QStringLiteral("Grandfather clock")});
}

} // namespace
