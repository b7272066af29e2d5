#pragma once

#include "data/BufferedSaveFile.h"
#include "reports/ReportOutput.h"

#include <QString>

class Household;

// A report written to a file. The file is written beside its final place
// and takes the name only when the whole report is written (finish), so an
// existing file is replaced by a complete report or not at all. Text goes
// out as UTF-8, every line ended by CR LF. A failure to create, write or
// replace the file is reported through household's error handler and stops
// the run.
class ReportFileOutput : public ReportOutput {
public:
    ReportFileOutput(Household &household, QString path);
    ~ReportFileOutput() override;

    bool finish() override;
    void abandon() override;
    const QString &path() const { return m_path; }

protected:
    // Creates the file; false after reporting a failure.
    bool open();
    // Adds one line; the buffer goes out in large pieces.
    bool writeLine(const QString &line);
    // A line put together piece by piece straight into the buffer, so a
    // row costs no joined or escaped copies: put and putEscaped add to the
    // line, endLine ends it as writeLine does.
    void put(QStringView text);
    void put(QLatin1StringView text);
    void putEscaped(QStringView text); // HTML-escaped
    bool endLine();

private:
    // Reports the file's failure; false.
    bool fail();

    Household &m_household;
    QString m_path;
    // Reported failed or abandoned once it is no longer writable: nothing
    // more is written or reported.
    BufferedSaveFile m_file;
};

// The text file: one line per row, the cells joined by tabs; no title and
// no heading line. The totals row is one more line of the same form. A cell
// holding a tab or a line break, or beginning with a double quote, is
// written between double quotes with its quotes doubled, so it stays one
// cell of one row.
class TextReportWriter : public ReportFileOutput {
public:
    using ReportFileOutput::ReportFileOutput;
    bool begin(const ReportSpec &spec, const ReportQuery &query) override;
    bool row(const QStringList &cells) override;
    bool totals(const QStringList &cells, const QList<bool> &hasTotal) override;
};

// The HTML file: one table with the title and the column headings, a row
// per report row and the totals row, then a footer line naming the program.
// Every text from the data, the title and the captions is escaped. Hidden
// fields have no heading cell, so the heading row and the title's colspan
// count the visible columns, as the rows do.
class HtmlReportWriter : public ReportFileOutput {
public:
    using ReportFileOutput::ReportFileOutput;
    bool begin(const ReportSpec &spec, const ReportQuery &query) override;
    bool row(const QStringList &cells) override;
    bool totals(const QStringList &cells, const QList<bool> &hasTotal) override;
    bool finish() override;

private:
    QList<bool> m_alignRight;
};
