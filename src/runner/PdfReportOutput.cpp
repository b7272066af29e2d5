#include "runner/PdfReportOutput.h"

#include "program/Household.h"
#include "reports/ReportFileOutput.h"
#include "reports/ReportTableHeading.h"

PdfReportOutput::PdfReportOutput(Household &household, QString path)
    : ScreenReportOutput(nullptr, todayForReports())
    , m_household(household)
    , m_path(std::move(path))
{
    setDocument(&m_pages);
    QObject::connect(&m_pages, &PageLayout::newPage, &m_pages, [this] { addRepeatedHeading(m_pages); });
}

bool PdfReportOutput::finish()
{
    ScreenReportOutput::finish();
    return writeDocumentPdf(m_household, m_pages, m_path);
}

bool writeDocumentPdf(Household &household, const PageLayout &document, const QString &path)
{
    QString error;
    if (document.exportPdf(path, &error))
        return true;
    household.HandleDbError(
        DbError(DbError::PathFileAccess, QStringLiteral("The report cannot be written to '%1': %2").arg(path, error)));
    return false;
}
