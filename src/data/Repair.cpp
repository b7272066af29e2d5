#include "data/Repair.h"

#include "data/DbError.h"
#include "data/LostHeader.h"
#include "data/Salvage.h"
#include "data/SqliteSupport.h"
#include "data/SyncToDisk.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

// The files SQLite keeps beside a database: its write-ahead log, its
// rollback journal, and the shared-memory index of the log.
const QStringList CompanionSuffixes{QStringLiteral("-wal"), QStringLiteral("-journal"), QStringLiteral("-shm")};
// The ones that hold data; the index is rebuilt from the log.
const QStringList DataCompanionSuffixes{QStringLiteral("-wal"), QStringLiteral("-journal")};

DbError fileError(const QString &what, const QFile &file)
{
    return DbError(SQLITE_IOERR, QStringLiteral("%1 '%2': %3").arg(what, file.fileName(), file.errorString()));
}

// A byte-for-byte copy, on the disk before it is trusted.
void copyFileSynced(const QString &from, const QString &to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly))
        throw fileError(QStringLiteral("Could not read"), in);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw fileError(QStringLiteral("Could not create"), out);
    // Like every file of a data folder, its owner's alone.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    bool ok = true;
    while (ok && !in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        ok = !(chunk.isEmpty() && in.error() != QFileDevice::NoError) && out.write(chunk) == chunk.size();
    }
    ok = ok && out.flush() && !syncToDisk(out.handle());
    if (!ok) {
        const DbError error = fileError(QStringLiteral("Could not copy to"), out);
        out.close();
        out.remove();
        throw error;
    }
    out.close();
}

void copyWithCompanions(const QString &from, const QString &to)
{
    copyFileSynced(from, to);
    for (const QString &suffix : DataCompanionSuffixes) {
        if (QFileInfo::exists(from + suffix))
            copyFileSynced(from + suffix, to + suffix);
    }
}

void removeWithCompanions(const QString &path)
{
    QFile::remove(path);
    for (const QString &suffix : CompanionSuffixes)
        QFile::remove(path + suffix);
}

bool existsWithCompanions(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    for (const QString &suffix : CompanionSuffixes) {
        if (QFileInfo::exists(path + suffix))
            return true;
    }
    return false;
}

// "stowbook.db" -> "stowbook-damaged-20261207-093015.db", with "-2", "-3" ...
// added when a copy of that second exists already.
QString damagedCopyName(const QString &path)
{
    const QFileInfo info(path);
    const QString stamp = QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("-damaged-") + stamp);
    QString name = stem + suffix;
    for (int n = 2; existsWithCompanions(name); ++n)
        name = stem + u'-' + QString::number(n) + suffix;
    return name;
}

// The header says whether the file used a write-ahead log (read and write
// version bytes both 2); that is kept for the rebuilt file.
bool headerSaysWal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    return header.size() == 100 && header.startsWith(QByteArrayLiteral("SQLite format 3\0")) && header[18] == 2
        && header[19] == 2;
}

