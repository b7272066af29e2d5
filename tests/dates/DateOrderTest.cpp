#include "LocaleGuard.h"

#include "dates/DateOrder.h"

#include <gtest/gtest.h>

namespace {

struct LocaleOrder {
    const char *locale;
    const char *order;
    const char *separator;
};

// Qt 6.4's short dates of 30 May 1998 (year widened to four digits):
// 5/30/1998, 30/05/1998, 30.05.1998, 1998-05-30, 1998. 05. 30., 30.05.1998 г.
const LocaleOrder localeOrders[] = {
    {"en_US", "mdy", "/"}, {"en_GB", "dmy", "/"}, {"de_DE", "dmy", "."},
    {"sv_SE", "ymd", "-"}, {"hu_HU", "ymd", "."}, {"bg_BG", "dmy", "."},
};

TEST(DateOrder, chkDateFmtFindsTheLocalesOrderAndSeparator)
{
    for (const LocaleOrder &row : localeOrders) {
        LocaleGuard locale(row.locale);
        ChkDateFmt();
        EXPECT_EQ(DateOrder, QLatin1String(row.order)) << row.locale;
        EXPECT_EQ(DateSep, QLatin1String(row.separator)) << row.locale;
    }
}

struct SampleCheck {
    const char *text;
    const char *pattern;
    const char *order;
    const char *separator;
};

const SampleCheck sampleChecks[] = {
    {"5/30/98", "M/d/yy", "mdy", "/"}, // a two-digit year is still the year
    {"30/05/98", "dd/MM/yy", "dmy", "/"},
    {"30.05.1998", "dd.MM.yyyy", "dmy", "."},
    {"1998-05-30", "yyyy-MM-dd", "ymd", "-"},
    {"1998/30/05", "yyyy/dd/MM", "ydm", "/"},
    {"30 5 1998", "d M yyyy", "dmy", " "},
    // Not three numbers: the pattern's own order, so composed texts still read.
    {"30 May 1998", "d MMM yyyy", "dmy", " "},
    {"May 30, 1998", "MMM d, yyyy", "mdy", " "},
    {"30|05|1998", "dd|MM|yyyy", "dmy", ""},
    {"30|05|1998", "", "", ""},
};

TEST(DateOrder, readsTheSampleDateAsAnyPatternWroteIt)
{
    for (const SampleCheck &row : sampleChecks) {
        const DateFormatCheck found = checkDateFormat(QString::fromUtf8(row.text), QString::fromUtf8(row.pattern));
        EXPECT_EQ(found.order, QLatin1String(row.order)) << row.text;
        EXPECT_EQ(found.separator, QLatin1String(row.separator)) << row.text;
    }
}

TEST(DateOrder, buildDateTextWritesTheNumbersInDateOrder)
{
    LocaleGuard locale("de_DE");
    // Before ChkDateFmt: month, day, year, whatever the locale.
    EXPECT_EQ(BuildDateText(5, 30, 1998), u"5 30 1998");
    const struct {
        const char *order;
        const char *text;
    } rows[] = {{"dmy", "30 5 1998"}, {"ymd", "1998 5 30"}, {"ydm", "1998 30 5"},
                {"mdy", "5 30 1998"}, {"myd", "5 30 1998"}, {"xyz", "5 30 1998"}};
    for (const auto &row : rows) {
        DateOrder = QLatin1String(row.order);
        EXPECT_EQ(BuildDateText(5, 30, 1998), QLatin1String(row.text)) << row.order;
    }
    DateOrder = QStringLiteral("dmy");
    EXPECT_EQ(BuildDateText(1, 2, 100), u"2 1 100"); // no leading zeros
}

} // namespace
