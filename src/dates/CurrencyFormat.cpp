#include "dates/LocaleFormats.h"

#include <QLocale>
#include <cstdint>

// The amount is written from its own decimal digits, never through a double:
// a double holds only 15-16 significant digits, so large amounts (and halves
// such as 0.125) would be shown as a neighbouring amount, and the item editor
// stores what it reads back from the box. QLocale still supplies the
// grouping, the decimal separator, the digits and where the symbol and the
// sign go, so the text is the one toCurrencyString writes.
namespace {

// The locale's digit characters for 0..9.
struct LocaleDigits {
    explicit LocaleDigits(const QLocale &locale)
    {
        for (int d = 0; d < 10; ++d)
            digit[d] = locale.toString(d);
    }
    QString digit[10];
};

// How many decimals the locale shows for its currency.
int currencyDecimals(const QLocale &locale, const LocaleDigits &digits)
{
    const QString one = locale.toCurrencyString(1.0);
    const qsizetype at = one.indexOf(digits.digit[1]);
    if (at < 0)
        return 2;
    qsizetype i = at + digits.digit[1].size();
    const QString point = locale.decimalPoint();
    if (!QStringView(one).mid(i).startsWith(point))
        return 0;
    i += point.size();
    int decimals = 0;
    while (QStringView(one).mid(i).startsWith(digits.digit[0])) {
        ++decimals;
        i += digits.digit[0].size();
    }
    return decimals;
}

std::uint64_t powerOfTen(int exponent)
{
    std::uint64_t value = 1;
    while (exponent-- > 0)
        value *= 10;
    return value;
}

} // namespace

QString formatCurrency(Money amount)
{
    const QLocale locale;
    const LocaleDigits digits(locale);
    const int decimals = qBound(0, currencyDecimals(locale, digits), 4);

    // Round the magnitude to the shown decimals, halves away from zero.
    const bool negativeUnits = amount.units() < 0;
    const std::uint64_t magnitude = negativeUnits ? 0 - std::uint64_t(amount.units()) : std::uint64_t(amount.units());
    const std::uint64_t step = powerOfTen(4 - decimals);
    const std::uint64_t rounded = magnitude / step + ((magnitude % step) * 2 >= step ? 1 : 0);
    const std::uint64_t scale = powerOfTen(decimals);
    const std::uint64_t whole = rounded / scale;
    const std::uint64_t fraction = rounded % scale;
    // An amount that rounds to zero is shown without a sign.
    const bool negative = negativeUnits && rounded != 0;

    QString number = locale.toString(qulonglong(whole));
    if (decimals > 0) {
        number += locale.decimalPoint();
        const QString fractionText = QString::number(fraction).rightJustified(decimals, u'0');
        for (const QChar c : fractionText)
            number += digits.digit[c.unicode() - u'0'];
    }

    // The locale's frame for one unit: symbol, sign or parentheses around "1".
    QString frame = locale.toCurrencyString(negative ? -1.0 : 1.0, QString(), 0);
    const qsizetype at = frame.indexOf(digits.digit[1]);
    if (at < 0)
        return (negative ? locale.negativeSign() : QString()) + number;
    frame.replace(at, digits.digit[1].size(), number);
    return frame;
}
