#include "data/Values.h"

#include "data/DateValue.h"
#include "data/Money.h"

#include <QDate>
#include <QDateTime>
#include <cmath>
#include <limits>
#include <sqlite3.h>

ColumnKind kindFromDeclType(const char *declType)
{
    if (!declType)
        return ColumnKind::Raw;
    const QByteArray type = QByteArray(declType).toUpper();
    if (type.contains("CURRENCY") || type.contains("MONEY"))
        return ColumnKind::Money;
    if (type.contains("DATE") || type.contains("TIME"))
        return ColumnKind::Date;
    if (type.contains("BOOL"))
        return ColumnKind::Boolean;
    if (type.contains("INT"))
        return ColumnKind::Integer;
    return ColumnKind::Raw;
}

QVariant integerVariant(qint64 value)
{
    if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
        return QVariant(int(value));
    return QVariant(qlonglong(value));
}

static QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

static QVariant rawColumn(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return integerVariant(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
        return QVariant(columnText(statement, column));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(statement, column));
        const int size = sqlite3_column_bytes(statement, column);
        return QVariant(QByteArray(data ? data : "", size));
    }
    default:
        return QVariant();
    }
}

std::optional<Money> readMoney(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER: {
        qint64 units;
        if (!__builtin_mul_overflow(sqlite3_column_int64(statement, column), Money::Scale, &units))
            return Money::fromUnits(units);
        return std::nullopt;
    }
    case SQLITE_FLOAT:
        return Money::fromDouble(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
        return Money::fromDecimalText(columnText(statement, column));
    default:
        return std::nullopt;
    }
}

QVariant readColumn(sqlite3_stmt *statement, int column, ColumnKind kind)
{
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_NULL)
        return QVariant();
    switch (kind) {
    case ColumnKind::Raw:
        break;
    case ColumnKind::Integer:
        if (type == SQLITE_INTEGER)
            return integerVariant(sqlite3_column_int64(statement, column));
        break;
    case ColumnKind::Boolean:
        if (type == SQLITE_INTEGER)
            return QVariant(sqlite3_column_int64(statement, column) != 0);
        if (type == SQLITE_FLOAT)
            return QVariant(sqlite3_column_double(statement, column) != 0.0);
        break;
    case ColumnKind::Money:
        if (const std::optional<Money> money = readMoney(statement, column))
            return QVariant::fromValue(*money);
        break;
    case ColumnKind::Date:
        if (type == SQLITE_TEXT) {
            if (const auto date = DateValue::fromIsoText(columnText(statement, column)))
                return QVariant::fromValue(*date);
        } else if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            return QVariant::fromValue(DateValue(sqlite3_column_double(statement, column)));
        }
        break;
    }
    return rawColumn(statement, column);
}

static int bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text64(statement, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
}

static int bindDate(sqlite3_stmt *statement, int index, const DateValue &date)
{
    const QString text = date.toIsoText();
    if (text.isEmpty())
        return SQLITE_MISMATCH;
    return bindText(statement, index, text);
}

int bindValue(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(statement, index);
    const int type = value.typeId();
    if (type == qMetaTypeId<Money>())
        return sqlite3_bind_double(statement, index, value.value<Money>().toDouble());
    if (type == qMetaTypeId<DateValue>())
        return bindDate(statement, index, value.value<DateValue>());
    switch (type) {
    case QMetaType::QString:
        return bindText(statement, index, value.toString());
    case QMetaType::QChar:
        return bindText(statement, index, QString(value.toChar()));
    case QMetaType::Bool:
        return sqlite3_bind_int64(statement, index, value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::UChar:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return SQLITE_MISMATCH;
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::QDate:
        return bindDate(statement, index, DateValue::fromDate(value.toDate()));
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        return bindDate(statement, index, DateValue::fromDateTime(dateTime.date(), dateTime.time()));
    }
    default:
        return SQLITE_MISMATCH;
    }
}

