#include "transfer/ImportPlan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <new>

ImportPlan ImportPlan::fromFile(const QString &path)
{
    QFile file(path);
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(QStringLiteral("The file '%1' cannot be read: %2").arg(shownPath, file.errorString()));
    if (file.size() > MaxImportFileBytes)
        throw ImportError(QStringLiteral("The file '%1' is larger than %2 MB; it is not a list of items that "
                                         "can be imported.")
                              .arg(shownPath)
                              .arg(MaxImportFileBytes / (1024 * 1024)));
    QByteArray bytes = file.read(MaxImportFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw ImportError(QStringLiteral("The file '%1' cannot be read: %2").arg(shownPath, file.errorString()));
    if (bytes.size() > MaxImportFileBytes)
        throw ImportError(QStringLiteral("The file '%1' is larger than %2 MB; it is not a list of items that "
                                         "can be imported.")
                              .arg(shownPath)
                              .arg(MaxImportFileBytes / (1024 * 1024)));
    return fromBytes(std::move(bytes));
}

ImportPlan ImportPlan::fromBytes(QByteArray bytes)
{
    return ImportPlan(std::move(bytes));
}

ImportPlan::ImportPlan(QByteArray bytes) : m_bytes(std::move(bytes))
{
    m_encoding = detectEncoding(m_bytes);
    parse(true);
}

void ImportPlan::parse(bool detect)
{
    m_parsable = toParsableBytes(m_bytes, m_encoding);
    if (detect)
        m_separator = detectSeparator(m_parsable);
    try {
        m_table = readCsv(m_parsable, m_separator, m_encoding, MaxImportColumns + 1);
    } catch (const std::bad_alloc &) {
        throw ImportError(QStringLiteral("There is not enough memory to read the file."));
    }
    m_headingRecord = 0;
    while (m_headingRecord < m_table.records.size() && m_table.records[m_headingRecord].isBlank())
        ++m_headingRecord;
    if (m_headingRecord == m_table.records.size())
        throw ImportError(QStringLiteral("The file holds no rows."));
    const CsvRecord &heading = m_table.records[m_headingRecord];
    if (heading.fields.size() + heading.droppedFields > MaxImportColumns)
        throw ImportError(QStringLiteral("The heading row has more than %1 columns; it is not a list of items "
                                         "that can be imported.")
                              .arg(MaxImportColumns));
    m_headings.clear();
    for (const std::optional<QString> &field : heading.fields)
        m_headings << field.value_or(QString()).trimmed();
    m_mapping = matchHeadings(m_headings);
    if (!m_numbersChosen)
        m_numbers = detectNumberStyle(m_table.records, m_headingRecord + 1, m_mapping);
    check();
}

void ImportPlan::check()
{
    m_rows.clear();
    m_problems.clear();
    const ItemRowChecker checker(m_mapping, m_numbers);
    for (std::size_t r = m_headingRecord + 1; r < m_table.records.size(); ++r) {
        if (std::optional<CheckedItem> item = checker.check(m_table.records[r], m_problems))
            m_rows.push_back(std::move(*item));
    }
    if (const std::optional<int> line = m_table.unclosedQuoteLine) {
        const int after = m_table.lineCount - *line;
        m_problems.push_back({*line, ItemField::None,
                              QStringLiteral("a quote opened on this line is never closed; this line and the %1 "
                                             "after it are not imported.")
                                  .arg(after)});
    }
}

void ImportPlan::setEncoding(TextEncoding encoding)
{
    if (encoding == m_encoding)
        return;
    m_encoding = encoding;
    parse(false);
}

void ImportPlan::setSeparator(char separator)
{
    if (separator == m_separator)
        return;
    m_separator = separator;
    parse(false);
}

void ImportPlan::setNumberStyle(NumberStyle style)
{
    m_numbersChosen = true;
    if (style == m_numbers)
        return;
    m_numbers = style;
    check();
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
    // The columns of numbers may be others now.
    if (!m_numbersChosen)
        m_numbers = detectNumberStyle(m_table.records, m_headingRecord + 1, m_mapping);
    check();
}

bool ImportPlan::mapsDescription() const
{
    return std::find(m_mapping.begin(), m_mapping.end(), ItemField::Item) != m_mapping.end();
}

std::vector<CsvRecord> ImportPlan::firstRecords(int count) const
{
    std::vector<CsvRecord> records;
    for (std::size_t r = m_headingRecord; r < m_table.records.size() && int(records.size()) < count; ++r) {
        if (r == m_headingRecord || !m_table.records[r].isBlank())
            records.push_back(m_table.records[r]);
    }
    return records;
}

int ImportPlan::goodRows() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const CheckedItem &item) { return item.good; }));
}

int ImportPlan::storableRows() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const CheckedItem &item) { return item.storable; }));
}

QString describeProblem(const ImportProblem &problem)
{
    if (problem.field == ItemField::None)
        return QStringLiteral("Line %1: %2").arg(problem.line).arg(problem.message);
    return QStringLiteral("Line %1, %2: %3").arg(problem.line).arg(fieldCaption(problem.field), problem.message);
}