// Whether a schema text puts new files in write-ahead log mode; what the
// rebuilt file follows when the damaged file's header, which said so, was lost.
bool wantsWal(const QString &schemaSql)
{
    static const QRegularExpression walMode(QStringLiteral("journal_mode\\s*=\\s*'?wal\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    return walMode.match(schemaSql).hasMatch();
}

void run(sqlite3 *db, const QString &sql)
{
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc, SqlContext::Write);
}

struct SchemaEntry {
    QString type;
    QString name;
    QString sql;
};

// The damaged file's own schema, or nothing when it cannot be read or holds no table.
std::optional<std::vector<SchemaEntry>> readSchema(sqlite3 *damaged)
{
    if (!damaged)
        return std::nullopt;
    Statement master = Statement::tryPrepare(
        damaged, QStringLiteral("select type, name, sql from sqlite_master where sql is not null order by rowid"));
    if (!master.isValid())
        return std::nullopt;
    std::vector<SchemaEntry> entries;
    bool anyTable = false;
    int rc;
    while ((rc = sqlite3_step(master.get())) == SQLITE_ROW) {
        SchemaEntry entry{master.rawValue(0).toString(), master.rawValue(1).toString(), master.rawValue(2).toString()};
        if (entry.name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
            continue; // made by SQLite itself
        anyTable = anyTable || entry.type == QLatin1String("table");
        entries.push_back(entry);
    }
    if (rc != SQLITE_DONE || !anyTable)
        return std::nullopt;
    return entries;
}

QStringList tablesOf(sqlite3 *db)
{
    QStringList tables;
    Statement list(db,
                   QStringLiteral("select name from sqlite_master where type = 'table' "
                                  "and name not like 'sqlite\\_%' escape '\\' order by rowid"));
    while (list.step())
        tables << list.rawValue(0).toString();
    return tables;
}

// Counter high-water marks, so keys of rows that could not be recovered are
// not handed out again (pictures are filed under item keys).
void restoreSequences(sqlite3 *damaged, sqlite3 *rebuilt)
{
    Statement read = Statement::tryPrepare(damaged, QStringLiteral("select name, seq from sqlite_sequence"));
    if (!read.isValid())
        return;
    if (!Statement::tryPrepare(rebuilt, QStringLiteral("select 1 from sqlite_sequence")).isValid())
        return;
    Statement raise(rebuilt, QStringLiteral("update sqlite_sequence set seq = max(seq, ?2) where name = ?1"));
    Statement add(rebuilt,
                  QStringLiteral("insert into sqlite_sequence (name, seq) "
                                 "select ?1, ?2 where exists (select 1 from sqlite_master "
                                 "where type = 'table' and name = ?1)"));
    while (sqlite3_step(read.get()) == SQLITE_ROW) {
        if (read.isNull(0) || read.isNull(1))
            continue;
        const QVariantList values{read.rawValue(0), qlonglong(read.int64Value(1))};
        raise.bindAll(values);
        while (raise.step()) {
        }
        raise.reset();
        if (sqlite3_changes(rebuilt) == 0) {
            add.bindAll(values);
            while (add.step()) {
            }
            add.reset();
        }
    }
}

void checkIntegrity(sqlite3 *rebuilt)
{
    Statement check(rebuilt, QStringLiteral("PRAGMA integrity_check"));
    if (!check.step() || check.rawValue(0).toString() != QLatin1String("ok"))
        throw DbError(DbError::NotDatabase, QStringLiteral("The rebuilt database did not pass its check."));
}

// Removes the working files however the repair ends, and the half-built file
// unless it was put in place.
class Cleanup {
public:
    explicit Cleanup(QStringList paths) : m_paths(std::move(paths)) {}
    ~Cleanup()
    {
        for (const QString &path : m_paths)
            removeWithCompanions(path);
    }
    Cleanup(const Cleanup &) = delete;
    Cleanup &operator=(const Cleanup &) = delete;

private:
    QStringList m_paths;
};

} // namespace

RepairReport repairDatabase(const QString &path, const QString &fallbackSchemaSql)
{
    if (!QFileInfo(path).isFile())
        throw DbError(SQLITE_CANTOPEN, QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));

    // First of all, the damaged file with its log goes aside, untouched from then on.
    RepairReport report;
    report.damagedCopy = damagedCopyName(path);
    copyWithCompanions(path, report.damagedCopy);

    // SQLite may write to a file it reads (recovering its log), so the rows
    // are read from a working copy of the copy.
    const QString working = path + QStringLiteral(".salvage");
    const QString rebuiltPath = path + QStringLiteral(".rebuild");
    const Cleanup cleanup({working, rebuiltPath});
    removeWithCompanions(working);
    removeWithCompanions(rebuiltPath);
    copyWithCompanions(report.damagedCopy, working);
    // A file that lost only its header keeps every row; with a header worked
    // out from its pages, they can be read like those of any damaged file.
    const bool headerRebuilt = rebuildLostHeader(working);
    report.headerRebuilt = headerRebuilt;
    fitToWholePages(working);

    int openResult = SQLITE_OK;
    SqliteConnection damaged = openSqlite(working, SQLITE_OPEN_READWRITE, openResult);
    sqlite3 *source = openResult == SQLITE_OK ? damaged.get() : nullptr;
    if (source) {
        // Check cells as they are read, and take a file shorter than its
        // header says as it is instead of refusing it outright.
        sqlite3_exec(source, "PRAGMA cell_size_check=ON; PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
    }
    const std::optional<std::vector<SchemaEntry>> schema = readSchema(source);
    if (!schema && fallbackSchemaSql.trimmed().isEmpty())
        throw DbError(DbError::NotDatabase, QStringLiteral("The tables of the damaged database cannot be read."));

    SqliteConnection rebuilt = openSqlite(rebuiltPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, openResult);
    if (openResult != SQLITE_OK)
        throw sqliteError(rebuilt.get(), openResult, SqlContext::Write);
    sqlite3 *target = rebuilt.get();
    run(target, QStringLiteral("PRAGMA synchronous=FULL"));

    if (schema) {
        const QVariant userVersion = [&] {
            Statement v = Statement::tryPrepare(source, QStringLiteral("PRAGMA user_version"));
            return v.isValid() && sqlite3_step(v.get()) == SQLITE_ROW ? v.rawValue(0) : QVariant();
        }();
        run(target, QStringLiteral("BEGIN"));
        // Tables first and filled; indexes, views and triggers after the rows
        // are in, so no trigger fires on the copied rows.
        for (const SchemaEntry &entry : *schema) {
            if (entry.type == QLatin1String("table"))
                run(target, entry.sql);
        }
        for (const QString &table : tablesOf(target)) {
            const SalvagedTable salvaged = salvageTable(source, target, table);
            report.rowsRecovered.insert(table, salvaged.recovered);
            if (salvaged.lost > 0)
                report.rowsLost.insert(table, salvaged.lost);
        }
        restoreSequences(source, target);
        for (const SchemaEntry &entry : *schema) {
            // A unique index that damaged rows now break is left out rather
            // than losing the rows.
            if (entry.type != QLatin1String("table"))
                sqlite3_exec(target, entry.sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        }
        if (userVersion.isValid())
            run(target, QStringLiteral("PRAGMA user_version = %1").arg(userVersion.toLongLong()));
        run(target, QStringLiteral("COMMIT"));
        if (headerSaysWal(report.damagedCopy) || (headerRebuilt && wantsWal(fallbackSchemaSql)))
            run(target, QStringLiteral("PRAGMA journal_mode=WAL"));
    } else {
        // Nothing of the old file can be read: a clean, empty database. The
        // kept copy still holds everything for a deeper recovery.
        run(target, fallbackSchemaSql);
        for (const QString &table : tablesOf(target))
            report.rowsRecovered.insert(table, 0);
    }
    checkIntegrity(target);
    damaged.reset();
    if (const int rc = closeSqlite(rebuilt); rc != SQLITE_OK)
        throw sqliteError(target, rc, SqlContext::Write);
    if (QFileInfo::exists(rebuiltPath + QStringLiteral("-wal")))
        throw DbError(SQLITE_IOERR, QStringLiteral("The rebuilt database was not written completely."));
    // SQLite made it with the umask's mode.
    QFile::setPermissions(rebuiltPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // The old log belongs to the damaged file (its copy is kept): left in
    // place, SQLite would replay it into the rebuilt file.
    for (const QString &suffix : CompanionSuffixes) {
        QFile companion(path + suffix);
        if (companion.exists() && !companion.remove())
            throw fileError(QStringLiteral("Could not remove"), companion);
    }
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(rebuiltPath).toStdString(), QFile::encodeName(path).toStdString(), error);
    if (error) {
        throw DbError(SQLITE_IOERR,
                      QStringLiteral("Could not put the rebuilt database in place: %1")
                          .arg(QString::fromStdString(error.message())));
    }
    return report;
}