static bool isIntegerType(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

static std::optional<QVariant> toMoney(const QVariant &value)
{
    const int type = value.typeId();
    if (type == qMetaTypeId<Money>())
        return value;
    std::optional<Money> money;
    if (isIntegerType(type)) {
        qint64 units;
        if (!__builtin_mul_overflow(value.toLongLong(), Money::Scale, &units))
            money = Money::fromUnits(units);
    } else if (type == QMetaType::Double || type == QMetaType::Float) {
        money = Money::fromDouble(value.toDouble());
    } else if (type == QMetaType::QString) {
        money = Money::fromDecimalText(value.toString());
    }
    if (!money)
        return std::nullopt;
    return QVariant::fromValue(*money);
}

static std::optional<QVariant> toDate(const QVariant &value)
{
    const int type = value.typeId();
    std::optional<DateValue> date;
    if (type == qMetaTypeId<DateValue>()) {
        date = value.value<DateValue>();
    } else if (type == QMetaType::QDate) {
        if (value.toDate().isValid())
            date = DateValue::fromDate(value.toDate());
    } else if (type == QMetaType::QDateTime) {
        const QDateTime dateTime = value.toDateTime();
        if (dateTime.isValid())
            date = DateValue::fromDateTime(dateTime.date(), dateTime.time());
    } else if (type == QMetaType::QString) {
        date = DateValue::fromIsoText(value.toString());
    } else if (type == QMetaType::Double || type == QMetaType::Float || isIntegerType(type)) {
        date = DateValue(value.toDouble());
    }
    // Stored as text, so a date must have one.
    if (!date || date->toIsoText().isEmpty())
        return std::nullopt;
    return QVariant::fromValue(*date);
}

static std::optional<QVariant> toBoolean(const QVariant &value)
{
    const int type = value.typeId();
    if (type == QMetaType::Bool)
        return value;
    if (isIntegerType(type))
        return QVariant(value.toLongLong() != 0);
    if (type == QMetaType::Double || type == QMetaType::Float)
        return QVariant(value.toDouble() != 0.0);
    if (type == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return QVariant(true);
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return QVariant(false);
    }
    return std::nullopt;
}

static std::optional<QVariant> toInteger(const QVariant &value)
{
    const int type = value.typeId();
    if (isIntegerType(type))
        return integerVariant(value.toLongLong());
    if (type == QMetaType::ULongLong) {
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return integerVariant(value.toLongLong());
    }
    if (type == QMetaType::Bool)
        return QVariant(value.toBool() ? 1 : 0);
    if (type == QMetaType::Double || type == QMetaType::Float) {
        const double d = value.toDouble();
        // Only whole numbers: a fraction would be lost without a word.
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18)
            return integerVariant(qint64(d));
        return std::nullopt;
    }
    if (type == QMetaType::QString) {
        bool ok = false;
        const qlonglong n = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return integerVariant(n);
    }
    return std::nullopt;
}

std::optional<QVariant> convertForColumn(const QVariant &value, ColumnKind kind)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (kind) {
    case ColumnKind::Money:
        return toMoney(value);
    case ColumnKind::Date:
        return toDate(value);
    case ColumnKind::Boolean:
        return toBoolean(value);
    case ColumnKind::Integer:
        return toInteger(value);
    case ColumnKind::Raw:
        break;
    }
    // A raw column keeps the value; it must still be something SQLite can hold.
    const int type = value.typeId();
    if (type == QMetaType::QString || type == QMetaType::QByteArray || type == QMetaType::Bool
        || type == QMetaType::Double || type == QMetaType::Float || isIntegerType(type) || type == QMetaType::ULongLong
        || type == qMetaTypeId<Money>() || type == qMetaTypeId<DateValue>() || type == QMetaType::QDate
        || type == QMetaType::QDateTime || type == QMetaType::QChar)
        return value;
    return std::nullopt;
}
