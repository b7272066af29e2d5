#include "items/Quantity.h"

#include <QString>
#include <gtest/gtest.h>

TEST(Quantity, RoundsHalvesToEvenAndRefusesWhatSixteenBitsCannotHold)
{
    using R = Quantity::Reading;
    struct Row {
        const char *text;
        R reading;
        int value;
    };
    const Row rows[] = {
        {"2.5", R::Whole, 2},          {"3.5", R::Whole, 4},           {"-2.5", R::Whole, -2},
        {"2.51", R::Whole, 3},         {"-0.4", R::Whole, 0},          {"32767.4", R::Whole, 32767},
        {"32767.5", R::OutOfRange, 0}, {"-32768.5", R::Whole, -32768}, {"-32769", R::OutOfRange, 0},
        {"1,000", R::Whole, 1000},     {"70000", R::OutOfRange, 0},    {"", R::NotANumber, 0},
        {"  ", R::NotANumber, 0},      {"two", R::NotANumber, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        const Quantity q = readQuantity(QString::fromLatin1(row.text));
        EXPECT_EQ(q.reading, row.reading);
        if (row.reading == R::Whole) {
            EXPECT_EQ(q.value, row.value);
        }
    }
}
