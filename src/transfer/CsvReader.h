#pragma once

#include "transfer/ImportError.h"
#include "transfer/TextEncodings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;

// Reading comma, semicolon or tab separated files (libcsv does the parsing).
// Fields may be quoted with double quotes, a quote inside doubled; a quoted
// field may hold separators and line breaks, which are kept as written.
// Blanks around an unquoted field are dropped. Lines may end in CR LF, LF or
// CR, mixed in one file.

// The separator that splits the first rows into the same number of fields
// (two at least) most often: ',', ';' or '\t'; ',' when none does. When two
// split the rows alike, the one that splits more fields wins, and then the
// one that less often stands between two digits: in "Lamp;12,50" the comma
// is a decimal comma. sample: the start of the file as UTF-8.
char detectSeparator(QByteArrayView sample);

struct CsvRecord {
    int line = 0; // the line it begins on, counted from 1
    // Null stands for an empty field without quotes; "" for a pair of quotes.
    QList<std::optional<QString>> fields;
    // Fields beyond the kept ones (see CsvReader), and whether any of them
    // held something.
    int droppedFields = 0;
    bool droppedText = false;
    // The fields, by column, whose bytes were not all UTF-8 in a file read
    // as UTF-8: those bytes were read as Windows-1252.
    QList<int> notUtf8;

    // True when the record holds nothing but empty fields.
    bool isBlank() const;
};

// A row larger than this is no list of items: reading it would take the
// memory the import promises to keep small.
inline constexpr qsizetype MaxCsvRecordBytes = 16 * 1024 * 1024;

// Reads the records of a file one after another, a piece of the file at a
// time, so that a file of any size takes little memory. Each record keeps
// at most maxFields fields. The encoding says how the bytes become text: a
// byte order mark of that encoding at the start is passed over (UTF-16
// takes its byte order from it, little-endian without one); in UTF-8, bytes
// that are not UTF-8 are read as Windows-1252 and the record says so.
class CsvReader {
public:
    CsvReader(QIODevice &device, TextEncoding encoding, char separator, int maxFields);
    ~CsvReader();
    CsvReader(const CsvReader &) = delete;
    CsvReader &operator=(const CsvReader &) = delete;

    // The next record; false when the file holds no more. Throws
    // ImportError when the file cannot be read or a record is larger than
    // MaxCsvRecordBytes; std::bad_alloc when memory runs out.
    bool next(CsvRecord &record);

    // From now on a field is decoded only when wanted says so of its bytes
    // (as in the file; UTF-8 for a file in UTF-16); the others are given as
    // no value. For a reading that looks at a few values of each row.
    void decodeOnly(std::function<bool(QByteArrayView bytes)> wanted);

    // Known once next() has given false: a quote opened on this line is
    // never closed (the record that begins there is not given); the lines
    // of the whole file.
    std::optional<int> unclosedQuoteLine() const;
    int lineCount() const;
    // Of every byte read so far: a later reading of the same file can tell
    // that it changed in between.
    quint64 checksum() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

struct CsvTable {
    std::vector<CsvRecord> records;
    std::optional<int> unclosedQuoteLine;
    int lineCount = 0;
};

// Every record of bytes held in memory (a file as written, its mark
// included), for small texts. Throws as CsvReader::next.
CsvTable readCsv(QByteArrayView bytes, char separator, TextEncoding encoding, int maxFields);
