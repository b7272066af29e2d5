#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class Recordset;

// The item rows and pictures the writing helpers store, worked out from the
// item's key and a version number alone, so a test can tell exactly what an
// acknowledged write left behind without being told the values.
struct CodeKeys {
    QList<int> categories;
    QList<int> locations;
};

// Every column but the key, as the item editor stores it: texts, a date or
// Null, Money amounts, a whole quantity, a bool and code keys or Null. Some
// versions carry long notes (stored over several pages) and text beyond ASCII.
QVariantMap writtenItem(qint64 iteid, qint64 version, const CodeKeys &codes);

// Sets those values on the row begun by addNew or edit.
void setWrittenItem(Recordset &rs, qint64 iteid, qint64 version, const CodeKeys &codes);

// The version a stored row was written with (from its model number), or -1
// when it was not written by writtenItem.
qint64 writtenVersion(const QVariantMap &row);

// A text form of a stored value that tells every kind and value apart
// (Money by its ten-thousandths, dates by their serial, Null as such).
QString describeValue(const QVariant &value);

// The differences between a stored row and what the version wrote; empty
// when they agree column for column.
QString differences(const QVariantMap &stored, const QVariantMap &expected);

// The picture a helper writes for an item: every pixel depends on both numbers.
QImage writtenPicture(qint64 iteid, qint64 version);

// The categories and locations of the database, as the writers choose from.
CodeKeys readCodeKeys(class Database &db);
