#include "data/Inventory.h"

#include <QFile>

QString inventorySchemaSql()
{
    QFile file(QStringLiteral(":/share/stowbook.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
