#pragma once

#include <QString>

class Database;

// The statement the export runs: every item with every column, the
// category and location by their descriptions, in key order; and the same
// with each item's warranty and disposal, for an inventory that has them.
// Public so that a benchmark can hand the same query to the sqlite3 shell.
extern const QString ItemExportStatement;
extern const QString ItemExportStatementWithStatus;

// Writes every item to a CSV file (see CsvWriter.h): a heading row with
// "ID" and the form's captions (then "Warranty Ends", "Lifetime Warranty",
// "Warranty Details", "Date Disposed" and "How Disposed" when the inventory
// ever had a warranty or a disposal), then one row per item; items that
// left the household too. Amounts are plain
// decimals ("1234.5"), dates ISO ("2021-03-15"), the receipt "Yes" or
// "No" (the lifetime warranty too), the way an item left the household
// "sold", "given away" or "thrown away", so any spreadsheet reads the file alike in any locale; a value the
// column cannot hold (text in an amount column, say) is written as stored.
// No value (Null) is an empty field, an empty text a pair of quotes. Texts
// that a spreadsheet would run as formulas are guarded (FormulaCells.h).
// An existing file is replaced only by a complete export.
// Returns the number of items written. Throws DbError: the database's
// failures as they come, a file that cannot be written as
// DbError::PathFileAccess.
int exportItems(Database &db, const QString &path);
