#include "claim/ClaimItems.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "data/SqliteSupport.h"
#include "data/Values.h"
#include "items/ItemStatus.h"
#include "program/Household.h"
#include "reports/ReportQuery.h"
#include "reports/ReportRun.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <sqlite3.h>

namespace {

// Every field of the items, with the descriptions of their codes.
const QString ItemColumns = QStringLiteral(
    "select i.iteid, i.Item, i.manufact, i.model, i.serno, i.purchdate, i.purchprice, i.estvalue, i.quantity, "
    "i.totvalue, i.receipt, i.wherepurch, i.misc1, i.Notes, c.catDesc, l.locDesc "
    "from items i left join categories c on c.catid = i.catid left join locations l on l.locid = i.locid");
// Items with a category first, by its description, then by the item's.
const QString CategoryOrder =
    QStringLiteral(" order by c.catDesc is null, fold(c.catDesc), c.catid, fold(i.Item), i.iteid");

std::optional<Money> moneyOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    return std::nullopt;
}

ClaimItem readItem(Statement &rows, const QList<ColumnKind> &kinds)
{
    const auto value = [&](int column) { return readColumn(rows.get(), column, kinds[column]); };
    ClaimItem item;
    item.iteid = value(0).toLongLong();
    item.item = value(1).toString();
    item.manufact = value(2).toString();
    item.model = value(3).toString();
    item.serno = value(4).toString();
    const QVariant purchdate = value(5);
    if (purchdate.metaType() == QMetaType::fromType<DateValue>())
        item.purchdate = purchdate.value<DateValue>();
    item.purchprice = moneyOf(value(6));
    item.estvalue = moneyOf(value(7));
    item.quantity = value(8);
    item.totvalue = moneyOf(value(9));
    item.receipt = value(10).toBool();
    item.wherepurch = value(11).toString();
    item.misc1 = value(12).toString();
    item.notes = value(13).toString();
    item.category = value(14).toString();
    item.location = value(15).toString();
    return item;
}

QList<ColumnKind> columnKinds(Statement &rows)
{
    QList<ColumnKind> kinds;
    for (int i = 0; i < rows.columnCount(); ++i)
        kinds << kindFromDeclType(sqlite3_column_decltype(rows.get(), i));
    return kinds;
}

QList<ClaimItem> readItems(Database &db, const QString &sql, const QVariantList &params)
{
    Statement rows(db.handle(), sql);
    rows.bindAll(params);
    const QList<ColumnKind> kinds = columnKinds(rows);
    QList<ClaimItem> items;
    while (rows.step(SqlContext::Read))
        items.append(readItem(rows, kinds));
    return items;
}

// The keys of the codes whose description is name, ignoring case.
QVariantList codeKeys(Database &db, const QString &table, const QString &key, const QString &description,
                      const QString &name)
{
    Statement rows(db.handle(),
                   QStringLiteral("select %1 from %2 where fold(%3) = fold(?)").arg(key, table, description));
    rows.bindAll({name});
    QVariantList keys;
    while (rows.step(SqlContext::Read))
        keys << rows.rawValue(0);
    return keys;
}

// The items a report file selects, in its order: the engine reads the file
// and builds its query; its selection is taken with the items' keys.
std::optional<QList<ClaimItem>> reportFileItems(Household &household, const QString &path, QString *problem)
{
    Database &db = household.inventory();
    std::optional<LoadedReport> report;
    try {
        report = loadReportFile(household, path, problem);
    } catch (const DbError &error) {
        *problem =
            QStringLiteral("The report field catalogue cannot be read (%1  %2).").arg(error.number()).arg(error.text());
        return std::nullopt;
    }
    if (!report)
        return std::nullopt;
    // What the engine would refuse to run is refused here the same way.
    if (report->spec.UseWith.compare(QStringLiteral("items"), Qt::CaseInsensitive) != 0) {
        showInvalidReportFile();
        *problem = QStringLiteral("The report file is not a report of items.");
        return std::nullopt;
    }
    const std::optional<ReportQuery> query = buildReportQuery(report->spec, report->catalogue, problem);
    if (!query) {
        showInvalidReportFile();
        return std::nullopt;
    }

    Statement keys(db.handle(), QStringLiteral("select items.iteid") + query->selection + query->ordering);
    keys.bindAll(query->params);
    QList<qint64> order;
    while (keys.step(SqlContext::Read))
        order << keys.int64Value(0);
    QHash<qint64, ClaimItem> byKey;
    for (ClaimItem &item : readItems(db, ItemColumns, {}))
        byKey.insert(item.iteid, std::move(item));
    QList<ClaimItem> items;
    items.reserve(order.size());
    for (const qint64 key : order) {
        const auto found = byKey.constFind(key);
        if (found != byKey.constEnd())
            items.append(*found);
    }
    return items;
}

