#include "LocaleGuard.h"

#include "dates/LocaleFormats.h"
#include "program/CountText.h"

#include <gtest/gtest.h>

// One thing in the singular, every other count in the plural, the count
// grouped as the currency amount of the same locale is.
TEST(CountText, ReadsAsEnglishAndGroupsAsTheAmountsDo)
{
    struct Row {
        const char *locale;
        qint64 count;
        const char *expected;
        const char *amount; // the locale's amount of the same digits, for comparison
    };
    const Row rows[] = {
        {"en_US", 0, "0 items", "$0.00"},
        {"en_US", 1, "1 item", "$1.00"},
        {"en_US", 2, "2 items", "$2.00"},
        {"en_US", 20000, "20,000 items", "$20,000.00"},
        {"en_US", 1000000, "1,000,000 items", "$1,000,000.00"},
        {"de_DE", 20000, "20.000 items", "20.000,00\u00a0€"},
        {"fr_FR", 20000, "20\u202f000 items", "20\u202f000,00\u00a0€"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.locale) + " " + row.expected);
        const LocaleGuard locale(row.locale);
        EXPECT_EQ(countText(row.count, QStringLiteral("item"), QStringLiteral("items")),
                  QString::fromUtf8(row.expected));
        EXPECT_EQ(formatCurrency(Money::fromDecimalText(QString::number(row.count)).value()),
                  QString::fromUtf8(row.amount));
    }
}
