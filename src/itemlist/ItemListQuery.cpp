#include "itemlist/ItemListQuery.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/SearchText.h"
#include "data/SqliteSupport.h"
#include "data/Values.h"
#include "itemlist/ListOrder.h"

#include <algorithm>
#include <future>
#include <iterator>
#include <limits>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

const QString FromItems = QStringLiteral(
    " from items i left join categories c on c.catid = i.catid left join locations l on l.locid = i.locid");

// The total value as the program reads it; Null when it is none or not an amount.
std::optional<Money> amountAt(sqlite3_stmt *statement, int column)
{
    return readMoney(statement, column);
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
    case ListColumn::Photos:
        return QStringLiteral("Photos");
    case ListColumn::Documents:
        return QStringLiteral("Documents");
    case ListColumn::WarrantyEnds:
        return QStringLiteral("Warranty Ends");
    }
    return QString();
}

namespace {

bool hasTable(Database &db, const char *name)
{
    return db.scalar(QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = ?"),
                     {QString::fromLatin1(name)})
               .toInt()
        > 0;
}

// The values of the columns that live beside the items' table; null and 0
// in an inventory that never had them, so nothing is made to read them.
struct BesideColumns {
    QString photos;
    QString documents;
    QString warrantyEnds;
    QString lifetime;
};

BesideColumns besideColumns(Database &db)
{
    BesideColumns columns{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("null"), QStringLiteral("0")};
    if (hasTable(db, "itemfiles")) {
        columns.photos =
            QStringLiteral("(select count(*) from itemfiles f where f.iteid = i.iteid and f.kind = 'photo')");
        columns.documents =
            QStringLiteral("(select count(*) from itemfiles f where f.iteid = i.iteid and f.kind <> 'photo')");
    }
    if (hasTable(db, "itemstatus")) {
        columns.warrantyEnds = QStringLiteral("(select s.warrantyend from itemstatus s where s.iteid = i.iteid)");
        columns.lifetime = QStringLiteral("(select coalesce(s.lifetime, 0) from itemstatus s where s.iteid = i.iteid)");
    }
    return columns;
}

// The column's stored value as the list compares it.
QString valueColumn(Database &db, ListColumn column)
{
    switch (column) {
    case ListColumn::Item:
        return QStringLiteral("i.Item");
    case ListColumn::Category:
        return QStringLiteral("i.catid");
    case ListColumn::Location:
        return QStringLiteral("i.locid");
    case ListColumn::Manufact:
        return QStringLiteral("i.manufact");
    case ListColumn::Model:
        return QStringLiteral("i.model");
    case ListColumn::SerNo:
        return QStringLiteral("i.serno");
    case ListColumn::PurchDate:
        return QStringLiteral("i.purchdate");
    case ListColumn::TotValue:
        return QStringLiteral("i.totvalue");
    case ListColumn::Photos:
        return besideColumns(db).photos;
    case ListColumn::Documents:
        return besideColumns(db).documents;
    case ListColumn::WarrantyEnds:
        return besideColumns(db).warrantyEnds;
    }
    return QStringLiteral("null");
}

// A stored date or amount, compared as the database compares values: no
// value first, then numbers by value, then texts and blobs by their bytes.
struct StoredValue {
    int type = SQLITE_NULL;
    qint64 integer = 0;
    double real = 0;
    std::string bytes;
};

StoredValue storedValue(sqlite3_stmt *statement, int column)
{
    StoredValue value;
    value.type = sqlite3_column_type(statement, column);
    if (value.type == SQLITE_INTEGER)
        value.integer = sqlite3_column_int64(statement, column);
    else if (value.type == SQLITE_FLOAT)
        value.real = sqlite3_column_double(statement, column);
    else if (value.type == SQLITE_TEXT || value.type == SQLITE_BLOB) {
        const void *data = value.type == SQLITE_TEXT ? static_cast<const void *>(sqlite3_column_text(statement, column))
                                                     : sqlite3_column_blob(statement, column);
        if (data)
            value.bytes.assign(static_cast<const char *>(data), std::size_t(sqlite3_column_bytes(statement, column)));
    }
    return value;
}

int typeRank(int type)
{
    switch (type) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return 1;
    case SQLITE_TEXT:
        return 2;
    default:
        return 3;
    }
}

