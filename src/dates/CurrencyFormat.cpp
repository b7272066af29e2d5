#include "dates/LocaleFormats.h"

#include <QLocale>
#include <QVarLengthArray>
#include <cstdint>

// The amount is written from its own decimal digits, never through a double:
// a double holds only 15-16 significant digits, so large amounts (and halves
// such as 0.125) would be shown as a neighbouring amount, and the item editor
// stores what it reads back from the box. QLocale still supplies the
// grouping, the decimal separator, the digits and where the symbol and the
// sign go, so the text is the one toCurrencyString writes.
//
// A report writes one currency text per row, a hundred thousand of them in a
// big household, and asking QLocale for its frame every time cost more than
// everything else in the row. So the locale's pieces are read once and kept
// until the default locale changes; the grouping rule is taken over only
// after it has been checked against the locale's own text for numbers of
// every length, and any locale whose grouping fits no simple rule keeps
// asking QLocale for it.
namespace {

// The text is put together here and becomes a QString once, at the end.
using TextBuffer = QVarLengthArray<char16_t, 96>;

void add(TextBuffer &text, QStringView piece)
{
    text.append(piece.utf16(), piece.size());
}

std::uint64_t powerOfTen(int exponent)
{
    std::uint64_t value = 1;
    while (exponent-- > 0)
        value *= 10;
    return value;
}

// Where group separators go in a whole number: the first group holds
// `first` digits from the right, the others `higher`; numbers with fewer
// than first + least digits are not grouped. first == 0: never grouped.
struct GroupingRule {
    int first = 0;
    int higher = 0;
    int least = 0;

    bool separatorBefore(int position, int digits) const
    {
        // position: how many digits stand to the right of the gap.
        if (first == 0 || digits < first + least || position < first)
            return false;
        return (position - first) % higher == 0;
    }
};

class CurrencyPieces {
public:
    explicit CurrencyPieces(const QLocale &locale) : m_locale(locale)
    {
        for (int d = 0; d < 10; ++d) {
            m_digit[d] = locale.toString(d);
            m_singleUnitDigits = m_singleUnitDigits && m_digit[d].size() == 1;
        }
        m_decimalPoint = locale.decimalPoint();
        m_groupSeparator = locale.groupSeparator();
        m_negativeSign = locale.negativeSign();
        m_decimals = qBound(0, readDecimals(), 4);
        m_grouping = findGrouping();
        readFrame(1.0, m_positive);
        readFrame(-1.0, m_negative);
    }

    bool isFor(const QLocale &locale) const { return m_locale == locale; }

    QString format(Money amount) const
    {
        // Round the magnitude to the shown decimals, halves away from zero.
        const bool negativeUnits = amount.units() < 0;
        const std::uint64_t magnitude =
            negativeUnits ? 0 - std::uint64_t(amount.units()) : std::uint64_t(amount.units());
        const std::uint64_t step = powerOfTen(4 - m_decimals);
        const std::uint64_t rounded = magnitude / step + ((magnitude % step) * 2 >= step ? 1 : 0);
        const std::uint64_t scale = powerOfTen(m_decimals);
        const std::uint64_t whole = rounded / scale;
        const std::uint64_t fraction = rounded % scale;
        // An amount that rounds to zero is shown without a sign.
        const bool negative = negativeUnits && rounded != 0;
        const Frame &frame = negative ? m_negative : m_positive;

        TextBuffer text;
        if (frame.hasDigit)
            add(text, frame.prefix);
        else if (negative)
            add(text, m_negativeSign); // a frame without the amount: the bare sign
        appendWhole(text, whole);
        if (m_decimals > 0) {
            add(text, m_decimalPoint);
            std::uint64_t divisor = scale / 10;
            for (int i = 0; i < m_decimals; ++i, divisor /= 10)
                add(text, m_digit[(fraction / divisor) % 10]);
        }
        if (frame.hasDigit)
            add(text, frame.suffix);
        return QString(reinterpret_cast<const QChar *>(text.constData()), text.size());
    }

private:
    struct Frame {
        bool hasDigit = false;
        QString prefix;
        QString suffix;
    };

