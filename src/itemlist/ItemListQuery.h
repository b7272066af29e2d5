#pragma once

#include "data/Money.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <Qt>
#include <optional>
#include <vector>

class Database;

// The columns of the item list, in the order shown.
enum class ListColumn {
    Item,
    Category,
    Location,
    Manufact,
    Model,
    SerNo,
    PurchDate,
    TotValue,
    Photos,
    Documents,
    WarrantyEnds
};
inline constexpr int ListColumnCount = 11;

// The form's caption of the column ("Item Description", "Total Value").
QString listColumnCaption(ListColumn column);

// Every item's key, ascending, with its total value when totals are asked
// for (Null when it has none or it is not an amount), and the items in the
// column's order, ascending, as indexes into keys: texts as the user's
// language sorts them (ListOrder.h), no text as the empty text; dates and
// amounts with no value first, then as the database orders them. The key
// breaks ties, so the order is the same every time, and descending is
// exactly ascending turned round. One reading of the items. Throws DbError.
// kept: a condition on "i.iteid" the items listed meet (ItemStatus.h), or
// empty for every item. pictured: the items that have a picture, which
// counts among their photos when the list is sorted by them.
struct ListScan {
    std::vector<qint64> keys;
    std::vector<std::optional<Money>> totals; // empty unless asked for
    std::vector<int> ascending;
};
ListScan scanListItems(Database &db, ListColumn column, bool withTotals, const QString &kept = QString(),
                       const QSet<qint64> &pictured = {});

// What the list shows of one item, by ListColumn: texts as QString,
// the purchase date as DateValue, the total as Money; Null for no value.
// Photos: the number of its further photos (its picture not counted, the
// files' owner knows that); Documents: their number; WarrantyEnds: the
// day as DateValue, "Lifetime", or Null.
struct ListRow {
    std::vector<QVariant> values;
};
// The rows of the given keys; items no longer stored are missing from the
// result. Throws DbError.
QHash<qint64, ListRow> readListRows(Database &db, const std::vector<qint64> &keys);