bool valueBefore(const StoredValue &a, const StoredValue &b)
{
    const int rankA = typeRank(a.type), rankB = typeRank(b.type);
    if (rankA != rankB)
        return rankA < rankB;
    if (rankA == 1) {
        if (a.type == SQLITE_INTEGER && b.type == SQLITE_INTEGER)
            return a.integer < b.integer;
        const long double x = a.type == SQLITE_INTEGER ? (long double)a.integer : (long double)a.real;
        const long double y = b.type == SQLITE_INTEGER ? (long double)b.integer : (long double)b.real;
        return x < y;
    }
    return a.bytes < b.bytes;
}

// The descriptions of one code table by their ids, as UTF-8.
QHash<qint64, QByteArray> codeDescriptions(Database &db, const QString &sql)
{
    QHash<qint64, QByteArray> codes;
    Statement statement(db.handle(), sql);
    while (statement.step()) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement.get(), 1));
        codes.insert(statement.int64Value(0), QByteArray(text, text ? sqlite3_column_bytes(statement.get(), 1) : 0));
    }
    statement.reset();
    return codes;
}

} // namespace

namespace {

// The rows of one range of keys, as scanListItems reads them: texts one
// after the other, each row's by its end; values each of its own.
struct ScanPart {
    std::vector<qint64> keys;
    std::vector<std::optional<Money>> totals;
    std::string texts;
    std::vector<std::size_t> textEnds;
    std::vector<StoredValue> values;
};

// What one scan reads: the column, whether with totals, the items kept
// (an SQL condition, empty for all), the code descriptions of a code column,
// the items that have a picture, and the column's value as SQL.
struct ScanAsked {
    ListColumn column;
    bool withTotals;
    const QString &kept;
    const QHash<qint64, QByteArray> &codes;
    const QSet<qint64> &pictured;
    QString value;
    bool byCode;
    bool byText;
};

// expected: about how many rows the range holds, so the part grows once.
ScanPart scanPart(Database &db, const ScanAsked &asked, qint64 from, qint64 to, std::size_t expected = 0)
{
    const ListColumn column = asked.column;
    const bool withTotals = asked.withTotals, byCode = asked.byCode, byText = asked.byText;
    const QHash<qint64, QByteArray> &codes = asked.codes;
    ScanPart part;
    part.keys.reserve(expected);
    if (withTotals)
        part.totals.reserve(expected);
    if (byText)
        part.textEnds.reserve(expected);
    else
        part.values.reserve(expected);
    Statement statement(
        db.handle(),
        QStringLiteral("select i.iteid, %1, %2 from items i where i.iteid between ?1 and ?2%3 order by i.iteid")
            .arg(withTotals ? QStringLiteral("i.totvalue") : QStringLiteral("null"), asked.value,
                 asked.kept.isEmpty() ? QString() : QStringLiteral(" and (%1)").arg(asked.kept)));
    statement.bind(1, QVariant(from));
    statement.bind(2, QVariant(to));
    sqlite3_stmt *raw = statement.get();
    while (statement.step()) {
        part.keys.push_back(statement.int64Value(0));
        if (withTotals)
            part.totals.push_back(amountAt(raw, 1));
        if (byCode) {
            if (sqlite3_column_type(raw, 2) != SQLITE_NULL) {
                const auto code = codes.constFind(sqlite3_column_int64(raw, 2));
                if (code != codes.constEnd())
                    part.texts.append(code->constData(), std::size_t(code->size()));
            }
            part.textEnds.push_back(part.texts.size());
        } else if (byText) {
            if (const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(raw, 2)))
                part.texts.append(text, std::size_t(sqlite3_column_bytes(raw, 2)));
            part.textEnds.push_back(part.texts.size());
        } else {
            part.values.push_back(storedValue(raw, 2));
            // The picture is a photo too, though no row of itemfiles names it.
            if (column == ListColumn::Photos && asked.pictured.contains(part.keys.back()))
                ++part.values.back().integer;
        }
    }
    statement.reset();
    return part;
}

// Below this many keys a second reader costs more than it saves.
constexpr qint64 SplitFrom = 50'000;

