#include "transfer/CsvReader.h"

#include "reports/ReportFileText.h"

#include <QStringDecoder>
#include <csv.h>
#include <new>

bool CsvRecord::isBlank() const
{
    for (const std::optional<QString> &field : fields) {
        if (field && !field->isEmpty())
            return false;
    }
    return !droppedText;
}

TextEncoding detectEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16;
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.isValidUtf8())
        return TextEncoding::Utf8;
    return TextEncoding::Windows1252;
}

QByteArray toParsableBytes(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3).toByteArray() : bytes.toByteArray();
    case TextEncoding::Utf16: {
        // Without a mark the bytes are taken as little-endian, as the
        // spreadsheets that write UTF-16 write it.
        const bool bigEndian = bytes.startsWith("\xFE\xFF");
        QStringDecoder decoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                               QStringConverter::Flag::Default);
        const QString text = decoder.decode(bytes);
        return (text.startsWith(QChar::ByteOrderMark) ? text.mid(1) : text).toUtf8();
    }
    case TextEncoding::Windows1252:
        break;
    }
    return bytes.toByteArray();
}

namespace {

bool isAscii(const char *text, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

// Collects libcsv's fields and records, and the line each record begins on.
class Collector {
public:
    Collector(TextEncoding encoding, int maxFields) : m_encoding(encoding), m_maxFields(maxFields) {}

    // Called before the parser sees one physical line (with its line end).
    void beginLine(int line, bool hasContent)
    {
        if (!m_pending && hasContent) {
            m_pending = true;
            m_current.line = line;
        }
    }
    bool pending() const { return m_pending; }
    int pendingLine() const { return m_current.line; }

    void field(const char *text, std::size_t bytes)
    {
        if (m_current.fields.size() >= m_maxFields) {
            ++m_current.droppedFields;
            m_current.droppedText = m_current.droppedText || (text && bytes > 0);
            return;
        }
        if (!text) {
            m_current.fields.append(std::nullopt);
            return;
        }
        m_current.fields.append(decode(text, bytes));
    }

    void endRecord()
    {
        m_table.records.push_back(std::move(m_current));
        m_current = CsvRecord();
        m_pending = false;
    }

    CsvTable &table() { return m_table; }

private:
    QString decode(const char *text, std::size_t bytes) const
    {
        const auto size = qsizetype(bytes);
        if (isAscii(text, bytes))
            return QString::fromLatin1(text, size);
        if (m_encoding == TextEncoding::Windows1252)
            return decodeWindows1252(QByteArrayView(text, size));
        return decodeUtf8Or1252(QByteArray::fromRawData(text, size));
    }

    TextEncoding m_encoding;
    int m_maxFields;
    CsvTable m_table;
    CsvRecord m_current;
    bool m_pending = false;
};

void onField(void *text, std::size_t bytes, void *data)
{
    static_cast<Collector *>(data)->field(static_cast<const char *>(text), bytes);
}

void onRecordEnd(int, void *data)
{
    static_cast<Collector *>(data)->endRecord();
}

int isBlankOnly(unsigned char c)
{
    return c == CSV_SPACE;
}

// Frees the parser's buffer whatever happens.
struct Parser {
    csv_parser p{};
    Parser()
    {
        if (csv_init(&p, CSV_EMPTY_IS_NULL) != 0)
            throw std::bad_alloc();
    }
    ~Parser() { csv_free(&p); }
    Parser(const Parser &) = delete;
    Parser &operator=(const Parser &) = delete;
};

void failOn(csv_parser &p)
{
    // In the lenient mode the parser fails only for want of memory.
    if (csv_error(&p) != CSV_SUCCESS)
        throw std::bad_alloc();
}

} // namespace

CsvTable readCsv(QByteArrayView bytes, char separator, TextEncoding encoding, int maxFields)
{
    Parser parser;
    csv_parser &p = parser.p;
    csv_set_delim(&p, static_cast<unsigned char>(separator));
    // A tab that separates fields is no blank to be trimmed.
    if (separator == '\t')
        csv_set_space_func(&p, isBlankOnly);
    // Long fields (a megabyte of notes) grow the buffer in large steps.
    csv_set_blk_size(&p, 64 * 1024);

    Collector collector(encoding, qMax(1, maxFields));
    const char *const data = bytes.data();
    const qsizetype size = bytes.size();
    int line = 0;
    qsizetype start = 0;
    // The bytes go to the parser one physical line at a time, so that the
    // line a record begins on is known when it ends.
    while (start < size) {
        qsizetype end = start;
        bool content = false;
        while (end < size && data[end] != '\n' && data[end] != '\r') {
            content = true;
            ++end;
        }
        if (end < size)
            end += (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') ? 2 : 1;
        collector.beginLine(++line, content);
        const auto length = std::size_t(end - start);
        if (csv_parse(&p, data + start, length, onField, onRecordEnd, &collector) != length)
            failOn(p);
        start = end;
    }

    const bool open = collector.pending();
    const int openLine = collector.pendingLine();
    // Only now strict: the lenient mode would take a quote that is never
    // closed as running to the end of the file without a word.
    csv_set_opts(&p, CSV_EMPTY_IS_NULL | CSV_STRICT | CSV_STRICT_FINI);
    CsvTable table;
    if (csv_fini(&p, onField, onRecordEnd, &collector) != 0 && csv_error(&p) == CSV_EPARSE && open) {
        table = std::move(collector.table());
        table.unclosedQuoteLine = openLine;
    } else {
        failOn(p);
        table = std::move(collector.table());
    }
    table.lineCount = line;
    return table;
}

char detectSeparator(QByteArrayView bytes)
{
    // The first rows are enough; a cut in the middle of a row costs at most
    // that row.
    constexpr qsizetype SampleBytes = 64 * 1024;
    constexpr std::size_t SampleRecords = 50;
    const QByteArrayView sample = bytes.first(qMin(bytes.size(), SampleBytes));
    char best = ',';
    std::size_t bestAgreeing = 0;
    qsizetype bestWidth = 0;
    for (const char candidate : {',', ';', '\t'}) {
        CsvTable table;
        try {
            table = readCsv(sample, candidate, TextEncoding::Windows1252, 1024);
        } catch (const std::bad_alloc &) {
            continue;
        }
        if (table.records.empty())
            continue;
        const qsizetype width = table.records.front().fields.size() + table.records.front().droppedFields;
        if (width < 2)
            continue;
        std::size_t agreeing = 0;
        for (std::size_t i = 0; i < table.records.size() && i < SampleRecords; ++i) {
            const CsvRecord &record = table.records[i];
            agreeing += record.fields.size() + record.droppedFields == width;
        }
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && width > bestWidth)) {
            best = candidate;
            bestAgreeing = agreeing;
            bestWidth = width;
        }
    }
    return best;
}
