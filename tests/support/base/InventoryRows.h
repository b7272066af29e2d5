#pragma once

#include <QString>
#include <QVariantMap>

// Rows put into and read from an inventory through a connection of the
// test's own, as another program would.

// Inserts an item with the given columns; its key.
qint64 insertItem(const QString &databasePath, const QVariantMap &columns);
// Inserts a category ("categories") or a location ("locations"); its key.
qint64 insertCode(const QString &databasePath, const QString &table, const QString &description);
// The stored item as the program reads it (Money, DateValue, int, bool,
// Null), by column name; empty when there is no such item.
QVariantMap storedItem(const QString &databasePath, qint64 iteid);
