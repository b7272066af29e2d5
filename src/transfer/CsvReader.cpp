#include "transfer/CsvReader.h"

#include "reports/ReportFileText.h"

#include <QBuffer>
#include <QHashFunctions>
#include <QIODevice>
#include <QStringDecoder>
#include <cctype>
#include <csv.h>
#include <deque>
#include <new>

bool CsvRecord::isBlank() const
{
    for (const std::optional<QString> &field : fields) {
        if (field && !field->isEmpty())
            return false;
    }
    return !droppedText;
}

namespace {

// Read from the file at a time; large enough that reading costs little,
// small enough to be nothing beside the rows being worked on.
constexpr qint64 ChunkBytes = 256 * 1024;

bool isAscii(const char *text, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

// Collects libcsv's fields into records, with the line each begins on.
class Collector {
public:
    Collector(TextEncoding encoding, int maxFields) : m_encoding(encoding), m_maxFields(maxFields) {}

    // Called before the parser sees bytes of a line other than its line end.
    void content(int line)
    {
        if (!m_pending) {
            m_pending = true;
            m_current.line = line;
        }
    }
    bool pending() const { return m_pending; }
    int pendingLine() const { return m_current.line; }
    qsizetype recordBytes() const { return m_recordBytes; }
    // The line of a record larger than MaxCsvRecordBytes; 0 when none was.
    int tooLarge() const { return m_tooLarge; }

    void field(const char *text, std::size_t bytes)
    {
        m_recordBytes += qsizetype(bytes);
        if (m_recordBytes > MaxCsvRecordBytes && m_tooLarge == 0)
            m_tooLarge = m_current.line;
        if (m_current.fields.size() >= m_maxFields) {
            ++m_current.droppedFields;
            m_current.droppedText = m_current.droppedText || (text && bytes > 0);
            return;
        }
        if (!text || (m_wanted && !m_wanted(QByteArrayView(text, qsizetype(bytes))))) {
            m_current.fields.append(std::nullopt);
            return;
        }
        m_current.fields.append(decode(text, bytes));
    }

    void decodeOnly(std::function<bool(QByteArrayView)> wanted) { m_wanted = std::move(wanted); }

    void endRecord()
    {
        const qsizetype width = m_current.fields.size();
        m_ready.push_back(std::move(m_current));
        m_current = CsvRecord();
        // The next row is most likely as wide.
        m_current.fields.reserve(width);
        m_pending = false;
        m_recordBytes = 0;
    }

    std::deque<CsvRecord> &ready() { return m_ready; }

private:
    QString decode(const char *text, std::size_t bytes)
    {
        const auto size = qsizetype(bytes);
        if (isAscii(text, bytes))
            return QString::fromLatin1(text, size);
        if (m_encoding == TextEncoding::Windows1252 || m_encoding == TextEncoding::MacRoman)
            return decodeSingleByte(QByteArrayView(text, size), m_encoding);
        const QByteArrayView view(text, size);
        if (view.isValidUtf8())
            return QString::fromUtf8(view);
        m_current.notUtf8.append(int(m_current.fields.size()));
        return decodeUtf8Or1252(QByteArray::fromRawData(text, size));
    }

    TextEncoding m_encoding;
    int m_maxFields;
    CsvRecord m_current;
    bool m_pending = false;
    qsizetype m_recordBytes = 0;
    int m_tooLarge = 0;
    std::function<bool(QByteArrayView)> m_wanted;
    std::deque<CsvRecord> m_ready;
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

struct CsvReader::Impl {
    Impl(QIODevice &device, TextEncoding encoding, char separator, int maxFields)
        : device(device)
        , encoding(encoding)
        , collector(encoding == TextEncoding::Utf16 ? TextEncoding::Utf8 : encoding, qMax(1, maxFields))
    {
        csv_set_delim(&parser.p, static_cast<unsigned char>(separator));
        // A tab that separates fields is no blank to be trimmed.
        if (separator == '\t')
            csv_set_space_func(&parser.p, isBlankOnly);
        // Long fields (a megabyte of notes) grow the buffer in large steps.
        csv_set_blk_size(&parser.p, 64 * 1024);
    }

    void fill();
    void feed(QByteArrayView bytes);
    void finish();

    QIODevice &device;
    TextEncoding encoding;
    Parser parser;
    Collector collector;
    std::optional<QStringDecoder> utf16;
    QByteArray chunk;
    bool started = false;
    bool finished = false;
    int line = 0;
    bool atLineStart = true;
    bool lastWasCarriageReturn = false;
    std::optional<int> unclosedQuoteLine;
    size_t checksum = 0;
};

void CsvReader::Impl::fill()
{
    chunk.resize(ChunkBytes);
    const qint64 got = device.read(chunk.data(), ChunkBytes);
    if (got < 0)
        throw ImportError(QStringLiteral("The file cannot be read: %1").arg(device.errorString()));
    chunk.truncate(got);
    if (got == 0) {
        finish();
        return;
    }
    checksum = qHashBits(chunk.constData(), std::size_t(got), checksum);
    QByteArrayView bytes(chunk);
    if (!started) {
        started = true;
        const FileStart start = inspectFileStart(bytes);
        if (encoding == TextEncoding::Utf16) {
            utf16.emplace(start.bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                          QStringConverter::Flag::Default);
            bytes = bytes.sliced(start.utf16 ? start.markLength : 0);
        } else if (encoding == TextEncoding::Utf8 && start.utf8Mark) {
            bytes = bytes.sliced(start.markLength);
        }
    }
    if (utf16) {
        feed(QString(utf16->decode(bytes)).toUtf8());
    } else {
        feed(bytes);
    }
}

// The bytes go to the parser one physical line at a time, so that the line
// a record begins on is known when it ends.
void CsvReader::Impl::feed(QByteArrayView bytes)
{
    csv_parser &p = parser.p;
    const char *const data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    // A CR LF cut between two pieces is one line end.
    if (lastWasCarriageReturn && size > 0 && data[0] == '\n') {
        if (csv_parse(&p, data, 1, onField, onRecordEnd, &collector) != 1)
            failOn(p);
        start = 1;
    }
    lastWasCarriageReturn = false;
    while (start < size) {
        if (atLineStart) {
            ++line;
            atLineStart = false;
        }
        qsizetype end = start;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        if (end > start)
            collector.content(line);
        if (end < size) {
            atLineStart = true;
            if (data[end] == '\r') {
                if (end + 1 < size && data[end + 1] == '\n')
                    ++end;
                else if (end + 1 == size)
                    lastWasCarriageReturn = true;
            }
            ++end;
        }
        const auto length = std::size_t(end - start);
        if (csv_parse(&p, data + start, length, onField, onRecordEnd, &collector) != length)
            failOn(p);
        // Checked while a field grows, so that a file of one endless field
        // is refused before it fills the memory.
        int tooLarge = collector.tooLarge();
        if (tooLarge == 0 && collector.pending()
            && collector.recordBytes() + qsizetype(p.entry_pos) > MaxCsvRecordBytes)
            tooLarge = collector.pendingLine();
        if (tooLarge > 0)
            throw ImportError(QStringLiteral("The row that begins on line %1 is larger than %2 MB; the file is not "
                                             "a list of items that can be imported.")
                                  .arg(tooLarge)
                                  .arg(MaxCsvRecordBytes / (1024 * 1024)));
        start = end;
    }
}

void CsvReader::Impl::finish()
{
    finished = true;
    csv_parser &p = parser.p;
    const bool open = collector.pending();
    const int openLine = collector.pendingLine();
    // Only now strict: the lenient mode would take a quote that is never
    // closed as running to the end of the file without a word.
    csv_set_opts(&p, CSV_EMPTY_IS_NULL | CSV_STRICT | CSV_STRICT_FINI);
    if (csv_fini(&p, onField, onRecordEnd, &collector) != 0 && csv_error(&p) == CSV_EPARSE && open)
        unclosedQuoteLine = openLine;
    else
        failOn(p);
}

CsvReader::CsvReader(QIODevice &device, TextEncoding encoding, char separator, int maxFields)
    : d(std::make_unique<Impl>(device, encoding, separator, maxFields))
{
}

CsvReader::~CsvReader() = default;

bool CsvReader::next(CsvRecord &record)
{
    std::deque<CsvRecord> &ready = d->collector.ready();
    while (ready.empty()) {
        if (d->finished)
            return false;
        d->fill();
    }
    record = std::move(ready.front());
    ready.pop_front();
    return true;
}

void CsvReader::decodeOnly(std::function<bool(QByteArrayView)> wanted)
{
    d->collector.decodeOnly(std::move(wanted));
}

std::optional<int> CsvReader::unclosedQuoteLine() const
{
    return d->unclosedQuoteLine;
}

int CsvReader::lineCount() const
{
    return d->line;
}

quint64 CsvReader::checksum() const
{
    return d->checksum;
}

CsvTable readCsv(QByteArrayView bytes, char separator, TextEncoding encoding, int maxFields)
{
    QByteArray copy = bytes.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, encoding, separator, maxFields);
    CsvTable table;
    CsvRecord record;
    while (reader.next(record))
        table.records.push_back(std::move(record));
    table.unclosedQuoteLine = reader.unclosedQuoteLine();
    table.lineCount = reader.lineCount();
    return table;
}

char detectSeparator(QByteArrayView sample)
{
    // The first rows are enough; a cut in the middle of a row costs at most
    // that row.
    constexpr qsizetype SampleBytes = 64 * 1024;
    constexpr std::size_t SampleRecords = 50;
    sample = sample.first(qMin(sample.size(), SampleBytes));
    // How often c stands between two digits, where it is more likely part
    // of a number than a separator.
    const auto betweenDigits = [&](char c) {
        qsizetype count = 0;
        for (qsizetype i = 1; i + 1 < sample.size(); ++i)
            count += sample[i] == c && std::isdigit(static_cast<unsigned char>(sample[i - 1]))
                && std::isdigit(static_cast<unsigned char>(sample[i + 1]));
        return count;
    };
    char best = ',';
    std::size_t bestAgreeing = 0;
    qsizetype bestWidth = 0;
    qsizetype bestInNumbers = 0;
    for (const char candidate : {',', ';', '\t'}) {
        CsvTable table;
        try {
            table = readCsv(sample, candidate, TextEncoding::Windows1252, 1024);
        } catch (const std::bad_alloc &) {
            continue;
        } catch (const ImportError &) {
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
        const qsizetype inNumbers = betweenDigits(candidate);
        const bool better = agreeing > bestAgreeing
            || (agreeing == bestAgreeing && (width > bestWidth || (width == bestWidth && inNumbers < bestInNumbers)));
        if (better) {
            best = candidate;
            bestAgreeing = agreeing;
            bestWidth = width;
            bestInNumbers = inNumbers;
        }
    }
    return best;
}
