#include "LocaleGuard.h"

#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Locales with two, zero and three currency decimals, symbols before and
// after, parentheses or signs, no-break blanks and other digits.
const char *const currencyLocales[] = {"en_US", "en_GB", "de_DE", "fr_FR", "sv_SE",
                                       "de_CH", "pt_BR", "ja_JP", "ar_KW", "en_IN"};

// The amount the locale can show: rounded to its currency decimals.
Money shownAmount(Money amount, int decimals)
{
    const std::int64_t step = decimals == 0 ? 10000 : decimals == 3 ? 10 : 100;
    const std::int64_t units = amount.units();
    std::int64_t rounded = units / step * step;
    const std::int64_t rest = units % step;
    if (rest * 2 >= step)
        rounded += step;
    else if (rest * 2 <= -step)
        rounded -= step;
    return Money::fromUnits(rounded);
}

int currencyDecimals(const char *locale)
{
    return QByteArray(locale) == "ja_JP" ? 0 : QByteArray(locale) == "ar_KW" ? 3 : 2;
}

TEST(CurrencyFormat, readsBackAsTheShownAmountInEveryLocale)
{
    const std::int64_t amounts[] = {0,
                                    1,
                                    100,
                                    -100,
                                    50,
                                    -50,
                                    12000000,
                                    -12345600,
                                    1250,
                                    -1250,
                                    9999999999900,
                                    92233720368547758LL,
                                    -92233720368547758LL,
                                    922337203685477LL * 10000};
    for (const char *name : currencyLocales) {
        LocaleGuard locale(name);
        for (const std::int64_t units : amounts) {
            const Money amount = Money::fromUnits(units);
            const QString text = formatCurrency(amount);
            SCOPED_TRACE(std::string(name) + " " + amount.toDecimalText().toStdString() + " \"" + text.toStdString()
                         + "\"");
            EXPECT_EQ(toMoney(text), shownAmount(amount, currencyDecimals(name)));
        }
    }
}

TEST(CurrencyFormat, looksLikeTheLocalesOwnCurrencyText)
{
    // Amounts a double holds exactly, where Qt's own formatting is right.
    const double values[] = {0.0, 5.0, 1200.0, -1234.5, 0.25, -0.75, 1234567.0};
    for (const char *name : currencyLocales) {
        LocaleGuard locale(name);
        for (const double value : values)
            EXPECT_EQ(formatCurrency(*Money::fromDouble(value)), QLocale().toCurrencyString(value))
                << name << " " << value;
    }
}

TEST(CurrencyFormat, groupsWholeAmountsOfEveryLengthAsTheLocaleDoes)
{
    // Grouping in threes, in twos above the first three, only from five
    // digits on, and none at all when the locale is told to omit it.
    QLocale noGrouping(QLocale::English, QLocale::UnitedStates);
    noGrouping.setNumberOptions(QLocale::OmitGroupSeparator);
    const QLocale locales[] = {QLocale(QStringLiteral("en_US")), QLocale(QStringLiteral("en_IN")),
                               QLocale(QStringLiteral("es_ES")), QLocale(QStringLiteral("pl_PL")),
                               QLocale(QStringLiteral("ar_EG")), noGrouping};
    for (const QLocale &each : locales) {
        LocaleGuard guard("en_US");
        QLocale::setDefault(each);
        double power = 1;
        for (int digits = 1; digits <= 14; ++digits, power *= 10) {
            for (const double value : {power, power * 10 - 1, -(power * 10 - 1)}) {
                EXPECT_EQ(formatCurrency(*Money::fromDouble(value)), QLocale().toCurrencyString(value))
                    << each.name().toStdString() << " " << value;
            }
        }
    }
}

TEST(CurrencyFormat, writesTheAmountsOwnDigits)
{
    LocaleGuard locale("en_US");
    // The largest amount: as a double it would end in .62 or .63.
    EXPECT_EQ(formatCurrency(Money::fromUnits(std::numeric_limits<std::int64_t>::max())), u"$922,337,203,685,477.58");
    EXPECT_EQ(formatCurrency(Money::fromUnits(std::numeric_limits<std::int64_t>::min())), u"($922,337,203,685,477.58)");
    EXPECT_EQ(formatCurrency(Money::fromUnits(1250)), u"$0.13"); // halves away from zero
    EXPECT_EQ(formatCurrency(Money::fromUnits(-1250)), u"($0.13)");
    EXPECT_EQ(formatCurrency(Money::fromUnits(10050)), u"$1.01"); // 1.005: no binary-fraction loss
    EXPECT_EQ(formatCurrency(Money::fromUnits(-10)), u"$0.00");   // rounds to zero: no sign
}

} // namespace
