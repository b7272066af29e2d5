// Rebuilding a lost header for files of every page size and log mode, and
// leaving alone what is not a database with a lost header.
#include "data/LostHeader.h"
#include "data/Repair.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void overwriteStart(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A closed database of `rows` rows, some long enough for overflow pages,
// with an index; no log is left beside it.
void makeDatabase(const QString &path, int pageSize, const char *journal, const char *encoding, int rows)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const QByteArray setup = QStringLiteral("PRAGMA encoding = '%1'; PRAGMA page_size = %2; PRAGMA journal_mode = %3;"
                                            "create table t (k integer primary key, name text, n real);"
                                            "create index t_name on t (name);")
                                 .arg(QLatin1String(encoding))
                                 .arg(pageSize)
                                 .arg(QLatin1String(journal))
                                 .toUtf8();
    ASSERT_EQ(sqlite3_exec(db, setup.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    ASSERT_EQ(sqlite3_exec(db, "begin", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_stmt *insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "insert into t values (?1, ?2, ?3)", -1, &insert, nullptr), SQLITE_OK);
    for (int k = 1; k <= rows; ++k) {
        const QByteArray name = QStringLiteral("row %1 \u00e9 ").arg(k).toUtf8().repeated(k % 50 == 0 ? 2000 : 1);
        sqlite3_bind_int(insert, 1, k);
        sqlite3_bind_text(insert, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 3, k * 0.5);
        ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    ASSERT_EQ(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_close(db), SQLITE_OK);
}

qint64 scalar(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    qint64 value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

} // namespace

TEST(LostHeader, EveryPageSizeLogModeAndEncodingGetsItsRowsBack)
{
    struct Case {
        int pageSize;
        const char *journal;
        const char *encoding;
    };
    const Case cases[] = {
        {512, "delete", "UTF-8"},  {1024, "wal", "UTF-8"},     {4096, "delete", "UTF-16le"},
        {8192, "wal", "UTF-16be"}, {32768, "delete", "UTF-8"}, {65536, "wal", "UTF-8"},
    };
    constexpr int Rows = 400;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.pageSize) + " " + c.journal + " " + c.encoding);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lost.db"));
        makeDatabase(path, c.pageSize, c.journal, c.encoding, Rows);
        const qint64 sumBefore = scalar(path, "select sum(length(name)) + sum(n) from t");
        overwriteStart(path, QByteArray(100, '\0'));
        const QByteArray damaged = readAll(path);

        const RepairReport report = repairDatabase(path, QString());
        EXPECT_TRUE(report.headerRebuilt);
        EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("t")), Rows);
        EXPECT_EQ(readAll(report.damagedCopy), damaged);
        EXPECT_EQ(scalar(path, "select sum(length(name)) + sum(n) from t"), sumBefore);
        EXPECT_EQ(scalar(path, "select count(*) from sqlite_master where name = 't_name'"), 1);
    }
}

TEST(LostHeader, WhatIsNotADatabaseWithALostHeaderIsLeftAlone)
{
    QTemporaryDir dir;
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    QByteArray noise(8192, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) >> 3);
    const QString whole = dir.filePath(QStringLiteral("whole.db"));
    makeDatabase(whole, 4096, "delete", "UTF-8", 20);
    QByteArray firstPageGone = readAll(whole);
    firstPageGone.replace(0, 4096, QByteArray(4096, '\0'));
    const Case cases[] = {
        {"a text file", QByteArray("Not a database at all.\n").repeated(100)},
        {"noise", noise},
        {"the whole first page zeroed", firstPageGone},
        {"a sound database", readAll(whole)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("case.db"));
        QFile::remove(path);
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        }
        EXPECT_FALSE(rebuildLostHeader(path));
        EXPECT_EQ(readAll(path), c.bytes);
    }
}

TEST(LostHeader, AFileCutShortIsFittedToItsWholePages)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.db"));
    makeDatabase(path, 1024, "delete", "UTF-8", 300);
    const QByteArray whole = readAll(path);
    const qsizetype cut = whole.size() - 1024 - 300;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(cut));
    }
    fitToWholePages(path);
    const QByteArray fitted = readAll(path);
    EXPECT_EQ(fitted.size(), cut / 1024 * 1024);
    EXPECT_EQ(qFromBigEndian<quint32>(fitted.constData() + 28), quint32(cut / 1024));
    EXPECT_EQ(fitted.mid(92, 4), fitted.mid(24, 4));
    EXPECT_EQ(fitted.mid(100), whole.mid(100, fitted.size() - 100)) << "only the header changes";
}

// A program killed with rows still in its log, and the header lost: the log
// tells the page size, and its rows come back with the others.
TEST(LostHeader, RowsStillInTheLogComeBackToo)
{
    QTemporaryDir dir;
    const QString live = dir.filePath(QStringLiteral("live.db"));
    makeDatabase(live, 2048, "wal", "UTF-8", 100);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(live.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA wal_autocheckpoint = 0;"
                           "insert into t select k + 100, name || ' later', n from t;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // The files as a killed program leaves them: the new rows only in the log.
    const QString copy = dir.filePath(QStringLiteral("copy.db"));
    ASSERT_TRUE(QFile::copy(live, copy));
    ASSERT_TRUE(QFile::copy(live + QStringLiteral("-wal"), copy + QStringLiteral("-wal")));
    sqlite3_close(db);
    overwriteStart(copy, QByteArray(100, '\0'));

    const RepairReport report = repairDatabase(copy, QString());
    EXPECT_TRUE(report.headerRebuilt);
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("t")), 200);
    EXPECT_EQ(scalar(copy, "select count(*) from t where name like '% later'"), 100);
}
