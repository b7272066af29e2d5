#include "items/ItemStatus.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "program/Household.h"

namespace {

struct DisposalText {
    DisposalKind kind;
    const char *stored; // in the table and in exported files: never translated, never renamed
    const char *shown;
};
constexpr DisposalText Disposals[] = {
    {DisposalKind::Sold, "sold", "Sold"},
    {DisposalKind::GivenAway, "given away", "Given away"},
    {DisposalKind::ThrownAway, "thrown away", "Thrown away"},
};

const QString Columns =
    QStringLiteral("select iteid, warrantyend, lifetime, warrantydetails, disposed, disposedhow from itemstatus");

DateValue dateOf(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<DateValue>() ? value.value<DateValue>() : DateValue();
}

WarrantyDisposal fromRow(const Recordset &rs)
{
    WarrantyDisposal values;
    values.warrantyEnds = dateOf(rs.value(1));
    values.lifetime = rs.value(2).toBool();
    values.warrantyDetails = rs.value(3).toString();
    values.disposed = dateOf(rs.value(4));
    // A way written by a later version that this one does not know counts
    // as none: the day still says the item is gone.
    values.how = disposalKindOf(rs.value(5).toString()).value_or(DisposalKind::None);
    return values;
}

QVariant dateOrNull(const DateValue &date)
{
    return date.isZero() ? QVariant() : QVariant::fromValue(date);
}

} // namespace

QString disposalKindName(DisposalKind kind)
{
    for (const DisposalText &d : Disposals) {
        if (d.kind == kind)
            return QLatin1String(d.shown);
    }
    return QString();
}

QString storedDisposalKind(DisposalKind kind)
{
    for (const DisposalText &d : Disposals) {
        if (d.kind == kind)
            return QLatin1String(d.stored);
    }
    return QString();
}

std::optional<DisposalKind> disposalKindOf(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return DisposalKind::None;
    for (const DisposalText &d : Disposals) {
        if (trimmed.compare(QLatin1String(d.stored), Qt::CaseInsensitive) == 0
            || trimmed.compare(QLatin1String(d.shown), Qt::CaseInsensitive) == 0)
            return d.kind;
    }
    return std::nullopt;
}

std::optional<QString> warrantyDisposalProblem(const WarrantyDisposal &values, const DateValue &today)
{
    if (values.isDisposed() && values.disposed.date() > today.date())
        return DisposedAheadMessage;
    if (!values.isDisposed() && values.how != DisposalKind::None)
        return DisposedWithoutDayMessage;
    return std::nullopt;
}

ItemStatus::ItemStatus(Database &db) : m_db(db)
{
}

bool ItemStatus::hasTable() const
{
    return m_db.scalar(
                   QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = 'itemstatus'"))
               .toInt()
        > 0;
}

WarrantyDisposal ItemStatus::of(qint64 iteid) const
{
    if (!hasTable())
        return {};
    const std::unique_ptr<Recordset> rs =
        m_db.openRecordset(Columns + QStringLiteral(" where iteid = ?"), RecordsetType::Snapshot, {iteid});
    return rs->eof() ? WarrantyDisposal() : fromRow(*rs);
}

QHash<qint64, WarrantyDisposal> ItemStatus::all() const
{
    QHash<qint64, WarrantyDisposal> values;
    if (!hasTable())
        return values;
    const std::unique_ptr<Recordset> rs = m_db.openRecordset(Columns, RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext())
        values.insert(rs->value(0).toLongLong(), fromRow(*rs));
    return values;
}

void ItemStatus::store(qint64 iteid, const WarrantyDisposal &values)
{
    if (values.isEmpty()) {
        remove(iteid);
        return;
    }
    // Plain SQLite types and nothing of ours in the schema: any SQLite tool
    // can still read and write the file. The declared kinds are those of the
    // items' columns, so every reader of ours reads the dates as dates.
    m_db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS itemstatus ("
                                " iteid INTEGER PRIMARY KEY,"
                                " warrantyend DATETIME,"
                                " lifetime BOOLEAN,"
                                " warrantydetails TEXT,"
                                " disposed DATETIME,"
                                " disposedhow TEXT)"));
    const QString how = storedDisposalKind(values.how);
    m_db.execute(QStringLiteral("insert or replace into itemstatus (iteid, warrantyend, lifetime, warrantydetails, "
                                "disposed, disposedhow) values (?, ?, ?, ?, ?, ?)"),
                 {iteid, values.lifetime ? QVariant() : dateOrNull(values.warrantyEnds), values.lifetime,
                  values.warrantyDetails.isEmpty() ? QVariant() : QVariant(values.warrantyDetails),
                  dateOrNull(values.disposed), how.isEmpty() ? QVariant() : QVariant(how)});
}

void ItemStatus::remove(qint64 iteid)
{
    if (hasTable())
        m_db.execute(QStringLiteral("delete from itemstatus where iteid = ?"), {iteid});
}

QList<ItemStatus::Ending> ItemStatus::endingBy(const DateValue &by, bool withDisposed) const
{
    QList<Ending> ending;
    if (!hasTable())
        return ending;
    // Stored dates are ISO text, so the text order is the days' order; the
    // day's end is compared, so a date stored with a time still counts.
    const std::unique_ptr<Recordset> rs = m_db.openRecordset(
        QStringLiteral("select s.iteid, i.Item, s.warrantyend, s.warrantydetails from itemstatus s join items i on "
                       "i.iteid = s.iteid where s.warrantyend is not null and coalesce(s.lifetime, 0) = 0 and "
                       "substr(s.warrantyend, 1, 10) <= ? and (? or s.disposed is null) "
                       "order by substr(s.warrantyend, 1, 10), fold(i.Item), s.iteid"),
        RecordsetType::Snapshot, {by.toIsoText().left(10), withDisposed});
    for (; !rs->eof(); rs->moveNext()) {
        const DateValue ends = dateOf(rs->value(2));
        if (ends.isZero())
            continue; // a text another program stored that is no day
        ending << Ending{rs->value(0).toLongLong(), rs->value(1).toString(), ends, rs->value(3).toString()};
    }
    return ending;
}

QString ItemStatus::keptCondition(const QString &keyColumn) const
{
    if (!hasTable()
        || m_db.scalar(QStringLiteral("select count(*) from itemstatus where disposed is not null")).toInt() == 0)
        return QString();
    return keyColumn + QStringLiteral(" not in (select iteid from itemstatus where disposed is not null)");
}

QString keptItemsCondition(const Household &household, const QString &keyColumn)
{
    if (household.showsDisposed() || !household.dbInventory())
        return QString();
    return ItemStatus(household.inventory()).keptCondition(keyColumn);
}
