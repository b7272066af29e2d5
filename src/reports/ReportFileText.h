#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Report files are written as UTF-8. Older files were written in the
// Windows-1252 code page; any byte that does not begin a well-formed UTF-8
// sequence is read as Windows-1252, so both kinds (and a mix) read right.
// A leading UTF-8 byte order mark is dropped.
QString decodeUtf8Or1252(const QByteArray &bytes);
// Every byte as Windows-1252, for text known to be in that code page.
QString decodeWindows1252(QByteArrayView bytes);

// The lines of a file's text. Lines end with CR LF; a lone LF or CR is
// taken as a line end too, so a file saved by another editor still reads.
// A last line without a line end counts; the empty text after the final
// line end does not.
QStringList splitFileLines(const QString &text);
