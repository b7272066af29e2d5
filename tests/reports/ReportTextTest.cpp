#include "ReportFixture.h"

#include "reports/ReportFileText.h"
#include "reports/ReportNumbers.h"

TEST(ReportFileText, DecodesUtf8AndFallsBackToWindows1252ByteByByte)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"UTF-8, also beyond the basic plane", "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xa6",
         QStringLiteral("Caf\u00e9 \u20ac \U0001F4E6")},
        // 0x80 to 0x9F are the 1252 specials, not C1 controls; its five
        // undefined bytes stay the controls of the same number.
        {"1252", "Caf\xe9 \x80 \x93q\x94 \x81", QStringLiteral("Caf\u00e9 \u20ac \u201cq\u201d \u0081")},
        {"both in one text", "\xc3\xa9 and \xe9", QStringLiteral("\u00e9 and \u00e9")},
        // Forms UTF-8 forbids are not UTF-8, so each of their bytes is 1252.
        {"overlong slash", "\xc0\xaf", QStringLiteral("\u00c0\u00af")},
        {"encoded surrogate", "\xed\xa0\x80", QStringLiteral("\u00ed\u00a0\u20ac")},
        {"sequence cut short", "ab\xe2\x82", QStringLiteral("ab\u00e2\u201a")},
        {"lead byte before ASCII", "\xc3(", QStringLiteral("\u00c3(")},
        {"byte order mark dropped", "\xef\xbb\xbfitems", QStringLiteral("items")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeUtf8Or1252(c.bytes), c.text);
    }
}

TEST(ReportNumbers, ReadsDecimalsWithAPointOrCommaWhateverTheLocale)
{
    struct Case {
        const char *text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1.5", 1.5},         {"1,5", 1.5},          {" -2.25 ", -2.25},      {".5", 0.5},
        {"5.", 5.0},          {"-0", 0.0},           {"1.2.3", std::nullopt}, {"1,5.2", std::nullopt},
        {".", std::nullopt},  {"", std::nullopt},    {"1e3", std::nullopt},   {"1 000", std::nullopt},
        {"$5", std::nullopt}, {"inf", std::nullopt},
    };
    for (const char *locale : {"en_US", "de_DE"}) {
        const LocaleScope scope(locale);
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(locale) + " " + c.text);
            EXPECT_EQ(readFileDecimal(QString::fromLatin1(c.text)), c.value);
        }
    }
    EXPECT_EQ(readFileDecimal(QString(400, u'9')), std::nullopt); // beyond any double
}

TEST(ReportNumbers, WritesSinglesToSevenDigitsAndDoublesExactly)
{
    // Widths in twips as computed in single precision: 1.5f * 561.6f is
    // 842.39996f, written 842.4 as single precision is.
    const std::pair<float, const char *> singles[] = {
        {2.0f * 1440.0f, "2880"}, {2.0f * 561.6f, "1123.2"}, {1.5f * 561.6f, "842.4"}, {1.1f, "1.1"}, {-0.0f, "0"},
        {1e-7f, "0.0000001"},     {-2.5f, "-2.5"},
    };
    for (const auto &[value, text] : singles)
        EXPECT_EQ(singleText(value), QLatin1String(text)) << text;
    // Date serials read back exactly, a second and all, with no exponent.
    for (const double value : {43831.75, -36522.25, 1.0 / 86400.0}) {
        const QString text = doubleText(value);
        EXPECT_FALSE(text.contains(u'e')) << text.toStdString();
        EXPECT_EQ(readFileDecimal(text), value);
    }
}
