#pragma once

#include "data/DateValue.h"
#include "reports/ReportOutput.h"

class PageLayout;

// The page texts of a screen report: the header holds the date (when
// showDate) at the left, the title in the centre and, for page-number code
// 0, "Page %d" at the right; code 1 puts "Page %d" centred in the footer.
// Every other code leaves the footer empty, so a footer set by an earlier
// report on the same document does not linger.
QString screenReportHeader(const ReportSpec &spec, const DateValue &today);
QString screenReportFooter(const ReportSpec &spec);

// The screen/printer destination: a paged document of one-row tables in the
// report's column layout. The document is begun with the columns' headings
// as its repeated heading; the row on each page comes from the document's
// new-page handler (addRepeatedHeading), which the owner of the document
// connects. The document is started only in begin, so a run that
// ends before (no rows, a failed query) leaves the one shown before alone.
class ScreenReportOutput : public ReportOutput {
public:
    // document (may be set later, before begin) outlives this output;
    // today is the date shown in the header.
    ScreenReportOutput(PageLayout *document, const DateValue &today);

    bool begin(const ReportSpec &spec, const ReportQuery &query) override;
    bool row(const QStringList &cells) override;
    bool totals(const QStringList &cells, const QList<bool> &hasTotal) override;
    bool finish() override;
    void abandon() override;

protected:
    void setDocument(PageLayout *document) { m_document = document; }

private:
    PageLayout *m_document;
    DateValue m_today;
    QString m_format;
};

// Today's date as the header shows it.
DateValue todayForReports();
