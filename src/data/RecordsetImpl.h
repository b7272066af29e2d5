#pragma once

#include "data/Recordset.h"
#include "data/SqliteSupport.h"
#include "data/Values.h"

#include <QSet>
#include <QString>
#include <QVariant>
#include <vector>

struct RecordsetColumn {
    QString name;   // as the statement names it (an alias where it gives one)
    QString origin; // the table column behind it; empty for an expression
    ColumnKind kind = ColumnKind::Raw;
    bool isKey = false; // the table's integer primary key
};

struct Recordset::Impl {
    bool open = true;
    bool dynaset = false;
    std::vector<RecordsetColumn> columns;

    // The position: -1 is BOF and rowCount() EOF. When onDeletedRow is set,
    // the row that stood at `position` was deleted through this recordset and
    // the position is the gap it left, just before the row now at `position`.
    qsizetype position = -1;
    bool onDeletedRow = false;

    // Snapshot: the copied rows.
    std::vector<std::vector<QVariant>> rows;

    // Dynaset: the table, its key and the keys of the rows, in statement order.
    QString table;
    QString keyColumn; // the integer primary key column, or empty (then rowid)
    bool autoIncrement = false;
    std::vector<qint64> keys;
    // Reads one row by key; reset after each read so no read stays open.
    Statement rowReader;
    QVariantList rowReaderParams; // the statement's own values, for a reader with expressions
    int rowReaderKeyIndex = 1;
    // The current row as last read; loaded lazily after each move.
    bool rowLoaded = false;
    bool rowMissing = false;
    std::vector<QVariant> row;

    // The row being edited or added, and which columns were set.
    std::vector<QVariant> buffer;
    std::vector<bool> changed;
    qint64 newKey = 0;
    qsizetype positionBeforeAdd = -1;
    bool onDeletedRowBeforeAdd = false;

    qsizetype rowCount() const { return dynaset ? qsizetype(keys.size()) : qsizetype(rows.size()); }
    void setPosition(qsizetype newPosition)
    {
        position = newPosition;
        onDeletedRow = false;
        rowLoaded = false;
    }

    // Opening (RecordsetOpen.cpp).
    void openSnapshot(sqlite3 *db, const QString &sql, const QVariantList &params);
    void openDynaset(sqlite3 *db, const QString &sql, const QVariantList &params);
    // The dynaset row of the key; false when no such row is stored any more.
    bool readRow(qint64 key, std::vector<QVariant> &values);
    // Takes the next counter key of the table so no other program gets it.
    qint64 reserveKey(Database &db);
    // The keys of the table's rows for which the condition holds; the
    // condition may use the recordset's own column names.
    QSet<qint64> keysWhere(sqlite3 *db, const QString &condition, const QVariantList &params) const;
    // The same test for copied rows: a statement that gives a row when the
    // condition holds for the values bound to ?1 ... ?n (the columns).
    Statement prepareRowTest(sqlite3 *db, const QString &condition) const;

private:
    void describeColumns(sqlite3_stmt *statement);
    void findKeyColumn(sqlite3 *db);
    void collectKeys(sqlite3 *db, const QString &sql, sqlite3_stmt *original, const QVariantList &params);
    void prepareRowReader(sqlite3 *db, const QString &sql, const QVariantList &params);
};
