#include "setup/ItemWriter.h"

#include "data/Database.h"
#include "data/DateValue.h"

#include <utility>

static constexpr int ColumnCount = 16;

static QVariant text(const std::optional<QString> &value)
{
    return value ? QVariant(*value) : QVariant();
}

static QVariant money(const std::optional<Money> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

template <class Int>
static QVariant integer(const std::optional<Int> &value)
{
    return value ? QVariant(qlonglong(*value)) : QVariant();
}

ItemWriter::ItemWriter(Database &db) : m_db(db), m_fullBatch(insertStatement(RowsPerStatement))
{
    m_nextKey = m_db.scalar(QStringLiteral("select coalesce(max(iteid), 0) + 1 from items")).toLongLong();
    m_pending.reserve(RowsPerStatement * ColumnCount);
}

qint64 ItemWriter::add(const ItemRow &row)
{
    const qint64 key = m_nextKey++;
    m_pending << key << row.item << text(row.manufact) << text(row.model) << text(row.serno)
              << (row.purchdate ? QVariant(DateValue::fromDate(*row.purchdate).toIsoText()) : QVariant())
              << money(row.purchprice) << money(row.estvalue) << integer(row.quantity) << money(row.totalValue())
              << QVariant(row.receipt ? 1 : 0) << text(row.wherepurch) << text(row.misc1) << text(row.notes)
              << integer(row.catid) << integer(row.locid);
    if (++m_pendingRows == RowsPerStatement)
        flush();
    return key;
}

void ItemWriter::flush()
{
    if (m_pendingRows == 0)
        return;
    const QString sql = m_pendingRows == RowsPerStatement ? m_fullBatch : insertStatement(m_pendingRows);
    // Cleared first: a failed batch must not be written again by a later flush.
    const QVariantList values = std::exchange(m_pending, {});
    m_pendingRows = 0;
    m_pending.reserve(RowsPerStatement * ColumnCount);
    m_db.execute(sql, values);
}

QString ItemWriter::insertStatement(int rows)
{
    QString sql =
        QStringLiteral("insert into items (iteid, Item, manufact, model, serno, purchdate, purchprice, estvalue, "
                       "quantity, totvalue, receipt, wherepurch, misc1, Notes, catid, locid) values ");
    const QString oneRow = QStringLiteral("(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < rows; ++i) {
        if (i > 0)
            sql += QLatin1Char(',');
        sql += oneRow;
    }
    return sql;
}
