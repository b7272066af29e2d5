#include "reports/ReportFileOutput.h"

#include "program/Household.h"
#include "program/ProductInfo.h"
#include "reports/ReportQuery.h"
#include "reports/ReportSpec.h"

#include <algorithm>

ReportFileOutput::ReportFileOutput(Household &household, QString path)
    : m_household(household)
    , m_path(std::move(path))
    , m_file(m_path)
{
}

// The buffered file drops its temporary file unless it was committed, so a
// report that never finished leaves nothing behind.
ReportFileOutput::~ReportFileOutput() = default;

bool ReportFileOutput::fail()
{
    m_household.HandleDbError(
        DbError(DbError::PathFileAccess,
                QStringLiteral("The report cannot be written to '%1': %2").arg(m_path, m_file.errorString())));
    return false;
}

bool ReportFileOutput::open()
{
    // No file of the user's is ever overwritten in place: the report is
    // written beside it and renamed over it at the end.
    return m_file.open() || fail();
}

bool ReportFileOutput::writeLine(const QString &line)
{
    put(line);
    return endLine();
}

void ReportFileOutput::put(QStringView text)
{
    // Most cells are plain ASCII: copied byte by byte, with no UTF-8
    // conversion and no temporary array per cell.
    char *out = m_file.room(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            m_file.used(i);
            m_file.append(text.mid(i).toUtf8());
            return;
        }
        out[i] = char(c);
    }
    m_file.used(text.size());
}

void ReportFileOutput::put(QLatin1StringView text)
{
    // Only ever called with ASCII markup, which is its own UTF-8.
    m_file.append(QByteArrayView(text.data(), text.size()));
}

void ReportFileOutput::putEscaped(QStringView text)
{
    // One pass for plain ASCII, escaping as it copies; room for the worst
    // case, every character an entity ("&quot;" is six bytes).
    char *const start = m_file.room(6 * text.size());
    char *out = start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            // The rest the general way: the same four characters
            // QString::toHtmlEscaped replaces, then UTF-8.
            m_file.used(out - start);
            put(text.mid(i).toString().toHtmlEscaped());
            return;
        }
        switch (c) {
        case u'<':
            out = std::copy_n("&lt;", 4, out);
            break;
        case u'>':
            out = std::copy_n("&gt;", 4, out);
            break;
        case u'&':
            out = std::copy_n("&amp;", 5, out);
            break;
        case u'"':
            out = std::copy_n("&quot;", 6, out);
            break;
        default:
            *out++ = char(c);
        }
    }
    m_file.used(out - start);
}

bool ReportFileOutput::endLine()
{
    // A file that failed before (and was reported then) or was abandoned
    // drops its lines without a word.
    const bool writable = m_file.writable();
    put(QLatin1StringView("\r\n"));
    return m_file.writeIfFull() || (writable && fail());
}

bool ReportFileOutput::finish()
{
    if (!m_file.writable())
        return false;
    return m_file.commit() || fail();
}

void ReportFileOutput::abandon()
{
    m_file.cancel();
}

bool TextReportWriter::begin(const ReportSpec &, const ReportQuery &)
{
    return open();
}

// A tab or a line break inside a cell would split its row into more
// columns or more rows. Such a cell is quoted the way spreadsheets read
// tab-separated text: between double quotes, a quote inside doubled. A
// cell that begins with a quote is quoted too, or a reader would take its
// quote for one of these. Every other cell is written as it is.
static bool needsQuoting(QStringView cell)
{
    if (cell.startsWith(u'"'))
        return true;
    for (const QChar c : cell) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

bool TextReportWriter::row(const QStringList &cells)
{
    for (qsizetype k = 0; k < cells.size(); ++k) {
        if (k > 0)
            put(QLatin1StringView("\t"));
        if (needsQuoting(cells[k])) {
            put(QLatin1StringView("\""));
            put(QString(cells[k]).replace(QStringLiteral("\""), QStringLiteral("\"\"")));
            put(QLatin1StringView("\""));
        } else {
            put(cells[k]);
        }
    }
    return endLine();
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
        && writeLine(QStringLiteral("<head><meta charset=\"utf-8\"><title>") + title
                     + QStringLiteral("</title></head>"))
        && writeLine(QStringLiteral("<body>")) && writeLine(QStringLiteral("<table border=1>"))
        && writeLine(QStringLiteral("<tr><th colspan = %1>").arg(query.columns.size()) + title
                     + QStringLiteral("</th></tr>"))
        && writeLine(QStringLiteral("<tr>"));
    for (const ReportColumn &column : query.columns) {
        if (ok)
            ok = writeLine(QStringLiteral("<th>") + column.caption.toHtmlEscaped() + QStringLiteral("</th>"));
    }
    return ok && writeLine(QStringLiteral("</tr>"));
}

bool HtmlReportWriter::row(const QStringList &cells)
{
    put(QLatin1StringView("<tr>"));
    for (qsizetype k = 0; k < cells.size(); ++k) {
        put(k < m_alignRight.size() && m_alignRight[k] ? QLatin1StringView("<td align=right>")
                                                       : QLatin1StringView("<td>"));
        putEscaped(cells[k]);
        put(QLatin1StringView("</td>"));
    }
    put(QLatin1StringView("</tr>"));
    return endLine();
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
        && writeLine(QStringLiteral("</body>")) && writeLine(QStringLiteral("</html>"));
    return ok && ReportFileOutput::finish();
}
