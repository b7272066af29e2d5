#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

// Reading comma, semicolon or tab separated files (libcsv does the parsing).
// Fields may be quoted with double quotes, a quote inside doubled; a quoted
// field may hold separators and line breaks. Blanks around an unquoted
// field are dropped. Lines may end in CR LF, LF or CR, mixed in one file.

enum class TextEncoding { Utf8, Windows1252, Utf16 };

// The file's encoding: UTF-16 by its byte order mark; UTF-8 with a mark, or
// when every byte sequence is well-formed UTF-8; else Windows-1252.
TextEncoding detectEncoding(QByteArrayView bytes);

// The file's bytes as UTF-8 without a byte order mark, when its encoding is
// UTF-8 or UTF-16; Windows-1252 bytes are passed on unchanged (every field
// is decoded on its own, and the separators are ASCII in all of them).
QByteArray toParsableBytes(QByteArrayView bytes, TextEncoding encoding);

// The separator that splits the first rows into the same number of fields
// (two at least) most often: ',', ';' or '\t'; ',' when none does.
char detectSeparator(QByteArrayView parsableBytes);

struct CsvRecord {
    int line = 0; // the line it begins on, counted from 1
    // Null stands for an empty field without quotes; "" for a pair of quotes.
    QList<std::optional<QString>> fields;
    // Fields beyond the kept ones (see readCsv), and whether any of them
    // held something.
    int droppedFields = 0;
    bool droppedText = false;

    // True when the record holds nothing but empty fields.
    bool isBlank() const;
};

struct CsvTable {
    std::vector<CsvRecord> records;
    // A quote opened on this line is never closed: the record that begins
    // there and everything after it are not in records.
    std::optional<int> unclosedQuoteLine;
    // Lines in the whole file.
    int lineCount = 0;
};

// Parses the bytes prepared by toParsableBytes. Each record keeps at most
// maxFields fields. Fields are decoded as the encoding says: UTF-8 (bytes
// that are not UTF-8 read as Windows-1252) or Windows-1252. Throws
// std::bad_alloc when memory runs out.
CsvTable readCsv(QByteArrayView parsableBytes, char separator, TextEncoding encoding, int maxFields);
