#include "data/RecordsetImpl.h"

#include "data/SelectText.h"

#include <QStringList>
#include <limits>
#include <optional>
#include <sqlite3.h>

static QString utf8OrEmpty(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

static DbError notUpdatable(const QString &why)
{
    return DbError(SQLITE_ERROR, QStringLiteral("The statement cannot be opened as a dynaset: %1.").arg(why));
}

void Recordset::Impl::describeColumns(sqlite3_stmt *statement)
{
    const int count = sqlite3_column_count(statement);
    columns.clear();
    for (int i = 0; i < count; ++i) {
        RecordsetColumn column;
        column.name = utf8OrEmpty(sqlite3_column_name(statement, i));
        column.kind = kindFromDeclType(sqlite3_column_decltype(statement, i));
        column.origin = utf8OrEmpty(sqlite3_column_origin_name(statement, i));
        columns.push_back(column);
    }
}

void Recordset::Impl::openSnapshot(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    Statement statement(db, sql);
    // Opening a recordset must never change the file.
    if (!sqlite3_stmt_readonly(statement.get()) || statement.columnCount() == 0)
        throw DbError(SQLITE_MISUSE, QStringLiteral("A recordset needs a statement that only reads rows."));
    describeColumns(statement.get());
    statement.bindAll(params);
    const int count = int(columns.size());
    while (statement.step()) {
        std::vector<QVariant> values;
        values.reserve(std::size_t(count));
        for (int i = 0; i < count; ++i)
            values.push_back(readColumn(statement.get(), i, columns[std::size_t(i)].kind));
        rows.push_back(std::move(values));
    }
}

void Recordset::Impl::openDynaset(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    dynaset = true;
    Statement original(db, sql);
    if (!sqlite3_stmt_readonly(original.get()) || original.columnCount() == 0)
        throw notUpdatable(QStringLiteral("it does not only read rows"));
    describeColumns(original.get());
    for (int i = 0; i < int(columns.size()); ++i) {
        const QString columnTable = utf8OrEmpty(sqlite3_column_table_name(original.get(), i));
        if (columnTable.isEmpty())
            continue; // an expression: read, never written
        if (utf8OrEmpty(sqlite3_column_database_name(original.get(), i)) != QLatin1String("main"))
            throw notUpdatable(QStringLiteral("its table is not in the main database"));
        if (table.isEmpty())
            table = columnTable;
        else if (table.compare(columnTable, Qt::CaseInsensitive) != 0)
            throw notUpdatable(QStringLiteral("its columns come from more than one table"));
    }
    if (table.isEmpty())
        throw notUpdatable(QStringLiteral("none of its columns comes from a table"));
    findKeyColumn(db);
    collectKeys(db, sql, original.get(), params);
    prepareRowReader(db, sql, params);
}

// The rowid is the key. When the table names an INTEGER PRIMARY KEY, that
// column is the rowid under its own name and is what the program reads.
void Recordset::Impl::findKeyColumn(sqlite3 *db)
{
    Statement info(db, QStringLiteral("select name, type, pk from pragma_table_info(?1)"));
    info.bind(1, table);
    QStringList primaryKey;
    QString primaryKeyType;
    while (info.step()) {
        if (info.int64Value(2) > 0) {
            primaryKey << info.rawValue(0).toString();
            primaryKeyType = info.rawValue(1).toString();
        }
    }
    info.reset();
    if (primaryKey.size() == 1 && primaryKeyType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
        keyColumn = primaryKey.front();
        int autoInc = 0;
        const QByteArray tableName = table.toUtf8();
        const QByteArray columnName = keyColumn.toUtf8();
        if (sqlite3_table_column_metadata(db, "main", tableName.constData(), columnName.constData(), nullptr, nullptr,
                                          nullptr, nullptr, &autoInc)
            == SQLITE_OK)
            autoIncrement = autoInc != 0;
    }
    for (RecordsetColumn &column : columns)
        column.isKey = !keyColumn.isEmpty() && column.origin.compare(keyColumn, Qt::CaseInsensitive) == 0;
}

// Only the keys are read at open. The statement's list is replaced by the
// table's rowid, so no column of any row is read; where that changes the
// statement (an order by a list alias or a parameter in the list) the rowid
// is added after the list instead, which keeps every name and column number.
void Recordset::Impl::collectKeys(sqlite3 *db, const QString &sql, sqlite3_stmt *original, const QVariantList &params)
{
    const QString rowid = quoteIdentifier(table) + QStringLiteral(".rowid");
    struct KeyQuery {
        QString sql;
        bool keyLast; // the key after the statement's own columns, else alone
    };
    std::vector<KeyQuery> candidates;
    if (const auto parts = splitSelect(sql)) {
        const QString head = sql.left(parts->listStart);
        const QString list = sql.mid(parts->listStart, parts->fromStart - parts->listStart).trimmed();
        const QString rest = sql.mid(parts->fromStart);
        if (!parts->numberedOrderTerm)
            candidates.push_back({head + u' ' + rowid + u' ' + rest, false});
        candidates.push_back({head + u' ' + list + QStringLiteral(", ") + rowid + u' ' + rest, true});
        candidates.push_back({head + u' ' + list + QStringLiteral(", rowid ") + rest, true});
    }
    const int parameterCount = sqlite3_bind_parameter_count(original);
    for (const KeyQuery &candidate : candidates) {
        Statement keyStatement = Statement::tryPrepare(db, candidate.sql);
        if (!keyStatement.isValid() || sqlite3_bind_parameter_count(keyStatement.get()) != parameterCount)
            continue;
        const int keyIndex = candidate.keyLast ? keyStatement.columnCount() - 1 : 0;
        keyStatement.bindAll(params);
        while (keyStatement.step())
            keys.push_back(keyStatement.int64Value(keyIndex));
        keyStatement.reset();
        return;
    }
    throw notUpdatable(QStringLiteral("the keys of its rows cannot be read"));
}

void Recordset::Impl::prepareRowReader(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    const QString quotedTable = quoteIdentifier(table);
    bool hasExpressions = false;
    QStringList fromTable;
    for (const RecordsetColumn &column : columns) {
        hasExpressions = hasExpressions || column.origin.isEmpty();
        fromTable << (column.origin.isEmpty() ? QStringLiteral("NULL") : quoteIdentifier(column.origin));
    }
    if (hasExpressions) {
        // The statement's own list, so expressions are worked out for the row.
        if (const auto parts = splitSelect(sql)) {
            const QString list = sql.mid(parts->listStart, parts->fromStart - parts->listStart);
            Statement reader = Statement::tryPrepare(db,
                                                     sql.left(parts->listStart) + list + QStringLiteral(" from ")
                                                         + quotedTable + QStringLiteral(" where ") + quotedTable
                                                         + QStringLiteral(".rowid = :stowbook_key"));
            if (reader.isValid() && reader.columnCount() == int(columns.size())) {
                rowReaderKeyIndex = sqlite3_bind_parameter_index(reader.get(), ":stowbook_key");
                rowReaderParams = params.mid(0, rowReaderKeyIndex - 1);
                rowReader = std::move(reader);
                return;
            }
        }
    }
    // Otherwise the columns straight from the table (an expression that
    // cannot be worked out alone reads as Null).
    rowReader = Statement(db,
                          QStringLiteral("select ") + fromTable.join(QStringLiteral(", ")) + QStringLiteral(" from ")
                              + quotedTable + QStringLiteral(" where rowid = ?1"));
    rowReaderKeyIndex = 1;
}

bool Recordset::Impl::readRow(qint64 key, std::vector<QVariant> &values)
{
    rowReader.reset();
    rowReader.bindAll(rowReaderParams);
    rowReader.bind(rowReaderKeyIndex, QVariant(qlonglong(key)));
    const bool found = rowReader.step();
    if (found) {
        values.clear();
        for (int i = 0; i < int(columns.size()); ++i)
            values.push_back(readColumn(rowReader.get(), i, columns[std::size_t(i)].kind));
    }
    rowReader.reset();
    return found;
}

// An AUTOINCREMENT table keeps its high-water mark in sqlite_sequence; moving
// it on inside a write transaction hands the key to this recordset alone,
// even before the row is written. Other tables can only take the next free
// rowid.
qint64 Recordset::Impl::reserveKey(Database &db)
{
    // Inside a transaction of the caller's the key is part of it.
    std::optional<Transaction> own;
    if (sqlite3_get_autocommit(db.handle()) != 0)
        own.emplace(db);
    const QString quotedTable = quoteIdentifier(table);
    const QVariant maxRowid = db.scalar(QStringLiteral("select max(rowid) from ") + quotedTable);
    qint64 last = maxRowid.isNull() ? 0 : maxRowid.toLongLong();
    QVariant sequence;
    if (autoIncrement) {
        sequence = db.scalar(QStringLiteral("select seq from sqlite_sequence where name = ?1"), {table});
        if (!sequence.isNull())
            last = qMax(last, sequence.toLongLong());
    }
    if (last == std::numeric_limits<qint64>::max())
        throw DbError(SQLITE_FULL, QString::fromUtf8(sqlite3_errstr(SQLITE_FULL)));
    const qint64 key = last + 1;
    if (autoIncrement) {
        if (sequence.isNull())
            db.execute(QStringLiteral("insert into sqlite_sequence (name, seq) values (?1, ?2)"),
                       {table, qlonglong(key)});
        else
            db.execute(QStringLiteral("update sqlite_sequence set seq = ?2 where name = ?1"), {table, qlonglong(key)});
    }
    if (own)
        own->commit();
    return key;
}

QSet<qint64> Recordset::Impl::keysWhere(sqlite3 *db, const QString &condition, const QVariantList &params) const
{
    // The recordset's names over the table's columns, so a condition may
    // use an alias ("id = 5" on "select catid as id ...").
    QStringList select{quoteIdentifier(table) + QStringLiteral(".rowid as stowbook_key")};
    for (const RecordsetColumn &column : columns) {
        if (!column.origin.isEmpty())
            select << quoteIdentifier(column.origin) + QStringLiteral(" as ") + quoteIdentifier(column.name);
    }
    // Named like the table, so "items.iteid" works in the condition too.
    Statement statement(db,
                        QStringLiteral("select stowbook_key from (select ") + select.join(QStringLiteral(", "))
                            + QStringLiteral(" from ") + quoteIdentifier(table) + QStringLiteral(") as ")
                            + quoteIdentifier(table) + QStringLiteral(" where (") + condition + QStringLiteral(")"));
    statement.bindAll(params);
    QSet<qint64> found;
    while (statement.step())
        found.insert(statement.int64Value(0));
    statement.reset();
    return found;
}

Statement Recordset::Impl::prepareRowTest(sqlite3 *db, const QString &condition) const
{
    // The row's values come first in the text, so they take ?1 ... ?n and
    // the condition's own "?" placeholders number on after them.
    QStringList select;
    for (int i = 0; i < int(columns.size()); ++i)
        select << QStringLiteral("?%1 as ").arg(i + 1) + quoteIdentifier(columns[std::size_t(i)].name);
    return Statement(db,
                     QStringLiteral("select 1 from (select ") + select.join(QStringLiteral(", "))
                         + QStringLiteral(") where (") + condition + QStringLiteral(")"));
}
