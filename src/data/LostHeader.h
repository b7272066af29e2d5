#pragma once

#include <QString>

// A database file whose first 100 bytes (the header) were lost, zeroed or
// overwritten, while its pages are whole: SQLite no longer recognises it,
// yet every row is still there. This writes a new header into the file so
// that its rows can be read again. Only for a working copy: the file is
// changed in place.
//
// What the header held is worked out from the file itself: the page size is
// the smallest one at which the schema on the first page reads cleanly and
// every table and index it names starts on a page of its kind; the text
// encoding from the schema's text; the log mode from a write-ahead log
// beside the file. What cannot be known (the list of free pages, the user
// version) is left empty: the file is read, never written, afterwards.
//
// True when the header was rebuilt; false, and the file left as it was,
// when it still has its header or when no page size makes sense of it.
bool rebuildLostHeader(const QString &path);

// A file cut short: SQLite reads the missing end of its last page, and any
// page past the end that the header still counts, as zeros, and a row whose
// overflow lay there would come back with zeros for its text and numbers.
// This cuts a working copy to its whole pages and makes its header count
// only those, so that every reference to a missing page is seen as damage.
// Nothing is changed in a file without a header or one that is whole.
void fitToWholePages(const QString &path);
