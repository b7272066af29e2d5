#include "RunFixture.h"

#include "reports/ScreenReport.h"

using ScreenReport = RunTest;

TEST_F(ScreenReport, HeaderAndFooterFollowThePageNumberCode)
{
    ReportSpec spec;
    spec.Title = QStringLiteral("Things");
    const DateValue day = DateValue::fromDate(QDate(2024, 2, 29));
    struct Case {
        bool showDate;
        qint16 pageNumbers;
        const char *header;
        const char *footer;
    };
    // Code 0: the number at the right of the header; 1: centred at the
    // bottom; 2: none, and no footer left over from an earlier report.
    for (const Case &c : {Case{false, 0, "|Things|Page %d", ""}, Case{true, 1, "2/29/2024|Things|", "|Page %d|"},
                          Case{true, 2, "2/29/2024|Things|", ""}}) {
        spec.ShowDate = c.showDate;
        spec.PageNumbers = c.pageNumbers;
        EXPECT_EQ(screenReportHeader(spec, day), QLatin1String(c.header));
        EXPECT_EQ(screenReportFooter(spec), QLatin1String(c.footer));
    }
}
