#include "data/Money.h"

#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>

static constexpr std::int64_t MaxUnits = std::numeric_limits<std::int64_t>::max();
static constexpr std::int64_t MinUnits = std::numeric_limits<std::int64_t>::min();

struct DecimalCase {
    const char *text;
    std::optional<std::int64_t> units;
};

TEST(Money, ReadsDecimalText)
{
    const DecimalCase cases[] = {
        {"12.5", 125000},
        {"+3", 30000},
        {".5", 5000},
        {" 7 ", 70000},     // surrounding blanks are not part of the number
        {"0.00005", 1},     // exactly half a unit rounds away from zero ...
        {"-0.00005", -1},   // ... on both sides
        {"0.000049999", 0}, // below half rounds down however many digits follow
        {"2.99999", 30000}, // rounding carries into the whole part
        {"922337203685477.5807", MaxUnits},
        {"-922337203685477.5808", MinUnits},
        {"922337203685477.5808", std::nullopt},  // one unit too many
        {"922337203685477.58075", std::nullopt}, // rounds up past the largest amount
        {"", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"1,5", std::nullopt}, // no grouping or locale separator
        {"1e5", std::nullopt},
        {"\xef\xbc\x91", std::nullopt}, // a full-width digit is not a decimal digit here
    };
    for (const DecimalCase &c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<Money> money = Money::fromDecimalText(QString::fromUtf8(c.text));
        ASSERT_EQ(money.has_value(), c.units.has_value());
        if (money) {
            EXPECT_EQ(money->units(), *c.units);
        }
    }
}

TEST(Money, ReadsDoublesAsTheirShortestDecimal)
{
    // 2.00005 is stored a little below its decimal value; it must still round
    // the way it reads.
    EXPECT_EQ(Money::fromDouble(2.00005)->units(), 20001);
    EXPECT_EQ(Money::fromDouble(-2.00005)->units(), -20001);
    EXPECT_EQ(Money::fromDouble(0.1 + 0.2)->units(), 3000);
    EXPECT_EQ(Money::fromDouble(1e-300)->units(), 0);
    EXPECT_EQ(Money::fromDouble(123456789.1234)->units(), 1234567891234);
    EXPECT_FALSE(Money::fromDouble(1e15).has_value());
    EXPECT_FALSE(Money::fromDouble(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(Money::fromDouble(std::numeric_limits<double>::infinity()).has_value());
}

TEST(Money, WritesShortestExactDecimalText)
{
    const std::pair<std::int64_t, const char *> cases[] = {
        {0, "0"},
        {1, "0.0001"},
        {125000, "12.5"},
        {30000, "3"},
        {10010, "1.001"},
        {MaxUnits, "922337203685477.5807"},
        {MinUnits, "-922337203685477.5808"},
    };
    for (const auto &[units, text] : cases) {
        SCOPED_TRACE(text);
        const Money money = Money::fromUnits(units);
        EXPECT_EQ(money.toDecimalText(), QString::fromLatin1(text));
        EXPECT_EQ(Money::fromDecimalText(money.toDecimalText()), money);
    }
}

TEST(Money, ArithmeticIsExactAndRefusesOverflow)
{
    const Money price = *Money::fromDecimalText(u"12.3456");
    EXPECT_EQ((price * 3).toDecimalText(), QStringLiteral("37.0368"));
    EXPECT_EQ((price - price * 2).toDecimalText(), QStringLiteral("-12.3456"));
    Money total;
    for (int i = 0; i < 10; ++i)
        total += *Money::fromDecimalText(u"0.1");
    EXPECT_EQ(total, *Money::fromDecimalText(u"1"));

    const Money largest = Money::fromUnits(MaxUnits);
    const Money smallest = Money::fromUnits(MinUnits);
    EXPECT_THROW(largest + Money::fromUnits(1), std::overflow_error);
    EXPECT_THROW(smallest - Money::fromUnits(1), std::overflow_error);
    EXPECT_THROW(-smallest, std::overflow_error);
    EXPECT_THROW(largest * 2, std::overflow_error);
    EXPECT_EQ(-largest, Money::fromUnits(MinUnits + 1));
}
