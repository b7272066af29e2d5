#include "reports/ReportCells.h"

#include <QVariant>
#include <gtest/gtest.h>
#include <iomanip>

// A double cell is read as an exact amount by a quick path where it can be
// and by its decimal text elsewhere; both must give the same amount.
TEST(ExactNumber, DoublesGiveTheAmountOfTheirDecimalText)
{
    QList<double> values = {0.0,           -0.0,        0.1 + 0.2,         1.005,       0.00005,         0.00015,
                            -0.00005,      12.34567,    19.99 * 3,         1234567.891, 8589934591.9999, 8589934592.5,
                            -8589934593.0, 1e12 + 0.01, 123456789012.3456, 1e-9,        2.5e-5};
    // Prices and their products with quantities, as a report multiplies them.
    for (int cents = 1; cents < 200000; cents += 997) {
        const double price = cents / 100.0;
        values << price << -price << price * 3 << price * 7.5 << price / 3;
    }
    for (const double value : values) {
        const std::optional<Money> expected = Money::fromDouble(value);
        const std::optional<Money> amount = exactNumber(QVariant(value));
        ASSERT_EQ(amount.has_value(), expected.has_value()) << value;
        if (expected) {
            EXPECT_EQ(amount->units(), expected->units()) << std::setprecision(17) << value;
        }
    }
}
