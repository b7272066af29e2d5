#include "data/Salvage.h"

#include "data/SqliteSupport.h"

#include <QStringList>
#include <limits>
#include <optional>
#include <sqlite3.h>

namespace {

constexpr qint64 LowestKey = std::numeric_limits<qint64>::min();
constexpr qint64 HighestKey = std::numeric_limits<qint64>::max();

struct TableShape {
    QStringList columns; // stored columns, quoted
    bool hasRowid = true;
    bool rowidIsColumn = false; // an INTEGER PRIMARY KEY carries the key
};

TableShape shapeOf(sqlite3 *rebuilt, const QString &table)
{
    TableShape shape;
    Statement info(rebuilt, QStringLiteral("select name, type, pk, hidden from pragma_table_xinfo(?1)"));
    info.bind(1, table);
    int primaryKeyColumns = 0;
    bool integerKey = false;
    while (info.step()) {
        if (info.int64Value(3) != 0)
            continue; // generated columns are worked out, not stored
        shape.columns << quoteIdentifier(info.rawValue(0).toString());
        if (info.int64Value(2) > 0) {
            ++primaryKeyColumns;
            integerKey = info.rawValue(1).toString().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        }
    }
    info.reset();
    shape.hasRowid =
        Statement::tryPrepare(rebuilt, QStringLiteral("select rowid from ") + quoteIdentifier(table)).isValid();
    shape.rowidIsColumn = shape.hasRowid && primaryKeyColumns == 1 && integerKey;
    return shape;
}

class TableCopier {
public:
    TableCopier(sqlite3 *rebuilt, const QString &table, const TableShape &shape) : m_db(rebuilt), m_shape(shape)
    {
        QStringList names = shape.columns;
        if (shape.hasRowid && !shape.rowidIsColumn)
            names.prepend(QStringLiteral("rowid"));
        QStringList placeholders;
        for (int i = 1; i <= names.size(); ++i)
            placeholders << QStringLiteral("?%1").arg(i);
        m_insert = Statement(rebuilt,
                             QStringLiteral("insert into %1 (%2) values (%3)")
                                 .arg(quoteIdentifier(table), names.join(QStringLiteral(", ")),
                                      placeholders.join(QStringLiteral(", "))));
    }

