#include "data/Database.h"

#include "data/Recordset.h"
#include "data/SqlFunctions.h"
#include "data/SqliteSupport.h"
#include "data/Values.h"

#include <sqlite3.h>
#include <unordered_map>

// Prepared statements of execute() and scalar(), so that a statement run many
// times (the setup program inserts whole tables row by row) is compiled once.
// Every statement is reset after use, so none holds a read open.
class StatementCache {
public:
    Statement *find(const QString &sql)
    {
        const auto it = m_statements.find(sql);
        return it == m_statements.end() ? nullptr : &it->second;
    }
    Statement &insert(const QString &sql, Statement statement)
    {
        // Texts built with values inside would grow the cache without end.
        if (m_statements.size() >= MaxStatements)
            m_statements.clear();
        return m_statements.insert_or_assign(sql, std::move(statement)).first->second;
    }
    void clear() { m_statements.clear(); }

private:
    static constexpr std::size_t MaxStatements = 64;
    std::unordered_map<QString, Statement> m_statements;
};

static bool onlyBlanksFollow(const char *text, const char *end)
{
    for (; text < end; ++text) {
        if (*text != ';' && *text != ' ' && *text != '\t' && *text != '\n' && *text != '\r')
            return false;
    }
    return true;
}

Database::Database(QString path, OpenMode mode)
    : m_path(std::move(path))
    , m_mode(mode)
    , m_statements(std::make_unique<StatementCache>())
{
}

Database::~Database()
{
    close();
}

std::unique_ptr<Database> Database::open(const QString &path, OpenMode mode)
{
    // An empty name would make SQLite create a private temporary database.
    if (path.isEmpty())
        throw DbError(SQLITE_CANTOPEN, QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));

    std::unique_ptr<Database> db(new Database(path, mode));
    // Never SQLITE_OPEN_CREATE: a missing file is an error, not a new database.
    // A connection is only ever used by the thread that opened it, so SQLite
    // need not take its mutex on every column read (NOMUTEX).
    int rc = SQLITE_OK;
    db->m_db = openSqlite(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, rc);
    if (rc != SQLITE_OK)
        throw sqliteError(db->handle(), rc, SqlContext::Open); // the owner closes the handle
    sqlite3_busy_timeout(db->handle(), db->m_busyTimeoutMs);
    if (const int frc = registerSqlFunctions(db->handle()); frc != SQLITE_OK)
        throw sqliteError(db->handle(), frc, SqlContext::Open);

    if (mode == OpenMode::Exclusive) {
        // The mode must be set before the first access; the exclusive
        // transaction then takes the file lock, which the mode keeps until close.
        db->runAtOpen(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
        db->runAtOpen(QStringLiteral("PRAGMA synchronous=FULL"));
        db->runAtOpen(QStringLiteral("BEGIN EXCLUSIVE"));
        db->runAtOpen(QStringLiteral("select count(*) from sqlite_master"));
        db->runAtOpen(QStringLiteral("COMMIT"));
    } else {
        db->runAtOpen(QStringLiteral("PRAGMA synchronous=FULL"));
        // The first read: a damaged file or one locked by another program
        // fails here, at open, as the program expects.
        db->runAtOpen(QStringLiteral("select count(*) from sqlite_master"));
    }
    return db;
}

void Database::runAtOpen(const QString &sql)
{
    Statement statement(handle(), sql, SqlContext::Open);
    while (statement.step(SqlContext::Open)) {
    }
}

bool Database::isOpen() const
{
    return m_db != nullptr;
}

void Database::requireOpen() const
{
    requireHandle(handle());
}

void Database::close()
{
    if (!m_db)
        return;
    const std::vector<Recordset *> recordsets = std::move(m_recordsets);
    m_recordsets.clear();
    for (Recordset *rs : recordsets)
        rs->detachFromDatabase();
    m_statements->clear();
    m_db.reset();
}

static void runToEnd(Statement &statement, const QVariantList &params)
{
    statement.bindAll(params);
    while (statement.step()) {
    }
    statement.reset();
}

void Database::execute(const QString &sql, const QVariantList &params)
{
    requireOpen();
    if (Statement *cached = m_statements->find(sql)) {
        runToEnd(*cached, params);
        return;
    }
    const QByteArray utf8 = sql.toUtf8();
    const char *cursor = utf8.constData();
    const char *const end = cursor + utf8.size();
    bool first = true;
    while (cursor < end) {
        sqlite3_stmt *raw = nullptr;
        const char *tail = nullptr;
        const int rc = sqlite3_prepare_v2(handle(), cursor, int(end - cursor), &raw, &tail);
        if (rc != SQLITE_OK)
            throw sqliteError(handle(), rc, SqlContext::Read);
        if (!raw) { // only blanks or a comment were left
            cursor = tail;
            continue;
        }
        Statement statement(handle(), raw);
        const bool single = first && onlyBlanksFollow(tail, end);
        if (!single && !params.isEmpty()) {
            throw DbError(SQLITE_MISUSE, QStringLiteral("Values can be given to one statement only."));
        }
        if (single) {
            runToEnd(m_statements->insert(sql, std::move(statement)), params);
            return;
        }
        runToEnd(statement, params);
        first = false;
        cursor = tail;
    }
}

QVariant Database::scalar(const QString &sql, const QVariantList &params)
{
    requireOpen();
    Statement *statement = m_statements->find(sql);
    if (!statement)
        statement = &m_statements->insert(sql, Statement(handle(), sql));
    statement->bindAll(params);
    QVariant value;
    if (statement->step()) {
        sqlite3_stmt *raw = statement->get();
        value = readColumn(raw, 0, kindFromDeclType(sqlite3_column_decltype(raw, 0)));
    }
    statement->reset();
    return value;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &sql, RecordsetType type, const QVariantList &params)
{
    requireOpen();
    return std::unique_ptr<Recordset>(new Recordset(*this, type, sql, params));
}

void Database::freeLocks()
{
    if (!m_db)
        return;
    // Every statement of the connection, whoever owns it: a statement left
    // part way through its rows keeps a read open and blocks checkpoints.
    for (sqlite3_stmt *s = sqlite3_next_stmt(handle(), nullptr); s; s = sqlite3_next_stmt(handle(), s)) {
        if (sqlite3_stmt_busy(s))
            sqlite3_reset(s);
    }
}

void Database::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = qMax(0, milliseconds);
    if (m_db)
        sqlite3_busy_timeout(handle(), m_busyTimeoutMs);
}

void Database::attach(Recordset *rs)
{
    m_recordsets.push_back(rs);
}

void Database::detach(Recordset *rs)
{
    std::erase(m_recordsets, rs);
}

Transaction::Transaction(Database &db) : m_db(db)
{
    requireHandle(m_db.handle());
    m_nested = !sqlite3_get_autocommit(m_db.handle());
    m_db.execute(m_nested ? QStringLiteral("SAVEPOINT stowbook_part") : QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (m_done || !m_db.isOpen())
        return;
    // SQLite may already have rolled back on its own (some failures do),
    // the outer transaction with the savepoint.
    if (sqlite3_get_autocommit(m_db.handle()))
        return;
    if (m_nested)
        sqlite3_exec(m_db.handle(), "ROLLBACK TO stowbook_part; RELEASE stowbook_part", nullptr, nullptr, nullptr);
    else
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_db.execute(m_nested ? QStringLiteral("RELEASE stowbook_part") : QStringLiteral("COMMIT"));
    m_done = true;
}
