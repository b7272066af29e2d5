#pragma once

#include "data/BufferedSaveFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Writes a CSV file as RFC 4180 describes it: UTF-8 (with a byte order mark,
// so that spreadsheets do not guess another code page), fields separated by
// commas, every line ended by CR LF. A field is quoted, its quotes doubled,
// when it holds a separator, a quote or a line break, when blanks begin or
// end it (a reader would trim them), and when it is the empty text: an
// unquoted empty field stands for "no value" (Null). Text fields may be
// guarded against being run as formulas (see FormulaCells.h).
//
// The file is written beside its final place and takes the name only at
// commit(), so an existing file is replaced by a complete one or not at all.
class CsvFileWriter {
public:
    explicit CsvFileWriter(const QString &path);

    // False when the file cannot be made; errorString() says why.
    bool open();
    // One field of the current row.
    void text(QByteArrayView utf8, bool guardFormula);
    void text(const QByteArray &utf8, bool guardFormula) { text(QByteArrayView(utf8), guardFormula); }
    void text(const QString &text, bool guardFormula) { this->text(text.toUtf8(), guardFormula); }
    void null();
    // Ends the row; false when writing failed.
    bool endRow();
    // Writes what is left and puts the file in its place.
    bool commit();
    QString errorString() const;

private:
    void separate();

    BufferedSaveFile m_file;
    bool m_rowStarted = false;
};

// Appends one field, quoted as the writer above does, to a line being built.
void appendCsvField(QByteArray &line, QByteArrayView utf8, bool guardFormula);