// Every item's row. A large inventory is read in two halves of its keys at
// once, the upper one through a connection of its own on another thread:
// the reading is most of the time the list takes to come up. A database
// held exclusively lets no second connection in and is read in one.
std::vector<ScanPart> scanAll(Database &db, const ScanAsked &asked)
{
    // Two subqueries: each finds its end of the key at once, where one
    // query of both reads every row.
    Statement range(db.handle(),
                    QStringLiteral("select (select min(iteid) from items), (select max(iteid) from items)"));
    const bool any = range.step() && !range.isNull(0);
    const qint64 low = any ? range.int64Value(0) : 0, high = any ? range.int64Value(1) : 0;
    range.reset();
    std::vector<ScanPart> parts;
    if (!any || high - low < SplitFrom || db.mode() == OpenMode::Exclusive) {
        parts.push_back(scanPart(db, asked, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
        return parts;
    }
    const qint64 middle = low + (high - low) / 2;
    // Keys run mostly without gaps: each half holds about half the range
    // (a range with wide gaps reserves no more than a large list's share).
    const auto half = std::size_t(std::min<qint64>((high - low) / 2 + 1, 600'000));
    std::future<ScanPart> upper = std::async(std::launch::async, [&, path = db.path()] {
        const std::unique_ptr<Database> own = Database::open(path);
        return scanPart(*own, asked, middle + 1, std::numeric_limits<qint64>::max(), half);
    });
    parts.push_back(scanPart(db, asked, std::numeric_limits<qint64>::min(), middle, half));
    parts.push_back(upper.get());
    return parts;
}

} // namespace

ListScan scanListItems(Database &db, ListColumn column, bool withTotals, const QString &kept,
                       const QSet<qint64> &pictured)
{
    const bool byCode = column == ListColumn::Category || column == ListColumn::Location;
    const bool byText = byCode
        || (column != ListColumn::PurchDate && column != ListColumn::TotValue && column != ListColumn::Photos
            && column != ListColumn::Documents && column != ListColumn::WarrantyEnds);
    QHash<qint64, QByteArray> codes;
    if (column == ListColumn::Category)
        codes = codeDescriptions(db, QStringLiteral("select catid, catDesc from categories"));
    else if (column == ListColumn::Location)
        codes = codeDescriptions(db, QStringLiteral("select locid, locDesc from locations"));

    std::vector<ScanPart> parts =
        scanAll(db, ScanAsked{column, withTotals, kept, codes, pictured, valueColumn(db, column), byCode, byText});
    ListScan scan;
    // The parts' texts stay where they were read: the order is worked out
    // over views of them, as copying them together would take longer.
    std::vector<std::string_view> rowTexts;
    std::vector<StoredValue> values;
    for (ScanPart &part : parts) {
        if (scan.keys.empty()) {
            scan.keys = std::move(part.keys);
            scan.totals = std::move(part.totals);
            values = std::move(part.values);
        } else {
            scan.keys.insert(scan.keys.end(), part.keys.begin(), part.keys.end());
            scan.totals.insert(scan.totals.end(), part.totals.begin(), part.totals.end());
            std::move(part.values.begin(), part.values.end(), std::back_inserter(values));
        }
        rowTexts.reserve(rowTexts.size() + part.textEnds.size());
        std::size_t start = 0;
        for (const std::size_t end : part.textEnds) {
            rowTexts.emplace_back(part.texts.data() + start, end - start);
            start = end;
        }
    }
    if (byText) {
        scan.ascending = collatedOrder(rowTexts);
    } else {
        scan.ascending.resize(values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            scan.ascending[i] = int(i);
        std::stable_sort(scan.ascending.begin(), scan.ascending.end(),
                         [&](int a, int b) { return valueBefore(values[std::size_t(a)], values[std::size_t(b)]); });
    }
    return scan;
}

QHash<qint64, ListRow> readListRows(Database &db, const std::vector<qint64> &keys)
{
    QHash<qint64, ListRow> rows;
    if (keys.empty())
        return rows;
    const BesideColumns beside = besideColumns(db);
    QString sql = QStringLiteral("select i.iteid, i.Item, c.catDesc, l.locDesc, i.manufact, i.model, i.serno, "
                                 "i.purchdate, i.totvalue, %1, %2, %3, %4")
                      .arg(beside.photos, beside.documents, beside.warrantyEnds, beside.lifetime)
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
        for (int column = 1; column <= int(ListColumn::TotValue) + 1; ++column)
            row.values.push_back(readColumn(raw, column, kindFromDeclType(sqlite3_column_decltype(raw, column))));
        const int photos = int(ListColumn::Photos) + 1;
        row.values.push_back(sqlite3_column_int(raw, photos));
        row.values.push_back(sqlite3_column_int(raw, photos + 1));
        // A subquery has no declared kind: the day is read as the text it is stored as.
        QVariant ends;
        if (sqlite3_column_int(raw, photos + 3) != 0)
            ends = QStringLiteral("Lifetime");
        else if (sqlite3_column_type(raw, photos + 2) == SQLITE_TEXT) {
            if (const std::optional<DateValue> day = DateValue::fromIsoText(
                    QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, photos + 2)))))
                ends = QVariant::fromValue(*day);
        }
        row.values.push_back(ends);
        rows.insert(statement.int64Value(0), std::move(row));
    }
    statement.reset();
    return rows;
}
