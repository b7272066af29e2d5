#include "reports/ReportFileOutput.h"

#include "app/ProductInfo.h"
#include "data/HandleDbError.h"
#include "reports/ReportQuery.h"
#include "reports/ReportSpec.h"

// Written to the file whenever this much has gathered.
static constexpr qsizetype FlushBytes = 256 * 1024;

ReportFileOutput::ReportFileOutput(QString path) : m_path(std::move(path)), m_file(m_path)
{
}

// QSaveFile drops its temporary file unless commit() was reached, so a
// report that never finished leaves nothing behind.
ReportFileOutput::~ReportFileOutput() = default;

bool ReportFileOutput::fail()
{
    const QString reason = m_file.errorString();
    m_file.cancelWriting();
    m_failed = true;
    m_buffer.clear();
    HandleDbError(DbError(OutputFileError,
                          QStringLiteral("The report cannot be written to '%1': %2").arg(m_path, reason)));
    return false;
}

bool ReportFileOutput::open()
{
    // No file of the user's is ever overwritten in place: the report is
    // written beside it and renamed over it at the end.
    m_file.setDirectWriteFallback(false);
    if (!m_file.open(QIODevice::WriteOnly))
        return fail();
    return true;
}

bool ReportFileOutput::flush()
{
    if (m_buffer.isEmpty())
        return true;
    if (m_file.write(m_buffer) != m_buffer.size())
        return fail();
    m_buffer.clear();
    return true;
}

bool ReportFileOutput::writeLine(const QString &line)
{
    if (m_failed || !m_file.isOpen())
        return false;
    m_buffer += line.toUtf8();
    m_buffer += "\r\n";
    return m_buffer.size() < FlushBytes || flush();
}

bool ReportFileOutput::finish()
{
    if (m_failed || !m_file.isOpen() || !flush())
        return false;
    if (!m_file.commit())
        return fail();
    return true;
}

void ReportFileOutput::abandon()
{
    m_buffer.clear();
    m_failed = true;
    if (m_file.isOpen())
        m_file.cancelWriting();
}

bool TextReportWriter::begin(const ReportSpec &, const ReportQuery &)
{
    return open();
}

bool TextReportWriter::row(const QStringList &cells)
{
    return writeLine(cells.join(QLatin1Char('\t')));
}

bool TextReportWriter::totals(const QStringList &cells, const QList<bool> &)
{
    return row(cells);
}

bool HtmlReportWriter::begin(const ReportSpec &spec, const ReportQuery &query)
{
    if (!open())
        return false;
    const QString title = spec.Title.toHtmlEscaped();
    m_alignRight.clear();
    for (const ReportColumn &column : query.columns)
        m_alignRight << column.alignRight;
    // The file is UTF-8 and says so, or browsers would read it in some
    // older code page and garble every accented letter and currency sign.
    bool ok = writeLine(QStringLiteral("<html>"))
        && writeLine(QStringLiteral("<head><meta charset=\"utf-8\"><title>") + title + QStringLiteral("</title></head>"))
        && writeLine(QStringLiteral("<body>"))
        && writeLine(QStringLiteral("<table border=1>"))
        && writeLine(QStringLiteral("<tr><th colspan = %1>").arg(query.columns.size()) + title + QStringLiteral("</th></tr>"))
        && writeLine(QStringLiteral("<tr>"));
    for (const ReportColumn &column : query.columns) {
        if (ok)
            ok = writeLine(QStringLiteral("<th>") + column.caption.toHtmlEscaped() + QStringLiteral("</th>"));
    }
    return ok && writeLine(QStringLiteral("</tr>"));
}

bool HtmlReportWriter::row(const QStringList &cells)
{
    QString line = QStringLiteral("<tr>");
    for (qsizetype k = 0; k < cells.size(); ++k) {
        line += k < m_alignRight.size() && m_alignRight[k] ? QStringLiteral("<td align=right>") : QStringLiteral("<td>");
        line += cells[k].toHtmlEscaped();
        line += QStringLiteral("</td>");
    }
    line += QStringLiteral("</tr>");
    return writeLine(line);
}

bool HtmlReportWriter::totals(const QStringList &cells, const QList<bool> &hasTotal)
{
    QString line = QStringLiteral("<tr>");
    for (qsizetype k = 0; k < cells.size(); ++k) {
        if (k < hasTotal.size() && hasTotal[k])
            line += QStringLiteral("<td align=right>") + cells[k].toHtmlEscaped() + QStringLiteral("</td>");
        else
            line += QStringLiteral("<TD>&nbsp;</TD>");
    }
    line += QStringLiteral("</tr>");
    return writeLine(line);
}

bool HtmlReportWriter::finish()
{
    const bool ok = writeLine(QStringLiteral("</table>"))
        && writeLine(QStringLiteral("<H6>List Produced by <A HREF=\"") + ProductWebAddress.toHtmlEscaped()
                     + QStringLiteral("\">Stowbook</A></H6>"))
        && writeLine(QStringLiteral("</body>"))
        && writeLine(QStringLiteral("</html>"));
    return ok && ReportFileOutput::finish();
}
