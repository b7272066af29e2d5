#include "backup/DatabaseCopy.h"

#include "data/SqliteSupport.h"
#include "data/Values.h"

#include <QFileInfo>
#include <QUrl>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>

namespace {

struct ConnectionCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

Connection openFile(const QString &path, int flags, SqlContext context)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    Connection db(raw);
    if (rc != SQLITE_OK)
        throw sqliteError(db.get(), rc, context);
    return db;
}

// A file nobody else writes, read without a lock and without the WAL and
// shared-memory files a normal open would leave beside it.
Connection openImmutable(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("The database file '%1' is missing.").arg(path));
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(QStringLiteral("immutable=1"));
    return openFile(url.toString(QUrl::FullyEncoded), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, SqlContext::Open);
}

} // namespace

void copyDatabase(const QString &source, const QString &target, int busyMs)
{
    Connection from = openFile(source, SQLITE_OPEN_READWRITE, SqlContext::Open);
    sqlite3_busy_timeout(from.get(), busyMs);
    if (QFileInfo::exists(target))
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("The copy '%1' exists already.").arg(target));
    Connection to = openFile(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, SqlContext::Open);
    sqlite3_backup *backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup)
        throw sqliteError(to.get(), sqlite3_errcode(to.get()), SqlContext::Write);
    // All pages in one step: a copy made in several steps starts over each
    // time another connection writes, and may never finish while the
    // program is busy. A program holding the file for itself is waited for
    // as long as the busy timeout.
    const int rc = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw sqliteError(from.get(), rc, SqlContext::Read);
    if (finished != SQLITE_OK)
        throw sqliteError(to.get(), finished, SqlContext::Write);
    const int closed = sqlite3_close(to.release());
    if (closed != SQLITE_OK)
        throw DbError(closed, QStringLiteral("The copy '%1' could not be closed.").arg(target));
}

QString integrityProblems(const QString &path)
{
    Connection db = openImmutable(path);
    Statement check(db.get(), QStringLiteral("PRAGMA integrity_check(10)"));
    QStringList problems;
    while (check.step(SqlContext::Read)) {
        const QString line = check.rawValue(0).toString();
        if (line != QStringLiteral("ok"))
            problems << line;
    }
    return problems.join(QLatin1Char('\n'));
}

InventoryFigures inventoryFigures(const QString &path)
{
    Connection db = openImmutable(path);
    InventoryFigures figures;
    Statement values(db.get(), QStringLiteral("select totvalue from items"));
    while (values.step(SqlContext::Read)) {
        ++figures.items;
        const QVariant value = readColumn(values.get(), 0, ColumnKind::Money);
        if (value.metaType() != QMetaType::fromType<Money>())
            continue;
        try {
            figures.totalValue += value.value<Money>();
        } catch (const std::overflow_error &) {
            throw DbError::overflow();
        }
    }
    return figures;
}
