#include "data/SqliteSupport.h"

#include "data/Values.h"

#include <sqlite3.h>
#include <utility>

void CloseSqlite::operator()(sqlite3 *db) const noexcept
{
    sqlite3_close_v2(db);
}

SqliteConnection openSqlite(const QString &path, int flags, int &resultCode)
{
    sqlite3 *db = nullptr;
    resultCode = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    return SqliteConnection(db);
}

int closeSqlite(SqliteConnection &connection)
{
    if (!connection)
        return SQLITE_OK;
    const int rc = sqlite3_close(connection.get());
    if (rc == SQLITE_OK)
        (void)connection.release();
    return rc;
}

DbError sqliteError(sqlite3 *db, int resultCode, SqlContext context)
{
    const int primary = resultCode & 0xff;
    QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(primary));
    // errmsg may describe an older failure when the code came from elsewhere.
    if (db && (sqlite3_errcode(db) & 0xff) != primary)
        text = QString::fromUtf8(sqlite3_errstr(primary));
    switch (primary) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return DbError(DbError::NotDatabase, text);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        if (context == SqlContext::Open)
            return DbError(DbError::InUse, text);
        if (context == SqlContext::Write)
            return DbError(DbError::RecordLocked, text);
        break;
    default:
        break;
    }
    return DbError(primary, text);
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void requireHandle(sqlite3 *db)
{
    if (!db)
        throw DbError::objectClosed();
}

Statement::Statement(sqlite3 *db, const QString &sql, SqlContext context) : m_db(db)
{
    requireHandle(db);
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        const DbError error = sqliteError(db, rc, context);
        finalize();
        throw error;
    }
    if (!m_stmt)
        throw DbError(SQLITE_MISUSE, QStringLiteral("The statement is empty."));
}

Statement Statement::tryPrepare(sqlite3 *db, const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return Statement();
    }
    return Statement(db, stmt);
}

Statement::~Statement()
{
    finalize();
}

Statement::Statement(Statement &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        finalize();
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

void Statement::finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

void Statement::bindAll(const QVariantList &params, int firstIndex)
{
    sqlite3_clear_bindings(m_stmt);
    const int available = sqlite3_bind_parameter_count(m_stmt) - firstIndex + 1;
    if (params.size() > available) {
        throw DbError(SQLITE_RANGE,
                      QStringLiteral("%1 values given for %2 parameters.").arg(params.size()).arg(qMax(0, available)));
    }
    for (int i = 0; i < params.size(); ++i)
        bind(firstIndex + i, params[i]);
}

void Statement::bind(int index, const QVariant &value)
{
    const int rc = bindValue(m_stmt, index, value);
    if (rc != SQLITE_OK)
        throw sqliteError(m_db, rc, SqlContext::Read);
}

bool Statement::step()
{
    const bool returnsRows = sqlite3_stmt_readonly(m_stmt) && sqlite3_column_count(m_stmt) > 0;
    return step(returnsRows ? SqlContext::Read : SqlContext::Write);
}

bool Statement::step(SqlContext context)
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const DbError error = sqliteError(m_db, rc, context);
    sqlite3_reset(m_stmt);
    throw error;
}

void Statement::reset()
{
    if (m_stmt)
        sqlite3_reset(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QVariant Statement::rawValue(int column) const
{
    return readColumn(m_stmt, column, ColumnKind::Raw);
}

qint64 Statement::int64Value(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}
