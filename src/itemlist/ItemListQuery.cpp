#include "itemlist/ItemListQuery.h"

#include "data/Database.h"
#include "data/SearchText.h"
#include "data/SqliteSupport.h"
#include "data/Values.h"

#include <algorithm>
#include <sqlite3.h>
#include <stdexcept>

namespace {

const QString FromItems = QStringLiteral(
    " from items i left join categories c on c.catid = i.catid left join locations l on l.locid = i.locid");

QString sortKey(ListColumn column)
{
    switch (column) {
    case ListColumn::Item:
        return QStringLiteral("fold(coalesce(i.Item, ''))");
    case ListColumn::Category:
        return QStringLiteral("fold(coalesce(c.catDesc, ''))");
    case ListColumn::Location:
        return QStringLiteral("fold(coalesce(l.locDesc, ''))");
    case ListColumn::Manufact:
        return QStringLiteral("fold(coalesce(i.manufact, ''))");
    case ListColumn::Model:
        return QStringLiteral("fold(coalesce(i.model, ''))");
    case ListColumn::SerNo:
        return QStringLiteral("fold(coalesce(i.serno, ''))");
    case ListColumn::PurchDate:
        return QStringLiteral("i.purchdate");
    case ListColumn::TotValue:
        return QStringLiteral("i.totvalue");
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
    case ListColumn::Item:
        return QStringLiteral("Item Description");
    case ListColumn::Category:
        return QStringLiteral("Category");
    case ListColumn::Location:
        return QStringLiteral("Location");
    case ListColumn::Manufact:
        return QStringLiteral("Manufacturer");
    case ListColumn::Model:
        return QStringLiteral("Model Number");
    case ListColumn::SerNo:
        return QStringLiteral("Serial Number");
    case ListColumn::PurchDate:
        return QStringLiteral("Purchase Date");
    case ListColumn::TotValue:
        return QStringLiteral("Total Value");
    }
    return QString();
}

ListSummary readListSummary(Database &db)
{
    Statement statement(db.handle(), QStringLiteral("select totvalue from items"));
    ListSummary summary;
    Money total;
    bool overflow = false;
    while (statement.step()) {
        ++summary.count;
        if (overflow)
            continue;
        if (const std::optional<Money> amount = amountAt(statement.get(), 0)) {
            try {
                total += *amount;
            } catch (const std::overflow_error &) {
                overflow = true;
            }
        }
    }
    statement.reset();
    if (!overflow)
        summary.total = total;
    return summary;
}

std::vector<qint64> readListKeys(Database &db, ListColumn column, Qt::SortOrder order, int limit)
{
    // The code tables are joined only for the columns that need them.
    QString sql = QStringLiteral("select i.iteid from items i");
    if (column == ListColumn::Category)
        sql += QStringLiteral(" left join categories c on c.catid = i.catid");
    if (column == ListColumn::Location)
        sql += QStringLiteral(" left join locations l on l.locid = i.locid");
    const QString direction = order == Qt::AscendingOrder ? QStringLiteral(" asc") : QStringLiteral(" desc");
    sql += QStringLiteral(" order by ") + sortKey(column) + direction + QStringLiteral(", i.iteid") + direction;
    if (limit > 0)
        sql += QStringLiteral(" limit %1").arg(limit);
    Statement statement(db.handle(), sql);
    std::vector<qint64> keys;
    while (statement.step())
        keys.push_back(statement.int64Value(0));
    statement.reset();
    return keys;
}

// The words each code's description holds, by the code's id.
static QHash<qint64, quint64> codeWords(Database &db, const QString &sql, WordSearch &words)
{
    QHash<qint64, quint64> masks;
    Statement codes(db.handle(), sql);
    while (codes.step()) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(codes.get(), 1));
        if (const quint64 mask = words.wordsIn(text, sqlite3_column_bytes(codes.get(), 1)))
            masks.insert(codes.int64Value(0), mask);
    }
    codes.reset();
    return masks;
}

std::vector<ListHit> searchItems(Database &db, const QString &typed, const std::vector<qint64> *within)
{
    ItemSearchPlan plan(typed);
    plan.categoryWords = codeWords(db, QStringLiteral("select catid, catDesc from categories"), plan.words);
    plan.locationWords = codeWords(db, QStringLiteral("select locid, locDesc from locations"), plan.words);
    // More words than the code masks hold (64) join the code tables instead.
    const bool codesJoined = plan.words.wordCount() > 64;
    // The key test comes first: the texts of other items are never read.
    const QString narrowed = within ? QStringLiteral("inkeys(?2, i.iteid) and ") : QString();
    Statement statement(db.handle(),
                        codesJoined ? QStringLiteral("select i.iteid, i.totvalue") + FromItems
                                + QStringLiteral(" where ") + narrowed
                                + QStringLiteral("matchwords(?1, i.Item, i.manufact, i.model, i.serno, "
                                                 "i.wherepurch, i.misc1, i.Notes, c.catDesc, l.locDesc)")
                                    : QStringLiteral("select i.iteid, i.totvalue from items i where ") + narrowed
                                + QStringLiteral("matchitem(?1, i.catid, i.locid, i.Item, i.manufact, "
                                                 "i.model, i.serno, i.wherepurch, i.misc1, i.Notes)"));
    if (codesJoined)
        statement.bindAll({typed});
    else
        sqlite3_bind_pointer(statement.get(), 1, &plan, ItemSearchPlan::PointerType, nullptr);
    KeySet keySet;
    if (within) {
        keySet.keys = *within;
        sqlite3_bind_pointer(statement.get(), 2, &keySet, KeySet::PointerType, nullptr);
    }
    std::vector<ListHit> hits;
    while (statement.step())
        hits.push_back({statement.int64Value(0), amountAt(statement.get(), 1)});
    statement.reset();
    std::sort(hits.begin(), hits.end(), [](const ListHit &a, const ListHit &b) { return a.key < b.key; });
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
