#include "LocaleGuard.h"

#include "dates/LocaleConversions.h"

#include <gtest/gtest.h>

namespace {

Money money(const char *decimalText)
{
    return *Money::fromDecimalText(QString::fromLatin1(decimalText));
}

struct AcceptedNumber {
    const char *locale;
    const char16_t *text;
    const char *amount; // plain decimal text of the expected amount
};

// What each locale writes, and what its users type, reads as the amount.
const AcceptedNumber acceptedNumbers[] = {
    {"en_US", u"1200", "1200"},
    {"en_US", u"1,200", "1200"},
    {"en_US", u"  1,200.50  ", "1200.5"},
    {"en_US", u"$1,200.50", "1200.5"},
    {"en_US", u"($1,200.50)", "-1200.5"}, // the locale's own negative currency
    {"en_US", u"-$5", "-5"},
    {"en_US", u"5-", "-5"}, // sign after the digits
    {"en_US", u"+5", "5"},
    {"en_US", u"\u22125", "-5"}, // the minus sign character
    {"en_US", u"USD 12", "12"},
    {"en_US", u".5", "0.5"},
    {"en_US", u"12,00", "1200"}, // grouping is not checked
    {"en_US", u"\u00a01200\u202f", "1200"},
    {"en_GB", u"\u00a31,200.00", "1200"},
    {"en_GB", u"(\u00a35.25)", "-5.25"},
    {"de_DE", u"1.200,50", "1200.5"},
    {"de_DE", u"1,5", "1.5"},
    {"de_DE", u"1200,5 \u20ac", "1200.5"},
    {"de_DE", u"-1.234,56\u00a0\u20ac", "-1234.56"},
    {"fr_FR", u"1\u202f234,56\u00a0\u20ac", "1234.56"},
    {"fr_FR", u"(1\u00a0234,56 \u20ac)", "-1234.56"},
    {"sv_SE", u"\u22121\u00a0234,50 kr", "-1234.5"},
    {"da_DK", u"12,50 kr", "12.5"},       // "kr." typed without its dot
    {"de_CH", u"1'234.50 CHF", "1234.5"}, // apostrophe for the locale's own quote mark
};

TEST(NumberText, readsWhatTheLocaleWritesAndUsersType)
{
    for (const AcceptedNumber &row : acceptedNumbers) {
        LocaleGuard locale(row.locale);
        const QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(std::string(row.locale) + " \"" + text.toStdString() + "\"");
        EXPECT_TRUE(isNumber(text));
        EXPECT_EQ(toMoney(text), money(row.amount));
        EXPECT_DOUBLE_EQ(toNumber(text).value_or(-999), money(row.amount).toDouble());
    }
}

struct RefusedNumber {
    const char *locale;
    const char16_t *text;
};

const RefusedNumber refusedNumbers[] = {
    {"en_US", u""},         {"en_US", u"   "},  {"en_US", u"\u00a0"},   {"en_US", u"abc"}, {"en_US", u"12abc"},
    {"en_US", u"1.2.3"},    // two decimal separators
    {"en_US", u"1.200,50"}, // German text in an English locale
    {"en_US", u"1 200"},    // a blank does not group here
    {"en_US", u"1,,200"},   {"en_US", u",200"}, {"en_US", u"1,200,"},   {"en_US", u"$"},   {"en_US", u"-"},
    {"en_US", u"."},        {"en_US", u"()"},   {"en_US", u"((5))"},    {"en_US", u"(5"},  {"en_US", u"5)"},
    {"en_US", u"(-5)"},     {"en_US", u"--5"},  {"en_US", u"-5-"},      {"en_US", u"$$5"}, {"en_US", u"5 $ 5"},
    {"en_US", u"\u20ac5"},                                              // another locale's currency
    {"en_US", u"1e3"},      {"en_US", u"0x10"}, {"de_DE", u"1,200.50"}, // decimal comma, then a dot in the decimals
    {"de_DE", u"1,2,3"},    {"de_DE", u"$5"},
};

TEST(NumberText, refusesWhatIsNoNumber)
{
    for (const RefusedNumber &row : refusedNumbers) {
        LocaleGuard locale(row.locale);
        const QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(std::string(row.locale) + " \"" + text.toStdString() + "\"");
        EXPECT_FALSE(isNumber(text));
        EXPECT_FALSE(toNumber(text).has_value());
        EXPECT_FALSE(toMoney(text).has_value());
    }
}

TEST(NumberText, longAndOddTextIsSimplyNoNumber)
{
    LocaleGuard locale("en_US");
    EXPECT_FALSE(isNumber(QString(100000, u'9')));      // far beyond any double
    EXPECT_FALSE(isNumber(QString(5000, u' ') + u'5')); // longer than any typed amount
    EXPECT_FALSE(isNumber(QString::fromUtf16(u"\U0001F600 5")));
    EXPECT_FALSE(isNumber(QString(QChar(0xd800)) + u'5')); // a lone surrogate
    EXPECT_FALSE(isNumber(QStringLiteral("1") + QChar(0) + u'5'));
    EXPECT_TRUE(isNumber(QString(300, u'9'))); // huge, but a double still holds it
}

TEST(NumberText, moneyIsReadExactlyToFourDecimals)
{
    LocaleGuard locale("en_US");
    // Read from the digits, so the binary-fraction traps of doubles never show.
    EXPECT_EQ(*toMoney(u"0.1") + *toMoney(u"0.2"), *toMoney(u"0.3"));
    EXPECT_EQ(toMoney(u"1,234,567,890.1234")->units(), 12345678901234LL);
    EXPECT_EQ(toMoney(u"2.00005")->units(), 20001); // half away from zero
    EXPECT_EQ(toMoney(u"-2.00005")->units(), -20001);
    EXPECT_EQ(toMoney(u"0.00004999")->units(), 0);
    EXPECT_EQ(toMoney(u"$922,337,203,685,477.5807")->units(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(toMoney(u"($922,337,203,685,477.5808)")->units(), std::numeric_limits<std::int64_t>::min());
    // Beyond the money range: still a number, but no amount.
    EXPECT_TRUE(isNumber(u"922,337,203,685,477.5808"));
    EXPECT_FALSE(toMoney(u"922,337,203,685,477.5808").has_value());
    EXPECT_FALSE(toMoney(u"99999999999999999999").has_value());
}

} // namespace
