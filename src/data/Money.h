#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>

// Currency amount: a signed 64-bit count of ten-thousandths (four decimals).
// All money arithmetic (totals, value x quantity) is done in this type, never
// in floating point. Arithmetic that would overflow throws std::overflow_error.
class Money {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t tenThousandths)
    {
        Money m;
        m.m_units = tenThousandths;
        return m;
    }
    // Rounds to the nearest ten-thousandth, halves away from zero. Values
    // outside the representable range (and NaN) give std::nullopt.
    static std::optional<Money> fromDouble(double value);
    // Locale-independent decimal text: optional sign, digits, optional "."
    // and up to any number of decimals (rounded half away from zero to four).
    // No grouping, no currency symbol. Used for storage and report files.
    static std::optional<Money> fromDecimalText(QStringView text);

    constexpr std::int64_t units() const { return m_units; }
    double toDouble() const { return double(m_units) / double(Scale); }
    // "-12.5", "3", "0.0001": shortest exact decimal text, "." as separator.
    QString toDecimalText() const;

    Money operator-() const;
    Money operator+(Money other) const;
    Money operator-(Money other) const;
    Money operator*(std::int64_t factor) const;
    Money &operator+=(Money other) { return *this = *this + other; }
    Money &operator-=(Money other) { return *this = *this - other; }

    friend constexpr bool operator==(Money, Money) = default;
    friend constexpr auto operator<=>(Money, Money) = default;

private:
    std::int64_t m_units = 0;
};

Q_DECLARE_METATYPE(Money)
