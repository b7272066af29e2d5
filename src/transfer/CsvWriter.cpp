#include "transfer/CsvWriter.h"

#include "transfer/FormulaCells.h"

#include <cstring>

static bool needsQuotes(QByteArrayView text)
{
    if (text.isEmpty())
        return true;
    const char first = text.front();
    const char last = text.back();
    if (first == ' ' || first == '\t' || last == ' ' || last == '\t')
        return true;
    for (const char c : text) {
        if (c == ',' || c == '"' || c == '\n' || c == '\r')
            return true;
    }
    return false;
}

// Writes the field at out (room for 3 + 2 x size bytes); returns its end.
static char *writeField(char *out, QByteArrayView text, bool guardFormula)
{
    const bool guarded = guardFormula && needsFormulaGuard(text);
    // The apostrophe in front only ever makes quotes less needed, never more.
    const bool quoted = needsQuotes(text);
    if (quoted)
        *out++ = '"';
    if (guarded)
        *out++ = '\'';
    if (quoted) {
        for (const char c : text) {
            if (c == '"')
                *out++ = '"';
            *out++ = c;
        }
        *out++ = '"';
    } else {
        std::memcpy(out, text.data(), std::size_t(text.size()));
        out += text.size();
    }
    return out;
}

void appendCsvField(QByteArray &line, QByteArrayView utf8, bool guardFormula)
{
    const qsizetype used = line.size();
    line.resize(used + 3 + 2 * utf8.size());
    char *end = writeField(line.data() + used, utf8, guardFormula);
    line.resize(end - line.constData());
}

CsvFileWriter::CsvFileWriter(const QString &path) : m_file(path)
{
}

bool CsvFileWriter::open()
{
    if (!m_file.open())
        return false;
    m_file.append("\xEF\xBB\xBF");
    return true;
}

void CsvFileWriter::separate()
{
    if (m_rowStarted)
        m_file.append(",");
    m_rowStarted = true;
}

void CsvFileWriter::text(QByteArrayView utf8, bool guardFormula)
{
    separate();
    char *start = m_file.room(3 + 2 * utf8.size());
    m_file.used(writeField(start, utf8, guardFormula) - start);
}

void CsvFileWriter::null()
{
    separate();
}

bool CsvFileWriter::endRow()
{
    m_file.append("\r\n");
    m_rowStarted = false;
    return m_file.writeIfFull();
}

bool CsvFileWriter::commit()
{
    return m_file.commit();
}

QString CsvFileWriter::errorString() const
{
    return m_file.errorString();
}
