#include "transfer/CsvWriter.h"

#include "transfer/FormulaCells.h"

#include <algorithm>
#include <cstring>

static constexpr qsizetype FlushBytes = 256 * 1024;

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

// QSaveFile drops its temporary file unless commit() was reached.
CsvFileWriter::~CsvFileWriter() = default;

bool CsvFileWriter::open()
{
    // A user's file is never written over in place.
    m_file.setDirectWriteFallback(false);
    if (!m_file.open(QIODevice::WriteOnly)) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    m_buffer.resize(2 * FlushBytes);
    std::memcpy(m_buffer.data(), "\xEF\xBB\xBF", 3);
    m_used = 3;
    return true;
}

char *CsvFileWriter::room(qsizetype bytes)
{
    if (m_buffer.size() - m_used < bytes)
        m_buffer.resize(std::max(2 * m_buffer.size(), m_used + bytes));
    return m_buffer.data() + m_used;
}

void CsvFileWriter::separate()
{
    if (m_rowStarted) {
        *room(1) = ',';
        ++m_used;
    }
    m_rowStarted = true;
}

void CsvFileWriter::text(QByteArrayView utf8, bool guardFormula)
{
    separate();
    char *start = room(3 + 2 * utf8.size());
    m_used += writeField(start, utf8, guardFormula) - start;
}

void CsvFileWriter::null()
{
    separate();
}

bool CsvFileWriter::flush()
{
    if (m_failed)
        return false;
    if (m_used > 0 && m_file.write(m_buffer.constData(), m_used) != m_used) {
        m_failed = true;
        m_error = m_file.errorString();
        m_file.cancelWriting();
        return false;
    }
    m_used = 0;
    return true;
}

bool CsvFileWriter::endRow()
{
    std::memcpy(room(2), "\r\n", 2);
    m_used += 2;
    m_rowStarted = false;
    return m_used < FlushBytes || flush();
}

bool CsvFileWriter::commit()
{
    if (m_failed || !m_file.isOpen() || !flush())
        return false;
    if (!m_file.commit()) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

QString CsvFileWriter::errorString() const
{
    return m_error;
}
