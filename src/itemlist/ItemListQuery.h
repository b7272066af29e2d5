#pragma once

#include "data/Money.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <Qt>
#include <optional>
#include <vector>

class Database;

// The columns of the item list, in the order shown.
enum class ListColumn { Item, Category, Location, Manufact, Model, SerNo, PurchDate, TotValue };
inline constexpr int ListColumnCount = 8;

// The form's caption of the column ("Item Description", "Total Value").
QString listColumnCaption(ListColumn column);

// Every item's key, ascending, with its total value when totals are asked
// for (Null when it has none or it is not an amount), and the items in the
// column's order, ascending, as indexes into keys: texts as the user's
// language sorts them (ListOrder.h), no text as the empty text; dates and
// amounts with no value first, then as the database orders them. The key
// breaks ties, so the order is the same every time, and descending is
// exactly ascending turned round. One reading of the items. Throws DbError.
struct ListScan {
    std::vector<qint64> keys;
    std::vector<std::optional<Money>> totals; // empty unless asked for
    std::vector<int> ascending;
};
ListScan scanListItems(Database &db, ListColumn column, bool withTotals);

// What the list shows of one item, by ListColumn: texts as QString,
// the purchase date as DateValue, the total as Money; Null for no value.
struct ListRow {
    std::vector<QVariant> values;
};
// The rows of the given keys; items no longer stored are missing from the
// result. Throws DbError.
QHash<qint64, ListRow> readListRows(Database &db, const std::vector<qint64> &keys);
