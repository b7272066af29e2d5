#include "QtPrinters.h"
#include "reports/PageLayoutText.h"

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
    // A serial number has no blanks; all of it must still be printed.
    const QString serial = QStringLiteral("SN4711-0815-ABCDEFGHJKLMNPQRSTUVWXYZ");
    const QStringList lines = measure.lines(serial, 700);
    EXPECT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QString()), serial);
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
        EXPECT_EQ(measure.lines(QStringLiteral("Grandfather\nclock"), narrow), QStringList{QStringLiteral("Grandfather clock")});
}

} // namespace
