#include "transfer/ImportPlan.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <new>

namespace {

// Enough of the start of a file to find its separator.
constexpr qint64 SampleBytes = 64 * 1024;

QByteArray readUpTo(QIODevice &device, qint64 bytes)
{
    QByteArray data;
    data.resize(bytes);
    qint64 got = 0;
    while (got < bytes) {
        const qint64 n = device.read(data.data() + got, bytes - got);
        if (n < 0)
            throw ImportError(QStringLiteral("The file cannot be read: %1").arg(device.errorString()));
        if (n == 0)
            break;
        got += n;
    }
    data.truncate(got);
    return data;
}

// Whether a value is worth asking what it tells about a number style: it
// has a digit, a point or a comma or an inner blank, and no more letters
// than a currency code has. Descriptions and notes are passed over quickly.
bool mayTellNumberStyle(const QString &text)
{
    bool digit = false, separator = false;
    int letters = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digit = true;
        else if (u == u'.' || u == u',' || u == u' ' || (u > 0x7F && c.isSpace()))
            separator = true;
        else if ((((u | 0x20) >= u'a' && (u | 0x20) <= u'z') || (u > 0x7F && c.isLetter())) && ++letters > 4)
            return false;
    }
    return digit && separator;
}

bool mayTellDateOrder(const QString &text)
{
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        return c >= u'0' && c <= u'9';
    }
    return false;
}

// The same as the two above, asked of a field's bytes before they are
// decoded: a digit first, or digits with separators and no more letters
// than a currency code. Bytes beyond ASCII may be a blank or a currency sign.
bool mayTellByItsBytes(QByteArrayView bytes)
{
    bool digit = false, separator = false, first = true;
    int letters = 0;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c >= '0' && c <= '9') {
            if (first)
                return true;
            digit = true;
        } else if (c == '.' || c == ',' || c == ' ' || c >= 0x80) {
            separator = true;
        } else if (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') && ++letters > 4) {
            return false;
        }
        first = first && (c == ' ' || c == '\t');
    }
    return digit && separator;
}

QStringList exportHeadings()
{
    QStringList headings{KeyHeading};
    for (const ItemField field : allItemFields())
        headings << fieldCaption(field);
    return headings;
}

QString separatorWords(char separator)
{
    switch (separator) {
    case ';':
        return QStringLiteral("semicolons");
    case '\t':
        return QStringLiteral("tabs");
    default:
        return QStringLiteral("commas");
    }
}

// A finding settled by one value, or mixed between two.
StyleFinding findingOf(StyleFinding::How how, int line = 0, const QString &text = QString())
{
    StyleFinding finding;
    finding.how = how;
    finding.line = line;
    finding.text = text;
    return finding;
}

StyleFinding mixedFinding(int line, const QString &text, int otherLine, const QString &otherText, bool byLocale)
{
    StyleFinding finding = findingOf(StyleFinding::How::Mixed, line, text);
    finding.otherLine = otherLine;
    finding.otherText = otherText;
    finding.byLocale = byLocale;
    return finding;
}

} // namespace

ImportPlan::ImportPlan(QString path, QByteArray bytes) : m_path(std::move(path)), m_bytes(std::move(bytes))
{
    detectEncodingAndSeparator();
    analyse();
}

ImportPlan ImportPlan::fromFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw ImportError(
            QStringLiteral("The file '%1' cannot be read: it is a folder.").arg(QDir::toNativeSeparators(path)));
    return ImportPlan(path, QByteArray());
}

ImportPlan ImportPlan::fromBytes(QByteArray bytes)
{
    return ImportPlan(QString(), std::move(bytes));
}

bool ImportPlan::byteOrderMark() const
{
    return (m_encoding == TextEncoding::Utf8 && m_start.utf8Mark)
        || (m_encoding == TextEncoding::Utf16 && m_start.utf16 && m_start.markLength > 0);
}

std::unique_ptr<QIODevice> ImportPlan::openDevice() const
{
    if (m_path.isEmpty()) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(m_bytes);
        buffer->open(QIODevice::ReadOnly);
        return buffer;
    }
    auto file = std::make_unique<QFile>(m_path);
    if (!file->open(QIODevice::ReadOnly))
        throw ImportError(QStringLiteral("The file '%1' cannot be read: %2")
                              .arg(QDir::toNativeSeparators(m_path), file->errorString()));
    return file;
}

