#pragma once

#include "data/DbError.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// Closes a connection when its owner lets it go; never throws. Statements
// still open keep it alive until they are finalized (sqlite3_close_v2).
struct CloseSqlite {
    void operator()(sqlite3 *db) const noexcept;
};
// The one owner type of an SQLite connection.
using SqliteConnection = std::unique_ptr<sqlite3, CloseSqlite>;

// Opens path with SQLite's open flags. SQLite gives a connection even when
// opening fails (it holds the error message), so the connection comes back
// either way and SQLite's result code is put in resultCode.
SqliteConnection openSqlite(const QString &path, int flags, int &resultCode);
// Closes connection now and gives SQLite's result code: not SQLITE_OK when a
// statement is still open, the connection then staying with its owner.
int closeSqlite(SqliteConnection &connection);

// What a statement was doing when SQLite failed; the same result code means
// different things to the program depending on it (see sqliteError).
enum class SqlContext {
    Open,  // opening the file: a lock held by another program means "in use"
    Read,  // a statement that returns rows
    Write, // a statement that changes the file, or begins or ends a transaction
};

// The program's error for a failed SQLite call:
//   SQLITE_NOTADB, SQLITE_CORRUPT       -> 3049 (damaged)
//   SQLITE_BUSY, SQLITE_LOCKED at Open  -> 3045 (in use)
//   SQLITE_BUSY, SQLITE_LOCKED at Write -> 3260 (locked)
//   anything else: SQLite's primary result code and message.
DbError sqliteError(sqlite3 *db, int resultCode, SqlContext context);

// An identifier in double quotes, embedded quotes doubled.
QString quoteIdentifier(const QString &name);

// One prepared statement, finalized by its owner. Movable, not copyable.
// After step() has failed, or after reset(), the statement holds no lock.
class Statement {
public:
    Statement() = default;
    // Prepares the first statement of sql; throws DbError. Preparing reads
    // the schema, so it can meet the same failures as a read.
    Statement(sqlite3 *db, const QString &sql, SqlContext context = SqlContext::Read);
    // Takes over a statement already prepared on db.
    Statement(sqlite3 *db, sqlite3_stmt *statement) : m_db(db), m_stmt(statement) {}
    // Prepares sql, or gives an invalid Statement when SQLite refuses it.
    static Statement tryPrepare(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    sqlite3_stmt *get() const { return m_stmt; }

    // Binds params to ?1, ?2 ... after clearing earlier bindings. More values
    // than the statement has parameters is a programming error (SQLITE_RANGE).
    void bindAll(const QVariantList &params, int firstIndex = 1);
    void bind(int index, const QVariant &value);
    // True when a row is ready. Failures throw DbError, mapped for the kind
    // of statement (rows: Read; anything else: Write) unless a context is given.
    bool step();
    bool step(SqlContext context);
    void reset();

    int columnCount() const;
    QVariant rawValue(int column) const;
    qint64 int64Value(int column) const;
    bool isNull(int column) const;

private:
    void finalize();
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

// Throws 3420 when the database handle is gone.
void requireHandle(sqlite3 *db);
