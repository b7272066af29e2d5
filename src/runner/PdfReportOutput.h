#pragma once

#include "reports/PageLayout.h"
#include "reports/ScreenReport.h"

#include <QString>

class Household;

// The screen report laid out on a document of its own, with the heading row
// repeated on every page, and written as a PDF file when complete. The file
// takes its name only once it is whole.
class PdfReportOutput : public ScreenReportOutput {
public:
    // Failures go to household's error handler.
    PdfReportOutput(Household &household, QString path);
    bool finish() override;

private:
    Household &m_household;
    PageLayout m_pages;
    QString m_path;
};

// Writes a finished document to path; a failure is reported through the
// household's error handler and gives false.
bool writeDocumentPdf(Household &household, const PageLayout &document, const QString &path);
