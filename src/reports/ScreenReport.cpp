#include "reports/ScreenReport.h"

#include "dates/LocaleFormats.h"
#include "reports/PageLayout.h"
#include "reports/ReportFileReader.h"
#include "reports/ReportQuery.h"
#include "reports/ReportSpec.h"
#include "reports/ReportTable.h"

#include <QDate>

DateValue todayForReports()
{
    return DateValue::fromDate(QDate::currentDate());
}

QString screenReportHeader(const ReportSpec &spec, const DateValue &today)
{
    QString header;
    if (spec.ShowDate)
        header = formatDdddd(today);
    header += QLatin1Char('|') + spec.Title + QLatin1Char('|');
    if (spec.PageNumbers == PageNumberInHeader)
        header += QStringLiteral("Page %d");
    return header;
}

QString screenReportFooter(const ReportSpec &spec)
{
    return spec.PageNumbers == PageNumberAtBottom ? QStringLiteral("|Page %d|") : QString();
}

ScreenReportOutput::ScreenReportOutput(PageLayout *document, const DateValue &today)
    : m_document(document)
    , m_today(today)
{
}

bool ScreenReportOutput::begin(const ReportSpec &spec, const ReportQuery &query)
{
    m_format = query.tableFormat;
    // Widths the page cannot hold (negative, or wider than any paper) come
    // from the report file; the document would refuse every row.
    if (!parseTableFormat(m_format)) {
        showInvalidReportFile();
        return false;
    }
    m_document->setOrientation(spec.Orientation == 1 ? PageLayout::Orientation::Landscape
                                                     : PageLayout::Orientation::Portrait);
    m_document->setHeaderText(screenReportHeader(spec, m_today));
    m_document->setFooterText(screenReportFooter(spec));
    m_document->setTitle(spec.Title);
    // Every page of a listing begins with its column headings.
    PageLayout::RepeatedHeading heading{m_format, {}};
    for (const ReportColumn &column : query.columns)
        heading.cells << column.caption;
    m_document->startDoc(std::move(heading));
    return true;
}

bool ScreenReportOutput::row(const QStringList &cells)
{
    return m_document->tableText(m_format, cells);
}

bool ScreenReportOutput::totals(const QStringList &cells, const QList<bool> &)
{
    return row(cells);
}

bool ScreenReportOutput::finish()
{
    m_document->endDoc();
    return true;
}

void ScreenReportOutput::abandon()
{
    // A document cut short is ended, so the view shows it as far as it got.
    if (m_document && m_document->isDocOpen())
        m_document->endDoc();
}
