// Reading numbers and amounts as the locale writes them. The first byte
// picks the default locale; the rest is the typed text (UTF-8).
#include "FuzzSupport.h"

#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {

// en_US, de_DE, fr_FR, sv_SE and de_CH group with ",", ".", a narrow blank,
// a blank and a right quote; hi_IN groups by two above the thousands, ja_JP
// shows no currency decimals, ar_EG writes Arabic-Indic digits and nl_NL
// puts the sign after the currency symbol.
const char *const Locales[] = {"en_US", "de_DE", "fr_FR", "sv_SE", "de_CH",
                               "hi_IN", "ja_JP", "ar_EG", "nl_NL", "en_GB"};
constexpr int LocaleCount = int(sizeof Locales / sizeof *Locales);

// How many decimals the locale's currency format shows: the count for which
// an amount with four decimals reads back rounded to that many.
std::int64_t roundedUnits(std::int64_t units, int decimals, bool &inRange);

int currencyDecimals()
{
    const Money probe = Money::fromUnits(12345678); // 1234.5678
    const std::optional<Money> back = toMoney(formatCurrency(probe));
    for (int decimals = 0; back && decimals <= 4; ++decimals) {
        bool inRange = true;
        if (back->units() == roundedUnits(probe.units(), decimals, inRange))
            return decimals;
    }
    return -1;
}

// units rounded to the given decimals, halves away from zero.
std::int64_t roundedUnits(std::int64_t units, int decimals, bool &inRange)
{
    __int128 step = 1;
    for (int i = decimals; i < 4; ++i)
        step *= 10;
    const __int128 value = units;
    const __int128 magnitude = value < 0 ? -value : value;
    __int128 rounded = (magnitude + step / 2) / step * step;
    if (value < 0)
        rounded = -rounded;
    inRange =
        rounded >= std::numeric_limits<std::int64_t>::min() && rounded <= std::numeric_limits<std::int64_t>::max();
    return inRange ? std::int64_t(rounded) : 0;
}

int g_locale = -1;
int g_decimals = 2;

void useLocale(int index)
{
    if (index == g_locale)
        return;
    setDefaultLocale(Locales[index]);
    g_locale = index;
    g_decimals = currencyDecimals();
    FUZZ_REQUIRE(g_decimals >= 0, "%1: a formatted amount does not read back at all",
                 QString::fromLatin1(Locales[index]));
}

void checkMoneyFormat(Money amount, const QString &source)
{
    const QString shown = formatCurrency(amount);
    bool inRange = true;
    const std::int64_t expected = roundedUnits(amount.units(), g_decimals, inRange);
    const std::optional<Money> back = toMoney(shown);
    if (!inRange)
        return; // shown rounded past the largest amount; nothing can hold it
    FUZZ_REQUIRE(back.has_value(), "%1: \"%2\" (from \"%3\") does not read back",
                 QString::fromLatin1(Locales[g_locale]), shown, source);
    FUZZ_REQUIRE(back->units() == expected, "%1: \"%2\" reads back as %3 units, not %4",
                 QString::fromLatin1(Locales[g_locale]), shown, QString::number(back->units()),
                 QString::number(expected));
    FUZZ_REQUIRE(isNumber(shown), "%1: \"%2\" is no number", QString::fromLatin1(Locales[g_locale]), shown);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    installSilentPrompts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    useLocale(data[0] % LocaleCount);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const std::optional<double> number = toNumber(text);
    FUZZ_REQUIRE(isNumber(text) == number.has_value(), "isNumber and toNumber disagree on \"%1\"", text);
    const std::optional<Money> money = toMoney(text);
    if (number) {
        FUZZ_REQUIRE(std::isfinite(*number), "\"%1\" reads as a number that is none", text);
        // The locale writing the number reads back as it (to the decimals written).
        if (std::fabs(*number) < 1e15) {
            const QString written = QLocale().toString(*number, 'f', 2);
            const std::optional<double> back = toNumber(written);
            FUZZ_REQUIRE(back && std::fabs(*back - *number) <= 0.005 + 1e-9 * std::fabs(*number),
                         "\"%1\" written as \"%2\" does not read back", text, written);
        }
    }
    if (money) {
        // The same text read two ways gives the same amount.
        FUZZ_REQUIRE(number.has_value(), "\"%1\" is an amount but no number", text);
        FUZZ_REQUIRE(std::fabs(money->toDouble() - *number) <= 0.00005 + 1e-12 * std::fabs(*number),
                     "\"%1\": amount %2, number %3", text, money->toDecimalText(), QString::number(*number, 'g', 17));
        checkMoneyFormat(*money, text);
    } else if (number && std::fabs(*number) < 9e14) {
        FUZZ_REQUIRE(false, "\"%1\" is a number within the money range but no amount", text);
    }
    // Amounts from the raw bytes too, so every amount up to the limits is formatted.
    if (size >= 9) {
        std::int64_t units = 0;
        for (int i = 1; i < 9; ++i)
            units = std::int64_t((std::uint64_t(units) << 8) | data[i]);
        checkMoneyFormat(Money::fromUnits(units), QStringLiteral("raw"));
    }
    return 0;
}
