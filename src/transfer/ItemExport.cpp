#include "transfer/ItemExport.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/Money.h"
#include "data/SqliteSupport.h"
#include "data/Values.h"
#include "items/ItemStatus.h"
#include "transfer/CsvWriter.h"
#include "transfer/ItemFields.h"

#include <QDir>
#include <charconv>
#include <sqlite3.h>

const QString ItemExportStatement = QStringLiteral(
    "select i.iteid, i.Item, i.manufact, i.model, i.serno, i.purchdate, i.purchprice, i.estvalue, i.quantity, "
    "i.totvalue, i.receipt, i.wherepurch, i.misc1, i.Notes, c.catDesc, l.locDesc "
    "from items i left join categories c on c.catid = i.catid left join locations l on l.locid = i.locid "
    "order by i.iteid");

const QString ItemExportStatementWithStatus = QStringLiteral(
    "select i.iteid, i.Item, i.manufact, i.model, i.serno, i.purchdate, i.purchprice, i.estvalue, i.quantity, "
    "i.totvalue, i.receipt, i.wherepurch, i.misc1, i.Notes, c.catDesc, l.locDesc, "
    "s.warrantyend, s.lifetime, s.warrantydetails, s.disposed, s.disposedhow "
    "from items i left join categories c on c.catid = i.catid left join locations l on l.locid = i.locid "
    "left join itemstatus s on s.iteid = i.iteid "
    "order by i.iteid");

namespace {

enum Column {
    Key,
    Item,
    Manufact,
    Model,
    SerNo,
    PurchDate,
    PurchPrice,
    EstValue,
    Quantity,
    TotValue,
    Receipt,
    WherePurch,
    Misc1,
    Notes,
    Category,
    Location,
    WarrantyEnds,
    Lifetime,
    WarrantyDetails,
    Disposed,
    DisposedHow,
    ColumnCount
};

// The order of the statement's columns after the key.
constexpr ItemField FieldOrder[] = {
    ItemField::Item,      ItemField::Manufact,        ItemField::Model,      ItemField::SerNo,
    ItemField::PurchDate, ItemField::PurchPrice,      ItemField::EstValue,   ItemField::Quantity,
    ItemField::TotValue,  ItemField::Receipt,         ItemField::WherePurch, ItemField::Misc1,
    ItemField::Notes,     ItemField::Category,        ItemField::Location,   ItemField::WarrantyEnds,
    ItemField::Lifetime,  ItemField::WarrantyDetails, ItemField::Disposed,   ItemField::DisposedHow,
};
static_assert(std::size(FieldOrder) + 1 == ColumnCount);

QByteArrayView columnBytes(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return QByteArrayView(text ? text : "", sqlite3_column_bytes(statement, column));
}

// The amount in ten-thousandths, as the program reads it (Values.cpp).
std::optional<Money> storedAmount(sqlite3_stmt *statement, int column)
{
    const QVariant value = readColumn(statement, column, ColumnKind::Money);
    if (value.typeId() == qMetaTypeId<Money>())
        return value.value<Money>();
    return std::nullopt;
}

// "-12.5", "3", "0.0001", as Money::toDecimalText writes it.
QByteArrayView decimalText(Money amount, char (&buffer)[32])
{
    const bool negative = amount.units() < 0;
    std::uint64_t magnitude = negative ? 0 - std::uint64_t(amount.units()) : std::uint64_t(amount.units());
    char *end = buffer + sizeof buffer;
    char *out = end;
    std::uint64_t fraction = magnitude % Money::Scale;
    magnitude /= Money::Scale;
    if (fraction != 0) {
        int decimals = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --decimals;
        }
        for (int i = 0; i < decimals; ++i) {
            *--out = char('0' + fraction % 10);
            fraction /= 10;
        }
        *--out = '.';
    }
    do {
        *--out = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--out = '-';
    return QByteArrayView(out, end - out);
}

void writeText(CsvFileWriter &file, sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        file.null();
    else
        file.text(columnBytes(statement, column), true);
}

void writeAmount(CsvFileWriter &file, sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
        file.null();
    } else if (const std::optional<Money> amount = storedAmount(statement, column)) {
        char buffer[32];
        file.text(decimalText(*amount, buffer), false);
    } else if (sqlite3_column_type(statement, column) == SQLITE_FLOAT) {
        // A number beyond the money type (put there by another program):
        // its shortest exact decimal, not SQLite's text of fifteen digits.
        char buffer[400];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, sqlite3_column_double(statement, column),
                                           std::chars_format::fixed);
        if (written.ec == std::errc())
            file.text(QByteArrayView(buffer, written.ptr - buffer), false);
        else
            file.text(columnBytes(statement, column), true);
    } else {
        file.text(columnBytes(statement, column), true);
    }
}

// Stored dates are ISO text already and go out as they are; a date kept as
// a day count (by another program) is written as ISO text too.
void writeDate(CsvFileWriter &file, sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        file.null();
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        if (const QString iso = DateValue(sqlite3_column_double(statement, column)).toIsoText(); !iso.isEmpty()) {
            file.text(iso.toLatin1(), false);
            return;
        }
        break;
    default:
        break;
    }
    file.text(columnBytes(statement, column), true);
}

void writeReceipt(CsvFileWriter &file, sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        file.null();
        break;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        file.text(sqlite3_column_double(statement, column) != 0.0 ? QByteArrayView("Yes") : QByteArrayView("No"),
                  false);
        break;
    default:
        file.text(columnBytes(statement, column), true);
    }
}

[[noreturn]] void failWriting(const CsvFileWriter &file, const QString &path)
{
    throw DbError(DbError::PathFileAccess,
                  QStringLiteral("The items cannot be written to '%1': %2")
                      .arg(QDir::toNativeSeparators(path), file.errorString()));
}

} // namespace

int exportItems(Database &db, const QString &path)
{
    // The columns of warranties and disposals come only from an inventory
    // that has them: the export of one that never had any is the file it
    // always was (the importers find columns by their headings either way).
    const bool withStatus = ItemStatus(db).hasTable();
    const int columnCount = withStatus ? ColumnCount : int(WarrantyEnds);
    Statement statement(db.handle(), withStatus ? ItemExportStatementWithStatus : ItemExportStatement);
    sqlite3_stmt *raw = statement.get();
    CsvFileWriter file(path);
    if (!file.open())
        failWriting(file, path);
    file.text(KeyHeading, false);
    for (int column = Item; column < columnCount; ++column)
        file.text(fieldCaption(FieldOrder[column - Item]), false);
    if (!file.endRow())
        failWriting(file, path);

    int count = 0;
    while (statement.step()) {
        if (sqlite3_column_type(raw, Key) == SQLITE_NULL)
            file.null();
        else
            file.text(columnBytes(raw, Key), false);
        for (int column = Item; column < columnCount; ++column) {
            switch (column) {
            case PurchDate:
            case WarrantyEnds:
            case Disposed:
                writeDate(file, raw, column);
                break;
            case PurchPrice:
            case EstValue:
            case TotValue:
                writeAmount(file, raw, column);
                break;
            case Quantity:
                if (sqlite3_column_type(raw, column) == SQLITE_NULL)
                    file.null();
                else
                    file.text(columnBytes(raw, column), sqlite3_column_type(raw, column) == SQLITE_TEXT);
                break;
            case Receipt:
            case Lifetime:
                writeReceipt(file, raw, column);
                break;
            default:
                writeText(file, raw, column);
            }
        }
        if (!file.endRow())
            failWriting(file, path);
        ++count;
    }
    statement.reset();
    if (!file.commit())
        failWriting(file, path);
    return count;
}
