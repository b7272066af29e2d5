// The repair reading past damaged pages: whichever leaves of a table are
// destroyed, every row on a sound leaf comes back, with keys close together
// or far apart.
#include "ItemPages.h"
#include "data/Repair.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sqlite3.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Rows with keys first, first + step, ...; each about a tenth of a page.
quint32 makeTable(const QString &path, qint64 first, qint64 step, int rows)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA page_size = 4096; create table t (k integer primary key, body text); begin", nullptr,
                 nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "insert into t values (?1, printf('%.400c', 'x') || ?1)", -1, &insert, nullptr);
    for (int i = 0; i < rows; ++i) {
        sqlite3_bind_int64(insert, 1, first + i * step);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_stmt *root = nullptr;
    sqlite3_prepare_v2(db, "select rootpage from sqlite_master where name = 't'", -1, &root, nullptr);
    sqlite3_step(root);
    const quint32 page = quint32(sqlite3_column_int(root, 0));
    sqlite3_finalize(root);
    sqlite3_close(db);
    return page;
}

} // namespace

TEST(Salvage, EveryRowOnASoundLeafComesBackWhereverTheDamagedLeavesLie)
{
    struct Case {
        const char *name;
        qint64 first;
        qint64 step;
        std::function<bool(int leafIndex)> destroy;
    };
    const Case cases[] = {
        // A sound leaf between two damaged ones is easily stepped over by
        // probes that grow; it must be found all the same.
        {"every other leaf, keys in a row", 1, 1, [](int i) { return i % 2 == 1; }},
        {"two of every three leaves, keys in a row", 1, 1, [](int i) { return i % 3 != 0; }},
        {"one leaf in the middle, keys a million apart", 1, 1000000, [](int i) { return i == 20; }},
        {"the first leaf, keys from the lowest there is", std::numeric_limits<qint64>::min(), 977,
         [](int i) { return i == 0; }},
        {"the last leaf", 5, 3, [](int i) { return i == 39; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.db"));
        const quint32 root = makeTable(path, c.first, c.step, 400);
        QByteArray bytes = readAll(path);
        const RowPages pages = rowPagesOf(bytes, root);
        ASSERT_GE(pages.leaves.size(), 40u);
        std::set<quint32> destroyed;
        int index = 0;
        for (quint32 leaf : pages.leaves) // in page order, which is key order here
            if (c.destroy(index++))
                destroyed.insert(leaf);
        std::mt19937 random(42);
        for (quint32 page : destroyed)
            for (int i = 0; i < pages.pageSize; ++i)
                bytes[qsizetype(page - 1) * pages.pageSize + i] = char(random());
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const RepairReport report = repairDatabase(path, QString());
        EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("t")), int(rowsOutside(pages, destroyed).size()));
    }
}
