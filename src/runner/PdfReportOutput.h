#pragma once

#include "reports/PageLayout.h"
#include "reports/ScreenReport.h"

#include <QString>

// The screen report laid out on a document of its own, with the heading row
// repeated on every page, and written as a PDF file when complete. The file
// takes its name only once it is whole.
class PdfReportOutput : public ScreenReportOutput {
public:
    explicit PdfReportOutput(QString path);
    bool finish() override;

private:
    PageLayout m_pages;
    QString m_path;
};

// Writes a finished document to path; a failure is reported through
// HandleDbError and gives false.
bool writeDocumentPdf(const PageLayout &document, const QString &path);
