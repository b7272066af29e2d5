#include "reports/ReportCells.h"

#include "data/DateValue.h"
#include "dates/LocaleFormats.h"
#include "reports/ReportNumbers.h"

#include <limits>
#include <stdexcept>

std::optional<Money> exactNumber(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.userType() == qMetaTypeId<Money>())
        return value.value<Money>();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool: {
        const qint64 whole = value.toLongLong();
        if (whole > std::numeric_limits<qint64>::max() / Money::Scale
            || whole < std::numeric_limits<qint64>::min() / Money::Scale)
            return std::nullopt;
        return Money::fromUnits(whole * Money::Scale);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return Money::fromDouble(value.toDouble());
    case QMetaType::QString:
        return Money::fromDecimalText(value.toString().trimmed());
    default:
        return std::nullopt;
    }
}

// A number "as text": the locale's decimal point, no grouping.
static QString plainNumberText(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<Money>())
        return withLocaleDecimalPoint(value.value<Money>().toDecimalText());
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return withLocaleDecimalPoint(doubleText(value.toDouble()));
    case QMetaType::Bool:
        // A flag read as a number is -1 or 0, as the engine counted truth.
        return value.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    default:
        return value.toString();
    }
}

// A stored date or time, whichever way the column delivered it.
static std::optional<DateValue> dateOf(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<DateValue>())
        return value.value<DateValue>();
    if (value.typeId() == QMetaType::QString)
        return DateValue::fromIsoText(value.toString());
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
        return DateValue(value.toDouble());
    return std::nullopt;
}

QString reportCellText(const QVariant &value, const ReportColumn &column)
{
    if (column.datatype == int(FieldType::YesNo))
        return !value.isNull() && value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    if (value.isNull())
        return QString();
    switch (FieldType(column.datatype)) {
    case FieldType::Number:
        if (column.isCurrency) {
            if (const std::optional<Money> amount = exactNumber(value))
                return formatCurrency(*amount);
        }
        return plainNumberText(value);
    case FieldType::Date:
        if (const std::optional<DateValue> date = dateOf(value))
            return formatShortDate(*date);
        break;
    case FieldType::Time:
        if (const std::optional<DateValue> time = dateOf(value))
            return formatMediumTime(*time);
        break;
    default:
        break;
    }
    // Text, and anything stored in a shape its kind cannot show: as it is,
    // so nothing stored is hidden from the report.
    return value.toString();
}

ReportTotals::ReportTotals(const QList<ReportColumn> &columns) : m_columns(columns), m_sums(columns.size())
{
}

void ReportTotals::add(int index, const QVariant &value)
{
    const ReportColumn &column = m_columns[index];
    if (!column.total || column.datatype != int(FieldType::Number))
        return;
    if (const std::optional<Money> amount = exactNumber(value)) {
        try {
            m_sums[index] += *amount;
        } catch (const std::overflow_error &) {
            // Beyond 900 trillion: no household total; keep the sum it had.
        }
    }
}

bool ReportTotals::any() const
{
    for (const ReportColumn &column : m_columns) {
        if (column.total)
            return true;
    }
    return false;
}

QStringList ReportTotals::row() const
{
    QStringList cells;
    cells.reserve(m_columns.size());
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        const ReportColumn &column = m_columns[i];
        if (!column.total)
            cells << QString();
        else if (column.isCurrency)
            cells << formatCurrency(m_sums[i]);
        else
            cells << withLocaleDecimalPoint(m_sums[i].toDecimalText());
    }
    return cells;
}
