#pragma once

#include <QStringList>

struct ReportQuery;
struct ReportSpec;

// One destination of a report run: the preview document, a text file or an
// HTML file. The run calls begin once the query has found its first row,
// then row for each row and totals at most once, then finish; after a
// failure, or when the run ends early, it calls abandon instead of finish.
// A false result means the destination has already reported its failure
// and the run stops.
class ReportOutput {
public:
    virtual ~ReportOutput() = default;

    // Prepares the destination (file head, new document).
    virtual bool begin(const ReportSpec &spec, const ReportQuery &query) = 0;
    // The cells of the visible columns, in column order.
    virtual bool row(const QStringList &cells) = 0;
    // The totals row; hasTotal tells, per cell, whether the column has a
    // total (an empty cell without one may be written differently).
    virtual bool totals(const QStringList &cells, const QList<bool> &hasTotal) = 0;
    // Completes the output: only now does a file take its place.
    virtual bool finish() = 0;
    // Drops whatever was prepared: no file is left behind.
    virtual void abandon() {}
};
