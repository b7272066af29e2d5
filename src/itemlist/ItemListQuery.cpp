#include "itemlist/ItemListQuery.h"

#include "data/Database.h"
#include "data/SqliteSupport.h"
#include "data/Values.h"

#include <sqlite3.h>
#include <stdexcept>

namespace {

const QString FromItems = QStringLiteral(
    " from items i left join categories c on c.catid = i.catid left join locations l on l.locid = i.locid");

QString sortKey(ListColumn column)
{
    switch (column) {
    case ListColumn::Item: return QStringLiteral("fold(coalesce(i.Item, ''))");
    case ListColumn::Category: return QStringLiteral("fold(coalesce(c.catDesc, ''))");
    case ListColumn::Location: return QStringLiteral("fold(coalesce(l.locDesc, ''))");
    case ListColumn::Manufact: return QStringLiteral("fold(coalesce(i.manufact, ''))");
    case ListColumn::Model: return QStringLiteral("fold(coalesce(i.model, ''))");
    case ListColumn::SerNo: return QStringLiteral("fold(coalesce(i.serno, ''))");
    case ListColumn::PurchDate: return QStringLiteral("i.purchdate");
    case ListColumn::TotValue: return QStringLiteral("i.totvalue");
    }
    return QStringLiteral("i.iteid");
}

// The total value as the program reads it; Null when it is none or not an amount.
std::optional<Money> amountAt(sqlite3_stmt *statement, int column)
{
    const QVariant value = readColumn(statement, column, ColumnKind::Money);
    if (value.typeId() == qMetaTypeId<Money>())
        return value.value<Money>();
    return std::nullopt;
}

} // namespace

QString listColumnCaption(ListColumn column)
{
    switch (column) {
    case ListColumn::Item: return QStringLiteral("Item Description");
    case ListColumn::Category: return QStringLiteral("Category");
    case ListColumn::Location: return QStringLiteral("Location");
    case ListColumn::Manufact: return QStringLiteral("Manufacturer");
    case ListColumn::Model: return QStringLiteral("Model Number");
    case ListColumn::SerNo: return QStringLiteral("Serial Number");
    case ListColumn::PurchDate: return QStringLiteral("Purchase Date");
    case ListColumn::TotValue: return QStringLiteral("Total Value");
    }
    return QString();
}

ListOrder readListOrder(Database &db, ListColumn column)
{
    Statement statement(db.handle(), QStringLiteral("select i.iteid, i.totvalue") + FromItems
                                         + QStringLiteral(" order by ") + sortKey(column) + QStringLiteral(", i.iteid"));
    ListOrder order;
    Money total;
    bool overflow = false;
    while (statement.step()) {
        order.keys.push_back(statement.int64Value(0));
        if (overflow)
            continue;
        if (const std::optional<Money> amount = amountAt(statement.get(), 1)) {
            try {
                total += *amount;
            } catch (const std::overflow_error &) {
                overflow = true;
            }
        }
    }
    statement.reset();
    if (!overflow)
        order.total = total;
    return order;
}

QHash<qint64, std::optional<Money>> searchItems(Database &db, const QString &typed)
{
    Statement statement(db.handle(),
                        QStringLiteral("select i.iteid, i.totvalue") + FromItems
                            + QStringLiteral(" where matchwords(?, i.Item, i.manufact, i.model, i.serno, i.wherepurch, "
                                             "i.misc1, i.Notes, c.catDesc, l.locDesc)"));
    statement.bindAll({typed});
    QHash<qint64, std::optional<Money>> hits;
    while (statement.step())
        hits.insert(statement.int64Value(0), amountAt(statement.get(), 1));
    statement.reset();
    return hits;
}

QHash<qint64, ListRow> readListRows(Database &db, const std::vector<qint64> &keys)
{
    QHash<qint64, ListRow> rows;
    if (keys.empty())
        return rows;
    QString sql = QStringLiteral("select i.iteid, i.Item, c.catDesc, l.locDesc, i.manufact, i.model, i.serno, "
                                 "i.purchdate, i.totvalue")
        + FromItems + QStringLiteral(" where i.iteid in (");
    QVariantList params;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        sql += k == 0 ? QStringLiteral("?") : QStringLiteral(",?");
        params << qlonglong(keys[k]);
    }
    sql += u')';
    Statement statement(db.handle(), sql);
    statement.bindAll(params);
    sqlite3_stmt *raw = statement.get();
    while (statement.step()) {
        ListRow row;
        row.values.reserve(ListColumnCount);
        for (int column = 1; column <= ListColumnCount; ++column)
            row.values.push_back(readColumn(raw, column, kindFromDeclType(sqlite3_column_decltype(raw, column))));
        rows.insert(statement.int64Value(0), std::move(row));
    }
    statement.reset();
    return rows;
}
