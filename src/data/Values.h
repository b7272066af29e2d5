#pragma once

#include "data/Money.h"

#include <QVariant>
#include <optional>

struct sqlite3_stmt;

// How the program reads a column, from the type the table declares for it.
enum class ColumnKind {
    Raw,     // as SQLite holds it: text, real, blob, integer
    Integer, // int, or qlonglong beyond 32 bits
    Boolean, // bool
    Money,   // Money; stored as a number
    Date,    // DateValue; stored as ISO-8601 text
};

// CURRENCY or MONEY -> Money; DATE or TIME -> Date; BOOL -> Boolean;
// INT -> Integer; anything else, and no declared type, -> Raw.
ColumnKind kindFromDeclType(const char *declType);

// The column's value as the program sees it. A stored value that does not fit
// the kind (text in a money column, say) is given as SQLite holds it, so
// nothing stored is ever hidden. SQL Null is a null QVariant.
QVariant readColumn(sqlite3_stmt *statement, int column, ColumnKind kind);

// A money column's value as readColumn reads it, without the QVariant, for
// readings of many rows; std::nullopt for Null and for what is no amount.
std::optional<Money> readMoney(sqlite3_stmt *statement, int column);

// Binds one value: QString text, integers and bool as integer, double real,
// Money real (four decimals), DateValue/QDate/QDateTime ISO-8601 text,
// QByteArray blob, an invalid or null QVariant Null. Other types, and dates
// that have no ISO text, are refused with SQLITE_MISMATCH. Returns SQLite's
// result code.
int bindValue(sqlite3_stmt *statement, int index, const QVariant &value);

// A value given by the program, converted for a column of the kind:
// std::nullopt when it cannot stand there (the caller reports "Data type
// mismatch"). Null stays Null in every kind.
std::optional<QVariant> convertForColumn(const QVariant &value, ColumnKind kind);

// int when the number fits in 32 bits, else qlonglong.
QVariant integerVariant(qint64 value);
