#pragma once

#include "data/DbError.h"
#include "data/SqliteSupport.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

struct sqlite3;
class Recordset;
class StatementCache;

enum class OpenMode { Shared, Exclusive };
enum class RecordsetType { Dynaset = 2, Snapshot = 4 };

// One open database file. Opening never creates a file: a missing file is an
// error. Every connection gets the program's SQL functions:
//   wlike(text, pattern)  the wildcard match (*, ?, #, [..], [!..]), ignoring case;
//                         1, 0, or Null when text is Null.
//   fold(text)            the text case-folded for Unicode, for "order by fold(x)"
//                         and case-blind comparisons; Null stays Null.
// Failures throw DbError: SQLITE_BUSY/LOCKED while writing -> 3260; the file held
// by another program at open -> 3045; SQLITE_NOTADB/CORRUPT -> 3049; everything
// else keeps SQLite's result code and text.
//
// Recordsets opened here stay usable until they or this database are closed;
// closing the database closes all of them (later use throws 3420).
class Database {
public:
    // Shared: read and write, other programs may open the file too.
    // Exclusive: the file is locked for this connection alone until close;
    // fails with 3045 while any other program has it open.
    static std::unique_ptr<Database> open(const QString &path, OpenMode mode = OpenMode::Shared);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const QString &path() const { return m_path; }
    OpenMode mode() const { return m_mode; }
    bool isOpen() const;
    void close();

    // Runs statements that return no rows (several may be given, separated
    // by ";" when params is empty). Values are bound as parameters ?1, ?2...
    void execute(const QString &sql, const QVariantList &params = {});
    // First column of the first row, Null when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &params = {});

    std::unique_ptr<Recordset> openRecordset(const QString &sql, RecordsetType type, const QVariantList &params = {});

    // The engine's idle call with the free-locks option: ends any read still
    // held by a statement of this connection, so other programs can write
    // and checkpoint.
    void freeLocks();

    // How long one attempt waits for another program's lock before it fails
    // with 3260 (the lock-retry protocol then tries again). Milliseconds.
    void setBusyTimeout(int milliseconds);
    static constexpr int DefaultBusyTimeoutMs = 60;

    sqlite3 *handle() const { return m_db.get(); }

    // Used by Recordset: registration, so that close() can close them.
    void attach(Recordset *rs);
    void detach(Recordset *rs);

private:
    Database(QString path, OpenMode mode);
    void requireOpen() const;
    void runAtOpen(const QString &sql);
    QString m_path;
    OpenMode m_mode;
    SqliteConnection m_db;
    int m_busyTimeoutMs = DefaultBusyTimeoutMs;
    std::vector<Recordset *> m_recordsets;
    std::unique_ptr<StatementCache> m_statements; // execute() and scalar(), keyed by SQL text
};

// Begun in the constructor (BEGIN IMMEDIATE, so a lock held by another program
// shows at once as 3260), rolled back in the destructor unless committed.
// Inside a transaction already begun it is a part of that one (a savepoint):
// its commit keeps its changes for the outer one to commit or roll back, and
// its rollback takes back its own changes only.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_nested = false;
    bool m_done = false;
};
