#include "TestDatabase.h"

#include <QFile>
#include <gtest/gtest.h>
#include <stdexcept>

QString inventorySchemaText()
{
    QFile file(QStringLiteral(STOWBOOK_SOURCE_DIR "/share/stowbook.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("share/stowbook.sql cannot be read");
    return QString::fromUtf8(file.readAll());
}

TestDatabase::TestDatabase()
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    m_path = m_dir.filePath(QStringLiteral("stowbook.db"));
    // SQLite takes an empty file for an empty database; opening never creates one.
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("the database file cannot be created");
    file.close();
    auto db = Database::open(m_path);
    db->execute(inventorySchemaText());
}

qint64 addItem(Database &db, const QString &description)
{
    db.execute(QStringLiteral("insert into items (Item) values (?1)"), {description});
    return db.scalar(QStringLiteral("select last_insert_rowid()")).toLongLong();
}

int errorNumberOf(const std::function<void()> &step)
{
    try {
        step();
    } catch (const DbError &error) {
        return error.number();
    }
    return 0;
}
