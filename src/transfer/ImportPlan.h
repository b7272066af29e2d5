#pragma once

#include "transfer/CsvReader.h"
#include "transfer/ImportError.h"
#include "transfer/ItemFields.h"
#include "transfer/ItemRowCheck.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;

inline constexpr int MaxImportColumns = 256;

// How a way of reading the file's numbers or dates was settled, so that the
// window and the command line can say it.
struct StyleFinding {
    enum class How {
        NoValues,  // no value the ways of reading would read differently
        Settled,   // a value only one way reads (line, text)
        Unsettled, // values the ways read differently, none settling it: the locale's way (line, text)
        Mixed,     // values only one way reads, and others only another: the way of most (both)
        Chosen,    // by the user
    };
    How how = How::NoValues;
    int line = 0;
    QString text;
    int otherLine = 0;
    QString otherText;
    bool byLocale = false; // Mixed: as many one way as the other, so the locale's way
};

// The rows of a file checked once with the plan's choices.
struct ImportSummary {
    int rows = 0; // after the heading row, blank rows left out
    int goodRows = 0;
    int storableRows = 0;
    qint64 problemCount = 0;
    // The first problems, by line; a quote never closed comes last.
    std::vector<ImportProblem> problems;
    // The first rows, as they would be stored.
    std::vector<CheckedItem> firstRows;
};

// A file of items, looked at before anything is stored. The file is read a
// piece at a time, every time its rows are needed, and never held whole:
// what the plan keeps is its headings, the first records, what its values
// tell about their number style and date order, and once checked the
// problems and the first rows. So a file of any size takes little memory.
//
// The first row that holds something is the heading row (after a first line
// "sep=;", which names the separator as spreadsheets write it); the headings
// are matched to the item fields, which the user may change. The encoding,
// the separator, the number style and the date order are found from the
// whole file and may be changed too. The number style is decided from all
// the values of the columns of amounts and quantities, the date order from
// all the values of the date columns; both follow the mapping until the user
// chooses one.
class ImportPlan {
public:
    static constexpr int KeptProblems = 1000;
    static constexpr int PreviewRows = 8;

    // Throws ImportError when the file cannot be read, holds no rows, more
    // than MaxImportColumns columns, or a row too large to be a list's.
    static ImportPlan fromFile(const QString &path);
    static ImportPlan fromBytes(QByteArray bytes);

    TextEncoding encoding() const { return m_encoding; }
    // The file begins with the byte order mark of its encoding.
    bool byteOrderMark() const;
    char separator() const { return m_separator; }
    bool separatorNamedByFile() const { return m_separatorLine; }
    NumberStyle numberStyle() const { return m_rules.numbers; }
    const StyleFinding &numberFinding() const { return m_numberFinding; }
    DateStyle dateStyle() const { return m_rules.dates; }
    const StyleFinding &dateFinding() const { return m_dateFinding; }
    // An export of this program: its formula apostrophes come off.
    bool isOwnExport() const { return m_rules.exportApostrophes; }
    const ReadingRules &rules() const { return m_rules; }

    // Read the file again: the headings are matched anew. Throw ImportError
    // as fromFile does.
    void setEncoding(TextEncoding encoding);
    void setSeparator(char separator);
    void setNumberStyle(NumberStyle style);
    void setDateStyle(DateStyle style);

    const QStringList &headings() const { return m_headings; }
    const std::vector<ItemField> &mapping() const { return m_mapping; }
    // Reads column into field; a column that held the field before lets it go.
    void setMapping(int column, ItemField field);
    bool mapsDescription() const;

    // The heading row and the records after it, up to PreviewRows, as read.
    const std::vector<CsvRecord> &firstRecords() const { return m_firstRecords; }
    // A quote opened on this line is never closed; nothing after it is read.
    std::optional<int> unclosedQuoteLine() const { return m_unclosedQuoteLine; }

    // The rows checked with the plan's choices: the file is read for it the
    // first time it is asked after a change. Throws ImportError when the
    // file cannot be read or has changed since it was opened.
    const ImportSummary &summary() const;

    // Reads and checks every row, handing each to visit with its problems,
    // in file order; throws as summary() does, and whatever visit throws.
    using RowVisitor = std::function<void(const CheckedItem &item, const std::vector<ImportProblem> &problems)>;
    ImportSummary checkRows(const RowVisitor &visit) const;

private:
    ImportPlan(QString path, QByteArray bytes);
    std::unique_ptr<QIODevice> openDevice() const;
    // Reads every record of the file once and hands it to onRecord.
    struct ReadingEnd {
        std::optional<int> unclosedQuoteLine;
        int lineCount = 0;
        quint64 checksum = 0;
    };
    ReadingEnd readRecords(const std::function<void(CsvRecord &, CsvReader &)> &onRecord) const;
    void detectEncodingAndSeparator();
    void analyse();
    void decideNumbers();
    void decideDates();
    void changed() { m_summary.reset(); }

    // Where the first value of each kind was seen in a column.
    struct Seen {
        int line = 0;
        QString text;
        qint64 count = 0; // values of the kind in all
    };
    struct ColumnClues {
        std::array<Seen, 7> numbers; // by NumberClue
        std::array<Seen, 6> dates;   // by DateClue
    };

    QString m_path;     // the file; empty for bytes held in memory
    QByteArray m_bytes; // those bytes
    TextEncoding m_encoding = TextEncoding::Utf8;
    FileStart m_start;
    char m_separator = ',';
    bool m_separatorLine = false; // the first line is "sep=;"
    ReadingRules m_rules;
    bool m_numbersChosen = false;
    bool m_datesChosen = false;
    StyleFinding m_numberFinding;
    StyleFinding m_dateFinding;

    QStringList m_headings;
    std::vector<ItemField> m_mapping;
    qsizetype m_headingRecord = 0; // records before it in the file, blank ones included
    std::vector<CsvRecord> m_firstRecords;
    std::vector<ColumnClues> m_clues;
    std::optional<int> m_unclosedQuoteLine;
    quint64 m_checksum = 0; // of the bytes the headings were read from
    mutable std::optional<ImportSummary> m_summary;
};

// How a problem reads in a list: "Line 7, Purchase Price: ..." or "Line 7: ...".
QString describeProblem(const ImportProblem &problem);

// How the file is read, in words: "UTF-8 with a byte order mark, separated
// by semicolons (as its first line says)".
QString describeReading(const ImportPlan &plan);
// How its numbers and its dates are read and why; empty when there is
// nothing to say (no values that the ways of reading read differently).
QString describeNumbers(const ImportPlan &plan);
QString describeDates(const ImportPlan &plan);

// "1 row", "20,000 rows": a count with its noun, grouped as the locale
// groups the amounts beside it.
QString countOf(qint64 count, const QString &one, const QString &many);