ImportPlan::ReadingEnd ImportPlan::readRecords(const std::function<void(CsvRecord &, CsvReader &)> &onRecord) const
{
    const std::unique_ptr<QIODevice> device = openDevice();
    CsvReader reader(*device, m_encoding, m_separator, MaxImportColumns + 1);
    CsvRecord record;
    try {
        while (reader.next(record))
            onRecord(record, reader);
    } catch (const std::bad_alloc &) {
        throw ImportError(QStringLiteral("There is not enough memory to read the file."));
    }
    return {reader.unclosedQuoteLine(), reader.lineCount(), reader.checksum()};
}

void ImportPlan::detectEncodingAndSeparator()
{
    const std::unique_ptr<QIODevice> device = openDevice();
    const QByteArray start = readUpTo(*device, SampleBytes);
    m_start = inspectFileStart(start);
    QByteArray sample;
    if (m_start.utf16) {
        m_encoding = TextEncoding::Utf16;
        QStringDecoder decoder(m_start.bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
        sample = QString(decoder.decode(QByteArrayView(start).sliced(m_start.markLength))).toUtf8();
    } else if (m_start.utf8Mark) {
        m_encoding = TextEncoding::Utf8;
        sample = start.sliced(m_start.markLength);
    } else {
        // Every byte of the file counts, not only the start: one stray byte
        // far down must not decide, nor go unseen.
        EncodingScan scan;
        scan.add(start);
        for (QByteArray piece = readUpTo(*device, SampleBytes); !piece.isEmpty();
             piece = readUpTo(*device, SampleBytes))
            scan.add(piece);
        m_encoding = scan.verdict();
        sample = start;
    }
    // Spreadsheets name the separator on a first line of its own: "sep=;".
    if (sample.size() >= 5 && sample.startsWith("sep=") && QByteArrayView(",;\t").contains(sample[4])
        && (sample.size() == 5 || sample[5] == '\r' || sample[5] == '\n')) {
        m_separator = sample[4];
        m_separatorLine = true;
    } else {
        m_separator = detectSeparator(sample);
    }
}

void ImportPlan::analyse()
{
    QStringList headings;
    std::vector<CsvRecord> firstRecords;
    std::vector<ColumnClues> clues;
    qsizetype index = 0;
    qsizetype headingRecord = -1;
    const auto note = [](Seen &seen, const CsvRecord &record, const QString &text) {
        ++seen.count;
        if (seen.line == 0) {
            seen.line = record.line;
            seen.text = text;
        }
    };
    const ReadingEnd end = readRecords([&](CsvRecord &record, CsvReader &reader) {
        const qsizetype at = index++;
        if (headingRecord < 0) {
            if ((m_separatorLine && record.line == 1) || record.isBlank())
                return;
            if (record.fields.size() + record.droppedFields > MaxImportColumns)
                throw ImportError(QStringLiteral("The heading row has more than %1 columns; it is not a list of "
                                                 "items that can be imported.")
                                      .arg(MaxImportColumns));
            headingRecord = at;
            for (const std::optional<QString> &field : record.fields)
                headings << field.value_or(QString()).trimmed();
            clues.resize(std::size_t(headings.size()));
            firstRecords.push_back(std::move(record));
            return;
        }
        if (record.isBlank())
            return;
        const qsizetype columns = qMin(record.fields.size(), headings.size());
        for (qsizetype c = 0; c < columns; ++c) {
            const std::optional<QString> &field = record.fields[c];
            if (!field || field->isEmpty())
                continue;
            ColumnClues &column = clues[std::size_t(c)];
            if (mayTellNumberStyle(*field)) {
                const NumberClue clue = numberClue(*field);
                if (clue != NumberClue::None && clue != NumberClue::Neutral)
                    note(column.numbers[std::size_t(clue)], record, *field);
            }
            if (mayTellDateOrder(*field)) {
                const DateClue clue = dateClue(*field);
                if (clue != DateClue::None && clue != DateClue::Neutral)
                    note(column.dates[std::size_t(clue)], record, *field);
            }
        }
        if (firstRecords.size() <= std::size_t(PreviewRows)) {
            firstRecords.push_back(std::move(record));
            // The rest of the file is looked at for its numbers and dates only.
            if (firstRecords.size() > std::size_t(PreviewRows))
                reader.decodeOnly(mayTellByItsBytes);
        }
    });
    if (headingRecord < 0)
        throw ImportError(QStringLiteral("The file holds no rows."));

    m_headings = std::move(headings);
    m_firstRecords = std::move(firstRecords);
    m_clues = std::move(clues);
    m_headingRecord = headingRecord;
    m_unclosedQuoteLine = end.unclosedQuoteLine;
    m_checksum = end.checksum;
    m_mapping = matchHeadings(m_headings);
    // An export of an inventory without warranties or disposals, and any
    // made before items had them, ends with the location.
    const QStringList ours = exportHeadings();
    m_rules.exportApostrophes = m_encoding == TextEncoding::Utf8 && m_start.utf8Mark
        && (m_headings == ours || m_headings == ours.first(ours.indexOf(fieldCaption(ItemField::Location)) + 1));
    decideNumbers();
    decideDates();
    changed();
}

void ImportPlan::decideNumbers()
{
    if (m_numbersChosen)
        return;
    std::array<Seen, 7> first;
    for (std::size_t c = 0; c < m_mapping.size() && c < m_clues.size(); ++c) {
        const FieldKind kind = fieldKind(m_mapping[c]);
        if (m_mapping[c] == ItemField::None || (kind != FieldKind::Amount && kind != FieldKind::Quantity))
            continue;
        for (std::size_t k = 0; k < first.size(); ++k) {
            const Seen &seen = m_clues[c].numbers[k];
            const qint64 count = first[k].count + seen.count;
            if (seen.line > 0 && (first[k].line == 0 || seen.line < first[k].line))
                first[k] = seen;
            first[k].count = count;
        }
    }
    const auto earlier = [](const Seen &a, const Seen &b) {
        return a.line > 0 && (b.line == 0 || a.line <= b.line) ? a : b;
    };
    Seen point = earlier(first[std::size_t(NumberClue::PointDecimal)], first[std::size_t(NumberClue::PointGrouped)]);
    point.count =
        first[std::size_t(NumberClue::PointDecimal)].count + first[std::size_t(NumberClue::PointGrouped)].count;
    const Seen &comma = first[std::size_t(NumberClue::CommaDecimal)];
    const Seen ambiguous =
        earlier(first[std::size_t(NumberClue::AmbiguousPlain)], first[std::size_t(NumberClue::AmbiguousComma)]);
    // Commas in a file of decimal points group thousands, if any value has them.
    const bool grouped = first[std::size_t(NumberClue::PointGrouped)].line > 0
        || first[std::size_t(NumberClue::AmbiguousComma)].line > 0;
    const NumberStyle pointStyle = grouped ? NumberStyle::DecimalPoint : NumberStyle::Plain;
    StyleFinding finding;
    if (comma.line > 0 && point.line == 0) {
        m_rules.numbers = NumberStyle::DecimalComma;
        finding = findingOf(StyleFinding::How::Settled, comma.line, comma.text);
    } else if (point.line > 0 && comma.line == 0) {
        m_rules.numbers = pointStyle;
        finding = findingOf(StyleFinding::How::Settled, point.line, point.text);
    } else if (point.line > 0) {
        // Both: the way most values are written, on a tie the locale's.
        m_rules.numbers = point.count > comma.count ? pointStyle
            : comma.count > point.count             ? NumberStyle::DecimalComma
                                                    : localeNumberStyle();
        const Seen &one = earlier(point, comma);
        const Seen &other = one.line == point.line ? comma : point;
        finding = mixedFinding(one.line, one.text, other.line, other.text, point.count == comma.count);
    } else if (ambiguous.line > 0) {
        m_rules.numbers = localeNumberStyle();
        finding = findingOf(StyleFinding::How::Unsettled, ambiguous.line, ambiguous.text);
    } else {
        m_rules.numbers = NumberStyle::Plain;
    }
    m_numberFinding = finding;
}

void ImportPlan::decideDates()
{
    if (m_datesChosen)
        return;
    // One decision for every date column of the file (purchase, warranty's
    // end, disposal): a file writes its dates one way.
    std::array<Seen, 6> seen;
    bool anyColumn = false;
    for (std::size_t c = 0; c < m_mapping.size() && c < m_clues.size(); ++c) {
        if (m_mapping[c] == ItemField::None || fieldKind(m_mapping[c]) != FieldKind::Date)
            continue;
        anyColumn = true;
        for (std::size_t k = 0; k < seen.size(); ++k) {
            const Seen &column = m_clues[c].dates[k];
            const qint64 count = seen[k].count + column.count;
            if (column.line > 0 && (seen[k].line == 0 || column.line < seen[k].line))
                seen[k] = column;
            seen[k].count = count;
        }
    }
    StyleFinding finding;
    m_rules.dates = localeDateStyle();
    if (anyColumn) {
        const Seen &day = seen[std::size_t(DateClue::DayFirst)];
        const Seen &month = seen[std::size_t(DateClue::MonthFirst)];
        const Seen &ambiguous = seen[std::size_t(DateClue::Ambiguous)];
        const Seen &year = seen[std::size_t(DateClue::YearFirst)];
        if (day.line > 0 && month.line == 0) {
            m_rules.dates = DateStyle::DayMonthYear;
            finding = findingOf(StyleFinding::How::Settled, day.line, day.text);
        } else if (month.line > 0 && day.line == 0) {
            m_rules.dates = DateStyle::MonthDayYear;
            finding = findingOf(StyleFinding::How::Settled, month.line, month.text);
        } else if (day.line > 0) {
            // Both: the order of most dates, on a tie the locale's.
            if (day.count != month.count)
                m_rules.dates = day.count > month.count ? DateStyle::DayMonthYear : DateStyle::MonthDayYear;
            const Seen &one = day.line < month.line ? day : month;
            const Seen &other = day.line < month.line ? month : day;
            finding = mixedFinding(one.line, one.text, other.line, other.text, day.count == month.count);
        } else if (ambiguous.line > 0) {
            finding = findingOf(StyleFinding::How::Unsettled, ambiguous.line, ambiguous.text);
        } else if (year.line > 0) {
            m_rules.dates = DateStyle::YearMonthDay;
            finding = findingOf(StyleFinding::How::Settled, year.line, year.text);
        }
    }
    m_dateFinding = finding;
}

void ImportPlan::setEncoding(TextEncoding encoding)
{
    if (encoding == m_encoding)
        return;
    m_encoding = encoding;
    analyse();
}

void ImportPlan::setSeparator(char separator)
{
    if (separator == m_separator)
        return;
    m_separator = separator;
    analyse();
}

void ImportPlan::setNumberStyle(NumberStyle style)
{
    m_numbersChosen = true;
    m_numberFinding = findingOf(StyleFinding::How::Chosen);
    if (style == m_rules.numbers)
        return;
    m_rules.numbers = style;
    changed();
}

void ImportPlan::setDateStyle(DateStyle style)
{
    m_datesChosen = true;
    m_dateFinding = findingOf(StyleFinding::How::Chosen);
    if (style == m_rules.dates)
        return;
    m_rules.dates = style;
    changed();
}

void ImportPlan::setMapping(int column, ItemField field)
{
    if (column < 0 || std::size_t(column) >= m_mapping.size())
        return;
    if (field != ItemField::None) {
        for (ItemField &other : m_mapping) {
            if (other == field)
                other = ItemField::None;
        }
    }
    m_mapping[std::size_t(column)] = field;
    // The columns of numbers and dates may be others now.
    decideNumbers();
    decideDates();
    changed();
}

bool ImportPlan::mapsDescription() const
{
    return std::find(m_mapping.begin(), m_mapping.end(), ItemField::Item) != m_mapping.end();
}

const ImportSummary &ImportPlan::summary() const
{
    if (!m_summary)
        m_summary = checkRows({});
    return *m_summary;
}

ImportSummary ImportPlan::checkRows(const RowVisitor &visit) const
{
    ImportSummary summary;
    const ItemRowChecker checker(m_mapping, m_rules);
    std::vector<ImportProblem> problems;
    qsizetype index = 0;
    const ReadingEnd end = readRecords([&](CsvRecord &record, CsvReader &) {
        if (index++ <= m_headingRecord)
            return;
        problems.clear();
        const std::optional<CheckedItem> item = checker.check(record, problems);
        if (!item)
            return;
        ++summary.rows;
        summary.goodRows += item->good;
        summary.storableRows += item->storable;
        summary.problemCount += qint64(problems.size());
        for (const ImportProblem &problem : problems) {
            if (summary.problems.size() >= std::size_t(KeptProblems))
                break;
            summary.problems.push_back(problem);
        }
        if (summary.firstRows.size() < std::size_t(PreviewRows))
            summary.firstRows.push_back(*item);
        if (visit)
            visit(*item, problems);
    });
    if (end.checksum != m_checksum)
        throw ImportError(QStringLiteral("The file '%1' has changed since it was opened; open it again.")
                              .arg(QDir::toNativeSeparators(m_path)));
    if (const std::optional<int> line = end.unclosedQuoteLine) {
        const int after = end.lineCount - *line;
        summary.problems.push_back({*line, ItemField::None,
                                    QStringLiteral("a quote opened on this line is never closed; this line and the "
                                                   "%1 after it are not imported.")
                                        .arg(QLocale().toString(after))});
        ++summary.problemCount;
    }
    return summary;
}

QString describeProblem(const ImportProblem &problem)
{
    if (problem.field == ItemField::None)
        return QStringLiteral("Line %1: %2").arg(problem.line).arg(problem.message);
    return QStringLiteral("Line %1, %2: %3").arg(problem.line).arg(fieldCaption(problem.field), problem.message);
}

QString describeReading(const ImportPlan &plan)
{
    QString text = encodingName(plan.encoding());
    if (plan.byteOrderMark())
        text += QStringLiteral(" with a byte order mark");
    text += QStringLiteral(", separated by ") + separatorWords(plan.separator());
    if (plan.separatorNamedByFile())
        text += QStringLiteral(" (as its first line says)");
    if (plan.isOwnExport())
        text += QStringLiteral("; an export of Stowbook");
    return text;
}

QString describeNumbers(const ImportPlan &plan)
{
    const StyleFinding &found = plan.numberFinding();
    const QString example = numberStyleExample(plan.numberStyle());
    switch (found.how) {
    case StyleFinding::How::NoValues:
        break;
    case StyleFinding::How::Settled:
        return QStringLiteral("Numbers are read as written like %1: line %2 holds %3.")
            .arg(example, QString::number(found.line), quotedValue(found.text));
    case StyleFinding::How::Unsettled:
        return QStringLiteral("No number shows whether a point or a comma comes before the decimals (line %1: %2); "
                              "they are read as this computer writes them, like %3.")
            .arg(QString::number(found.line), quotedValue(found.text), example);
    case StyleFinding::How::Mixed:
        return QStringLiteral("Line %1 (%2) and line %3 (%4) write numbers differently; they are read as %5, like "
                              "%6, and the others are listed as problems.")
            .arg(QString::number(found.line), quotedValue(found.text), QString::number(found.otherLine),
                 quotedValue(found.otherText),
                 found.byLocale ? QStringLiteral("this computer writes them") : QStringLiteral("most are written"),
                 example);
    case StyleFinding::How::Chosen:
        return QStringLiteral("Numbers are read as written like %1, as chosen.").arg(example);
    }
    return QString();
}

QString describeDates(const ImportPlan &plan)
{
    const StyleFinding &found = plan.dateFinding();
    const QString order = dateStyleWords(plan.dateStyle());
    switch (found.how) {
    case StyleFinding::How::NoValues:
        break;
    case StyleFinding::How::Settled:
        return QStringLiteral("Dates are read %1: line %2 holds %3.")
            .arg(order, QString::number(found.line), quotedValue(found.text));
    case StyleFinding::How::Unsettled:
        return QStringLiteral("No date shows whether the day or the month comes first (line %1: %2); they are read "
                              "in this computer's order, %3.")
            .arg(QString::number(found.line), quotedValue(found.text), order);
    case StyleFinding::How::Mixed:
        return QStringLiteral("Line %1 (%2) and line %3 (%4) put the day and the month in different orders; dates "
                              "are read in %5, %6, and the others are listed as problems.")
            .arg(QString::number(found.line), quotedValue(found.text), QString::number(found.otherLine),
                 quotedValue(found.otherText),
                 found.byLocale ? QStringLiteral("this computer's order") : QStringLiteral("the order of most"), order);
    case StyleFinding::How::Chosen:
        return QStringLiteral("Dates are read %1, as chosen.").arg(order);
    }
    return QString();
}

QString countOf(qint64 count, const QString &one, const QString &many)
{
    return QLocale().toString(count) + u' ' + (count == 1 ? one : many);
}
