#pragma once

#include "data/Money.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

class Database;

// The columns of the item list, in the order shown.
enum class ListColumn { Item, Category, Location, Manufact, Model, SerNo, PurchDate, TotValue };
inline constexpr int ListColumnCount = 8;

// The form's caption of the column ("Item Description", "Total Value").
QString listColumnCaption(ListColumn column);

// The keys of every item in the column's order, ascending, with the total
// value of them all. Texts sort ignoring case (fold()), an empty text and
// no text alike; dates and amounts with no value come first; the key breaks
// ties, so the order is the same every time. Throws DbError.
struct ListOrder {
    std::vector<qint64> keys;
    std::optional<Money> total; // Null when the sum is beyond the money range
};
ListOrder readListOrder(Database &db, ListColumn column);

// The items whose description, manufacturer, model, serial number, where
// purchased, miscellaneous, notes, category or location hold every word of
// the typed text (ignoring case and accents; see SearchText.h), with their
// total values (Null when none can be read). The search runs in SQLite.
// Throws DbError.
QHash<qint64, std::optional<Money>> searchItems(Database &db, const QString &typed);

// What the list shows of one item, by ListColumn: texts as QString,
// the purchase date as DateValue, the total as Money; Null for no value.
struct ListRow {
    std::vector<QVariant> values;
};
// The rows of the given keys; items no longer stored are missing from the
// result. Throws DbError.
QHash<qint64, ListRow> readListRows(Database &db, const std::vector<qint64> &keys);
