#include "data/Money.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

// The decimal digits of a number are taken as written: a double is first turned
// into its shortest exact decimal text, so 2.00005 rounds to 2.0001 the way the
// user typed it, not the way the binary fraction happens to fall.
std::optional<Money> Money::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Nearly every stored amount is a double a hair away from four decimals.
    // Below 1e8 a double is finer than 1.5e-8, so when value x 10000 lies
    // within 1e-6 of a whole number, its shortest decimal text (below) rounds
    // to that same number: the answer is had without printing it.
    if (std::fabs(value) < 1e8) {
        const double scaled = value * double(Scale);
        const double whole = std::round(scaled);
        if (std::fabs(scaled - whole) < 1e-6)
            return fromUnits(std::int64_t(whole));
    }
    // Far outside the range: no need to print hundreds of digits.
    if (std::fabs(value) > 1e16)
        return std::nullopt;
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return std::nullopt;
    return fromDecimalText(QString::fromLatin1(buffer, int(result.ptr - buffer)));
}

static bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

std::optional<Money> Money::fromDecimalText(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // The magnitude is built as a positive count; the limit is that of the
    // sign in use, so the most negative amount can still be read.
    const std::uint64_t limit = negative ? std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1
                                         : std::uint64_t(std::numeric_limits<std::int64_t>::max());
    std::uint64_t units = 0;
    int digits = 0;
    auto addDigit = [&](unsigned d) {
        if (units > (limit - d) / 10)
            return false;
        units = units * 10 + d;
        return true;
    };
    for (; i < text.size() && isAsciiDigit(text[i]); ++i, ++digits) {
        if (!addDigit(unsigned(text[i].unicode() - u'0')))
            return std::nullopt;
    }
    int decimals = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        for (; i < text.size() && isAsciiDigit(text[i]); ++i, ++digits) {
            const unsigned d = unsigned(text[i].unicode() - u'0');
            if (decimals < 4) {
                if (!addDigit(d))
                    return std::nullopt;
                ++decimals;
            } else if (decimals == 4) {
                // Only the first dropped digit decides: half rounds away from zero.
                roundUp = d >= 5;
                ++decimals;
            }
        }
    }
    if (digits == 0 || i != text.size())
        return std::nullopt;
    for (; decimals < 4; ++decimals) {
        if (!addDigit(0))
            return std::nullopt;
    }
    if (roundUp) {
        if (units == limit)
            return std::nullopt;
        ++units;
    }
    Money m;
    m.m_units = negative ? std::int64_t(0 - units) : std::int64_t(units);
    return m;
}

QString Money::toDecimalText() const
{
    const bool negative = m_units < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(m_units) : std::uint64_t(m_units);
    QString text = QString::number(magnitude / Scale);
    std::uint64_t fraction = magnitude % Scale;
    if (fraction != 0) {
        QString decimals = QString::number(fraction).rightJustified(4, u'0');
        while (decimals.endsWith(u'0'))
            decimals.chop(1);
        text += u'.' + decimals;
    }
    if (negative)
        text.prepend(u'-');
    return text;
}

Money Money::operator-() const
{
    if (m_units == std::numeric_limits<std::int64_t>::min())
        throw std::overflow_error("money amount out of range");
    return fromUnits(-m_units);
}

Money Money::operator+(Money other) const
{
    std::int64_t sum;
    if (__builtin_add_overflow(m_units, other.m_units, &sum))
        throw std::overflow_error("money amount out of range");
    return fromUnits(sum);
}

Money Money::operator-(Money other) const
{
    std::int64_t difference;
    if (__builtin_sub_overflow(m_units, other.m_units, &difference))
        throw std::overflow_error("money amount out of range");
    return fromUnits(difference);
}

Money Money::operator*(std::int64_t factor) const
{
    std::int64_t product;
    if (__builtin_mul_overflow(m_units, factor, &product))
        throw std::overflow_error("money amount out of range");
    return fromUnits(product);
}