QList<GroupTotal> groupTotals(const QList<ClaimItem> &items, QString ClaimItem::*group, const QString &none)
{
    // Ordered by the description ignoring case; the same description in
    // other cases is one group.
    QMap<QString, GroupTotal> groups;
    std::optional<GroupTotal> unassigned;
    for (const ClaimItem &item : items) {
        const QString &name = item.*group;
        GroupTotal *target = nullptr;
        if (name.isEmpty()) {
            if (!unassigned)
                unassigned = GroupTotal{none, 0, Money()};
            target = &*unassigned;
        } else {
            GroupTotal &entry = groups[name.toCaseFolded()];
            if (entry.group.isEmpty())
                entry.group = name;
            target = &entry;
        }
        ++target->items;
        if (item.totvalue)
            target->total += *item.totvalue;
    }
    QList<GroupTotal> list = groups.values();
    if (unassigned)
        list.append(*unassigned);
    return list;
}

} // namespace

QString ClaimSelection::description() const
{
    switch (kind) {
    case Kind::All:
        return QStringLiteral("All items");
    case Kind::Category:
        return QStringLiteral("Category: ") + name;
    case Kind::Location:
        return QStringLiteral("Location: ") + name;
    case Kind::ReportFile:
        return QStringLiteral("Report file: ") + QFileInfo(name).fileName();
    }
    return QString();
}

std::optional<QList<ClaimItem>> selectClaimItems(Household &household, const ClaimSelection &selection,
                                                 QString *problem, const DateValue &dateOfLoss)
{
    Database &db = household.inventory();
    QString reason;
    std::optional<QList<ClaimItem>> items;
    switch (selection.kind) {
    case ClaimSelection::Kind::All:
        items = readItems(db, ItemColumns + CategoryOrder, {});
        break;
    case ClaimSelection::Kind::Category:
    case ClaimSelection::Kind::Location: {
        const bool category = selection.kind == ClaimSelection::Kind::Category;
        const QVariantList keys = category ? codeKeys(db, QStringLiteral("categories"), QStringLiteral("catid"),
                                                      QStringLiteral("catDesc"), selection.name)
                                           : codeKeys(db, QStringLiteral("locations"), QStringLiteral("locid"),
                                                      QStringLiteral("locDesc"), selection.name);
        if (keys.isEmpty()) {
            reason = QStringLiteral("There is no %1 \"%2\".")
                         .arg(category ? QStringLiteral("category") : QStringLiteral("location"), selection.name);
            break;
        }
        // Descriptions may repeat: every code of that description counts.
        QStringList marks;
        for (qsizetype i = 0; i < keys.size(); ++i)
            marks << QStringLiteral("?");
        const QString column = category ? QStringLiteral("i.catid") : QStringLiteral("i.locid");
        items = readItems(
            db, ItemColumns + QStringLiteral(" where %1 in (%2)").arg(column, marks.join(u',')) + CategoryOrder, keys);
        break;
    }
    case ClaimSelection::Kind::ReportFile:
        items = reportFileItems(household, selection.name, &reason);
        break;
    }
    if (!items) {
        if (problem)
            *problem = reason;
        return std::nullopt;
    }
    if (!household.showsDisposed()) {
        const QHash<qint64, WarrantyDisposal> status = ItemStatus(db).all();
        const auto leftBefore = [&](const ClaimItem &item) {
            const auto found = status.constFind(item.iteid);
            if (found == status.constEnd() || !found->isDisposed())
                return false;
            return dateOfLoss.isZero() || found->disposed.date() < dateOfLoss.date();
        };
        items->removeIf(leftBefore);
    }
    addClaimEvidence(household, *items);
    return items;
}

ClaimTotals claimTotals(const QList<ClaimItem> &items)
{
    ClaimTotals totals;
    totals.byCategory = groupTotals(items, &ClaimItem::category, NoCategoryText);
    totals.byLocation = groupTotals(items, &ClaimItem::location, NoLocationText);
    for (const ClaimItem &item : items) {
        if (item.totvalue)
            totals.total += *item.totvalue;
    }
    return totals;
}
