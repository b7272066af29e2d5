#include "CopiesFixture.h"

#include "data/Inventory.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

void CopiesTest::SetUp()
{
    SetupOptions options;
    options.demo = true;
    m_data = std::make_unique<TestDataFolder>(options);
    m_household = std::make_unique<Household>(dataFolder());
    ASSERT_TRUE(m_copies.isValid());
    ASSERT_TRUE(m_scratch.isValid());
}

QStringList CopiesTest::versionNames() const
{
    return QDir(place().versionsFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

void CopiesTest::setFirstPrice(qint64 cents) const
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dataFolder() + InventoryFileName).constData(), &db), SQLITE_OK);
    const QByteArray sql =
        QStringLiteral("update items set totvalue = %1.%2 where iteid = (select min(iteid) from items)")
            .arg(cents / 100)
            .arg(cents % 100, 2, 10, QLatin1Char('0'))
            .toLatin1();
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK);
}

void CopiesTest::writeItemFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(dataFolder() + ImagesFolderName + u'/' + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString databaseDump(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("(cannot open %1)").arg(path);
    }
    QStringList tables;
    sqlite3_stmt *list = nullptr;
    sqlite3_prepare_v2(db, "select name from sqlite_master where type = 'table' order by name", -1, &list, nullptr);
    while (sqlite3_step(list) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    QString dump;
    for (const QString &table : tables) {
        dump += QStringLiteral("== %1\n").arg(table);
        sqlite3_stmt *rows = nullptr;
        sqlite3_prepare_v2(db, QStringLiteral("select * from \"%1\" order by rowid").arg(table).toUtf8().constData(),
                           -1, &rows, nullptr);
        while (sqlite3_step(rows) == SQLITE_ROW) {
            QStringList cells;
            for (int column = 0; column < sqlite3_column_count(rows); ++column) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(rows, column));
                cells << (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
            }
            dump += cells.join(u'|') + u'\n';
        }
        sqlite3_finalize(rows);
    }
    sqlite3_close(db);
    return dump;
}

void flipByte(const QString &path, qint64 offset)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << path.toStdString();
    const qint64 at = offset < 0 ? file.size() + offset : offset;
    ASSERT_TRUE(file.seek(at));
    char byte = 0;
    ASSERT_EQ(file.read(&byte, 1), 1);
    byte = char(byte ^ 0x10);
    ASSERT_TRUE(file.seek(at));
    ASSERT_EQ(file.write(&byte, 1), 1);
}
