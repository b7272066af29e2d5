#include "dates/LocaleConversions.h"

#include "dates/LocaleText.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

// Longer than any amount anyone types; past it the text is refused unread.
constexpr qsizetype MaxNumberText = 1000;

// What the default locale writes around and inside a number.
struct NumberSymbols {
    NumberSymbols()
    {
        const QLocale locale;
        decimal = locale.decimalPoint();
        negativeSigns = {QStringLiteral("-"), QStringLiteral("\u2212")};
        addTrimmed(negativeSigns, locale.negativeSign());
        positiveSigns = {QStringLiteral("+")};
        addTrimmed(positiveSigns, locale.positiveSign());
        const QString symbol = withoutFormatChars(locale.currencySymbol()).trimmed();
        addTrimmed(currencies, symbol);
        // "kr." is also typed without its dot.
        QString bare = symbol;
        while (bare.endsWith(u'.'))
            bare.chop(1);
        addTrimmed(currencies, bare);
        addTrimmed(currencies, locale.currencySymbol(QLocale::CurrencyIsoCode));
        // Longest first, so "R$" wins over a "$" that might follow.
        std::sort(currencies.begin(), currencies.end(),
                  [](const QString &a, const QString &b) { return a.size() > b.size(); });

        const QString group = locale.groupSeparator();
        groups = {group};
        // Where the locale groups with a blank, any blank a keyboard or
        // another program produces is the same separator.
        if (group.size() == 1 && isBlank(group[0]))
            groups << QStringLiteral(" ") << QStringLiteral("\u00a0") << QStringLiteral("\u202f")
                   << QStringLiteral("\u2009");
        if (group == QStringLiteral("\u2019") || group == QStringLiteral("'"))
            groups << QStringLiteral("'") << QStringLiteral("\u2019");
    }

    static void addTrimmed(QStringList &list, const QString &text)
    {
        const QString cleaned = withoutFormatChars(text).trimmed();
        if (!cleaned.isEmpty() && !list.contains(cleaned))
            list << cleaned;
    }

    // Length of the first entry of list that starts at position i, 0 if none.
    static qsizetype matchAt(const QString &text, qsizetype i, const QStringList &list)
    {
        for (const QString &entry : list) {
            if (QStringView(text).mid(i).startsWith(entry, Qt::CaseInsensitive))
                return entry.size();
        }
        return 0;
    }

    QString decimal;
    QStringList negativeSigns;
    QStringList positiveSigns;
    QStringList currencies;
    QStringList groups;
};

// A number read from the locale's text, as plain ASCII decimal parts.
struct NumberParts {
    bool negative = false;
    QString whole;    // digits before the decimal separator, maybe empty
    QString decimals; // digits after it, maybe empty

    QString decimalText() const
    {
        QString text = negative ? QStringLiteral("-") : QString();
        text += whole.isEmpty() ? QStringLiteral("0") : whole;
        if (!decimals.isEmpty())
            text += u'.' + decimals;
        return text;
    }
};

// Sign, currency symbol and parentheses may stand before or after the digits,
// each at most once, with blanks anywhere between them.
std::optional<NumberParts> readNumber(QStringView input)
{
    if (input.size() > MaxNumberText)
        return std::nullopt;
    const QString text = withLocaleDigitsAsAscii(input);
    const NumberSymbols symbols;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int sign = 0;
    bool currency = false;

    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    auto takeAffix = [&] {
        skipBlanks();
        if (sign == 0) {
            if (const qsizetype length = NumberSymbols::matchAt(text, i, symbols.negativeSigns)) {
                sign = -1;
                i += length;
                return true;
            }
            if (const qsizetype length = NumberSymbols::matchAt(text, i, symbols.positiveSigns)) {
                sign = 1;
                i += length;
                return true;
            }
        }
        if (!currency) {
            if (const qsizetype length = NumberSymbols::matchAt(text, i, symbols.currencies)) {
                currency = true;
                i += length;
                return true;
            }
        }
        return false;
    };

    skipBlanks();
    const bool parentheses = i < n && text[i] == u'(';
    if (parentheses)
        ++i;
    while (takeAffix()) {
    }

    NumberParts parts;
    bool inFraction = false;
    while (i < n) {
        const int digit = digitValueOf(text[i]);
        if (digit >= 0) {
            (inFraction ? parts.decimals : parts.whole) += QChar(u'0' + digit);
            ++i;
        } else if (!inFraction && QStringView(text).mid(i).startsWith(symbols.decimal)) {
            inFraction = true;
            i += symbols.decimal.size();
        } else if (const qsizetype length =
                       inFraction || parts.whole.isEmpty() ? 0 : NumberSymbols::matchAt(text, i, symbols.groups);
                   length > 0 && i + length < n && digitValueOf(text[i + length]) >= 0) {
            // Grouping only between two digits of the whole part; where the
            // groups fall is not checked ("1,200" and "12,00" both count).
            i += length;
        } else {
            break;
        }
    }
    if (parts.whole.isEmpty() && parts.decimals.isEmpty())
        return std::nullopt;

    while (takeAffix()) {
    }
    skipBlanks();
    if (parentheses) {
        if (sign != 0 || i >= n || text[i] != u')')
            return std::nullopt;
        ++i;
        skipBlanks();
    }
    if (i != n)
        return std::nullopt;
    parts.negative = parentheses || sign < 0;
    return parts;
}

} // namespace

std::optional<double> toNumber(QStringView text)
{
    const std::optional<NumberParts> parts = readNumber(text);
    if (!parts)
        return std::nullopt;
    bool ok = false;
    const double value = parts->decimalText().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value == 0.0 ? 0.0 : value;
}

bool isNumber(QStringView text)
{
    return toNumber(text).has_value();
}

std::optional<Money> toMoney(QStringView text)
{
    const std::optional<NumberParts> parts = readNumber(text);
    if (!parts)
        return std::nullopt;
    return Money::fromDecimalText(parts->decimalText());
}
