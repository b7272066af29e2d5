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

void ItemStatus::makeTable()
{
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
}

bool ItemStatus::hasToCompleteColumn() const
{
    return hasTable()
        && m_db.scalar(QStringLiteral("select count(*) from pragma_table_info('itemstatus') where name = 'tocomplete'"))
               .toInt()
        > 0;
}

void ItemStatus::store(qint64 iteid, const WarrantyDisposal &values)
{
    if (values.isEmpty()) {
        // The row goes unless it still carries the mark, which is no
        // warranty's or disposal's to take.
        if (hasToCompleteColumn()) {
            m_db.execute(QStringLiteral("delete from itemstatus where iteid = ? and coalesce(tocomplete, 0) = 0"),
                         {iteid});
            m_db.execute(QStringLiteral("update itemstatus set warrantyend = null, lifetime = null, "
                                        "warrantydetails = null, disposed = null, disposedhow = null where iteid = ?"),
                         {iteid});
        } else {
            remove(iteid);
        }
        return;
    }
    makeTable();
    const QString how = storedDisposalKind(values.how);
    // An update of the row's own columns: a replace would drop the mark.
    m_db.execute(QStringLiteral("insert into itemstatus (iteid, warrantyend, lifetime, warrantydetails, disposed, "
                                "disposedhow) values (?, ?, ?, ?, ?, ?) on conflict (iteid) do update set "
                                "warrantyend = excluded.warrantyend, lifetime = excluded.lifetime, "
                                "warrantydetails = excluded.warrantydetails, disposed = excluded.disposed, "
                                "disposedhow = excluded.disposedhow"),
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

void ItemStatus::setToComplete(qint64 iteid, bool toComplete)
{
    if (!toComplete) {
        if (!hasToCompleteColumn())
            return;
        m_db.execute(QStringLiteral("update itemstatus set tocomplete = null where iteid = ?"), {iteid});
        // A row that held nothing else goes, as store leaves none empty.
        m_db.execute(QStringLiteral("delete from itemstatus where iteid = ? and warrantyend is null and "
                                    "coalesce(lifetime, 0) = 0 and warrantydetails is null and disposed is null "
                                    "and disposedhow is null"),
                     {iteid});
        return;
    }
    makeTable();
    if (!hasToCompleteColumn())
        m_db.execute(QStringLiteral("ALTER TABLE itemstatus ADD COLUMN tocomplete BOOLEAN"));
    m_db.execute(QStringLiteral("insert into itemstatus (iteid, tocomplete) values (?, 1) "
                                "on conflict (iteid) do update set tocomplete = 1"),
                 {iteid});
}

bool ItemStatus::isToComplete(qint64 iteid) const
{
    return hasToCompleteColumn()
        && m_db.scalar(QStringLiteral("select count(*) from itemstatus where iteid = ? and tocomplete <> 0"), {iteid})
               .toInt()
        > 0;
}

int ItemStatus::toCompleteCount(const QString &keptCondition) const
{
    if (!hasToCompleteColumn())
        return 0;
    return m_db
        .scalar(QStringLiteral("select count(*) from items i where ") + toCompleteCondition(QStringLiteral("i.iteid"))
                + (keptCondition.isEmpty() ? QString() : QStringLiteral(" and ") + keptCondition))
        .toInt();
}

QString ItemStatus::toCompleteCondition(const QString &keyColumn) const
{
    if (!hasToCompleteColumn())
        return QStringLiteral("0");
    return keyColumn + QStringLiteral(" in (select iteid from itemstatus where tocomplete <> 0)");
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