    // Copies the row the reader stands on; its first column is the rowid
    // when the table has one. False when the rebuilt table refuses the row.
    bool copy(sqlite3_stmt *reader)
    {
        sqlite3_stmt *insert = m_insert.get();
        sqlite3_reset(insert);
        sqlite3_clear_bindings(insert);
        const int skip = m_shape.hasRowid && m_shape.rowidIsColumn ? 1 : 0;
        const int count = sqlite3_column_count(reader);
        for (int i = skip; i < count; ++i)
            sqlite3_bind_value(insert, i - skip + 1, sqlite3_column_value(reader, i));
        const int rc = sqlite3_step(insert);
        sqlite3_reset(insert);
        if (rc == SQLITE_DONE)
            return true;
        if ((rc & 0xff) == SQLITE_CONSTRAINT || (rc & 0xff) == SQLITE_MISMATCH)
            return false;
        throw sqliteError(m_db, rc, SqlContext::Write);
    }

private:
    sqlite3 *m_db;
    TableShape m_shape;
    Statement m_insert;
};

// Whether reading rows with keys from `start` on begins without failing.
bool readableFrom(sqlite3_stmt *reader, qint64 start)
{
    sqlite3_reset(reader);
    sqlite3_bind_int64(reader, 1, start);
    const int rc = sqlite3_step(reader);
    sqlite3_reset(reader);
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

// Keys as distances from the lowest key, so that the probes below can reach
// from any key to the highest one without overflowing; the order is kept.
quint64 ordinalOf(qint64 key)
{
    return quint64(key) ^ (quint64(1) << 63);
}

qint64 keyOf(quint64 ordinal)
{
    return qint64(ordinal ^ (quint64(1) << 63));
}

// The smallest key after `failed` from which reading works again.
//
// The keys just after it are tried one by one first: a damaged leaf page
// fails for every start up to its last key, and the next page that can be
// read begins right after. Trying every key cannot jump over a sound page
// lying between two damaged ones, as the wider steps below can; keys given
// out by a counter lie close together, so this nearly always ends it.
//
// Past that, for keys far apart, probe at distances doubling up to the
// highest key until a read succeeds, then halve the gap to the last failing
// probe. Nothing when no key after `failed` can be read.
std::optional<qint64> nextReadableStart(sqlite3_stmt *reader, qint64 failed)
{
    constexpr quint64 Highest = std::numeric_limits<quint64>::max();
    const quint64 from = ordinalOf(failed);
    for (quint64 step = 1; step <= KeysTriedOneByOne; ++step) {
        if (from + step < from)
            return std::nullopt; // past the highest key
        if (readableFrom(reader, keyOf(from + step)))
            return keyOf(from + step);
    }
    quint64 bad = from + KeysTriedOneByOne;
    quint64 good = 0;
    for (quint64 distance = 2 * KeysTriedOneByOne;; distance = distance > Highest / 2 ? Highest : distance * 2) {
        const quint64 candidate = Highest - from < distance ? Highest : from + distance;
        if (readableFrom(reader, keyOf(candidate))) {
            good = candidate;
            break;
        }
        bad = candidate;
        if (candidate == Highest)
            return std::nullopt;
    }
    while (good - bad > 1) {
        const quint64 middle = bad + (good - bad) / 2;
        if (readableFrom(reader, keyOf(middle)))
            good = middle;
        else
            bad = middle;
    }
    return keyOf(good);
}

std::optional<qint64> countRows(sqlite3 *damaged, const QString &table)
{
    Statement count = Statement::tryPrepare(damaged, QStringLiteral("select count(*) from ") + quoteIdentifier(table));
    if (!count.isValid() || sqlite3_step(count.get()) != SQLITE_ROW)
        return std::nullopt;
    return count.int64Value(0);
}

} // namespace

SalvagedTable salvageTable(sqlite3 *damaged, sqlite3 *rebuilt, const QString &table)
{
    SalvagedTable result;
    const TableShape shape = shapeOf(rebuilt, table);
    if (shape.columns.isEmpty())
        return result;
    TableCopier copier(rebuilt, table, shape);
    const QString columns = shape.columns.join(QStringLiteral(", "));
    bool failed = false;

    if (!shape.hasRowid) {
        // No key to go on by: what one pass reads is what there is.
        Statement reader =
            Statement::tryPrepare(damaged, QStringLiteral("select %1 from %2").arg(columns, quoteIdentifier(table)));
        if (!reader.isValid())
            return result;
        int rc;
        while ((rc = sqlite3_step(reader.get())) == SQLITE_ROW)
            result.recovered += copier.copy(reader.get()) ? 1 : 0;
        failed = rc != SQLITE_DONE;
    } else {
        Statement reader =
            Statement::tryPrepare(damaged,
                                  QStringLiteral("select rowid, %1 from %2 where rowid >= ?1 order by rowid")
                                      .arg(columns, quoteIdentifier(table)));
        if (!reader.isValid())
            return result;
        sqlite3_stmt *r = reader.get();
        qint64 from = LowestKey;
        int stretches = 0;
        for (;;) {
            sqlite3_reset(r);
            sqlite3_bind_int64(r, 1, from);
            int rc;
            bool atLastKey = false;
            while ((rc = sqlite3_step(r)) == SQLITE_ROW) {
                const qint64 key = sqlite3_column_int64(r, 0);
                result.recovered += copier.copy(r) ? 1 : 0;
                if (key == HighestKey) {
                    atLastKey = true;
                    break;
                }
                from = key + 1;
            }
            sqlite3_reset(r);
            if (atLastKey || rc == SQLITE_DONE)
                break;
            failed = true;
            if (++stretches > MaxDamagedStretches)
                break;
            const std::optional<qint64> next = nextReadableStart(r, from);
            if (!next)
                break;
            from = *next;
        }
    }

    if (const auto stored = countRows(damaged, table))
        result.lost = int(qMax<qint64>(0, *stored - result.recovered));
    else if (!failed)
        result.lost = 0;
    return result;
}
