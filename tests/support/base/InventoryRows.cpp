#include "InventoryRows.h"

#include "data/Database.h"
#include "data/Recordset.h"

#include <QStringList>

qint64 insertItem(const QString &databasePath, const QVariantMap &columns)
{
    auto db = Database::open(databasePath);
    QStringList placeholders;
    for (int i = 1; i <= columns.size(); ++i)
        placeholders << QStringLiteral("?%1").arg(i);
    db->execute(QStringLiteral("insert into items (%1) values (%2)")
                    .arg(columns.keys().join(QLatin1Char(',')), placeholders.join(QLatin1Char(','))),
                columns.values());
    return db->scalar(QStringLiteral("select max(iteid) from items")).toLongLong();
}

qint64 insertCode(const QString &databasePath, const QString &table, const QString &description)
{
    auto db = Database::open(databasePath);
    const QString column = table == QLatin1String("categories") ? QStringLiteral("catDesc") : QStringLiteral("locDesc");
    db->execute(QStringLiteral("insert into %1 (%2) values (?)").arg(table, column), {description});
    return db->scalar(QStringLiteral("select max(rowid) from ") + table).toLongLong();
}

QVariantMap storedItem(const QString &databasePath, qint64 iteid)
{
    auto db = Database::open(databasePath);
    auto row =
        db->openRecordset(QStringLiteral("select * from items where iteid = ?"), RecordsetType::Snapshot, {iteid});
    QVariantMap out;
    if (row->recordCount() > 0)
        for (const QString &column : row->columnNames())
            out.insert(column, row->value(column));
    return out;
}
