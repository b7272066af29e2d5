#pragma once

#include "transfer/CsvReader.h"
#include "transfer/ItemFields.h"
#include "transfer/ItemRowCheck.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

// A file that cannot be imported at all, with the reason for the user.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

inline constexpr qint64 MaxImportFileBytes = 100 * 1024 * 1024;
inline constexpr int MaxImportColumns = 256;

// A file of items read and checked before anything is stored. Its first
// row that holds something is the heading row; the headings are matched to
// the item fields, which the user may change. The encoding, the separator
// and the number style are detected and may be changed too; every change
// reads or checks the rows again. The number style is detected again for
// every new mapping until the user chooses one.
class ImportPlan {
public:
    // Throws ImportError when the file cannot be read, is larger than
    // MaxImportFileBytes, holds no rows or more than MaxImportColumns columns.
    static ImportPlan fromFile(const QString &path);
    static ImportPlan fromBytes(QByteArray bytes);

    TextEncoding encoding() const { return m_encoding; }
    char separator() const { return m_separator; }
    NumberStyle numberStyle() const { return m_numbers; }
    // Read the file again: the headings are matched anew.
    void setEncoding(TextEncoding encoding);
    void setSeparator(char separator);
    void setNumberStyle(NumberStyle style);

    const QStringList &headings() const { return m_headings; }
    const std::vector<ItemField> &mapping() const { return m_mapping; }
    // Reads column into field; a column that held the field before lets it go.
    void setMapping(int column, ItemField field);
    bool mapsDescription() const;

    // The rows after the heading row (blank rows left out), checked.
    const std::vector<CheckedItem> &rows() const { return m_rows; }
    // Every problem, by line; a quote never closed comes last.
    const std::vector<ImportProblem> &problems() const { return m_problems; }
    // The first few records as read (the heading row first), for a preview.
    std::vector<CsvRecord> firstRecords(int count) const;
    int goodRows() const;
    int storableRows() const;
    // A quote opened on this line is never closed; nothing after it is read.
    std::optional<int> unclosedQuoteLine() const { return m_table.unclosedQuoteLine; }

private:
    explicit ImportPlan(QByteArray bytes);
    void parse(bool detectSeparator);
    void check();

    QByteArray m_bytes;    // as in the file
    QByteArray m_parsable; // see toParsableBytes
    TextEncoding m_encoding = TextEncoding::Utf8;
    char m_separator = ',';
    NumberStyle m_numbers = NumberStyle::Plain;
    bool m_numbersChosen = false; // by the user: no longer detected
    CsvTable m_table;
    std::size_t m_headingRecord = 0;
    QStringList m_headings;
    std::vector<ItemField> m_mapping;
    std::vector<CheckedItem> m_rows;
    std::vector<ImportProblem> m_problems;
};

// How a problem reads in a list: "Line 7, Purchase Price: ..." or "Line 7: ...".
QString describeProblem(const ImportProblem &problem);