    // How many decimals the locale shows for its currency.
    int readDecimals() const
    {
        const QString one = m_locale.toCurrencyString(1.0);
        const qsizetype at = one.indexOf(m_digit[1]);
        if (at < 0)
            return 2;
        qsizetype i = at + m_digit[1].size();
        if (!QStringView(one).mid(i).startsWith(m_decimalPoint))
            return 0;
        i += m_decimalPoint.size();
        int decimals = 0;
        while (QStringView(one).mid(i).startsWith(m_digit[0])) {
            ++decimals;
            i += m_digit[0].size();
        }
        return decimals;
    }

    // The locale's frame for one unit: symbol, sign or parentheses around "1".
    void readFrame(double one, Frame &frame) const
    {
        const QString text = m_locale.toCurrencyString(one, QString(), 0);
        const qsizetype at = text.indexOf(m_digit[1]);
        if (at < 0)
            return;
        frame.hasDigit = true;
        frame.prefix = text.left(at);
        frame.suffix = text.mid(at + m_digit[1].size());
    }

    void appendGrouped(TextBuffer &text, std::uint64_t whole, const GroupingRule &rule) const
    {
        char reversed[20];
        int digits = 0;
        do {
            reversed[digits++] = char(whole % 10);
            whole /= 10;
        } while (whole != 0);
        for (int position = digits - 1; position >= 0; --position) {
            // Nearly every locale's digits are single characters: appended
            // one by one without the general append's call.
            if (m_singleUnitDigits)
                text.append(m_digit[int(reversed[position])].front().unicode());
            else
                add(text, m_digit[int(reversed[position])]);
            if (position > 0 && rule.separatorBefore(position, digits))
                add(text, m_groupSeparator);
        }
    }

    void appendWhole(TextBuffer &text, std::uint64_t whole) const
    {
        if (m_grouping)
            appendGrouped(text, whole, *m_grouping);
        else
            add(text, m_locale.toString(qulonglong(whole)));
    }

    // The simple rule that writes whole numbers of every length as the
    // locale does, or std::nullopt when none does (the locale is then asked).
    std::optional<GroupingRule> findGrouping() const
    {
        QList<std::uint64_t> probes;
        std::uint64_t power = 1;
        for (int digits = 1; digits <= 20; ++digits) {
            probes << power << (digits < 20 ? power * 10 - 1 : UINT64_MAX);
            if (digits < 20)
                power *= 10;
        }
        probes << 1234567890123456789ULL << 98765;
        QStringList expected;
        for (const std::uint64_t probe : std::as_const(probes))
            expected << m_locale.toString(qulonglong(probe));

        QList<GroupingRule> rules{GroupingRule{}};
        for (int first = 1; first <= 4; ++first) {
            for (int higher = 1; higher <= 4; ++higher) {
                for (int least = 1; least <= 3; ++least)
                    rules << GroupingRule{first, higher, least};
            }
        }
        for (const GroupingRule &rule : std::as_const(rules)) {
            bool fits = true;
            for (qsizetype i = 0; fits && i < probes.size(); ++i) {
                TextBuffer text;
                appendGrouped(text, probes[i], rule);
                fits = QStringView(text.constData(), text.size()) == expected[i];
            }
            if (fits)
                return rule;
        }
        return std::nullopt;
    }

    QLocale m_locale;
    QString m_digit[10];
    bool m_singleUnitDigits = true;
    QString m_decimalPoint;
    QString m_groupSeparator;
    QString m_negativeSign;
    int m_decimals = 2;
    std::optional<GroupingRule> m_grouping;
    Frame m_positive;
    Frame m_negative;
};

} // namespace

QString formatCurrency(Money amount)
{
    // One set of pieces per thread, so no lock is needed; it is read again
    // whenever the default locale differs from the one it was read from.
    thread_local std::optional<CurrencyPieces> pieces;
    const QLocale locale;
    if (!pieces || !pieces->isFor(locale))
        pieces.emplace(locale);
    return pieces->format(amount);
}
