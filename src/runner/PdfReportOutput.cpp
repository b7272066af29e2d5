#include "runner/PdfReportOutput.h"

#include "program/HandleDbError.h"
#include "reports/ReportFileOutput.h"
#include "reports/ReportTableHeading.h"

PdfReportOutput::PdfReportOutput(QString path) : ScreenReportOutput(nullptr, todayForReports()), m_path(std::move(path))
{
    setDocument(&m_pages);
    QObject::connect(&m_pages, &PageLayout::newPage, &m_pages, [this] { addRepeatedHeading(m_pages); });
}

bool PdfReportOutput::finish()
{
    ScreenReportOutput::finish();
    return writeDocumentPdf(m_pages, m_path);
}

bool writeDocumentPdf(const PageLayout &document, const QString &path)
{
    QString error;
    if (document.exportPdf(path, &error))
        return true;
    HandleDbError(
        DbError(DbError::PathFileAccess, QStringLiteral("The report cannot be written to '%1': %2").arg(path, error)));
    return false;
}
