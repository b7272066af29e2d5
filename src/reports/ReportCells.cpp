#include "reports/ReportCells.h"

#include "data/DateValue.h"
#include "dates/LocaleFormats.h"
#include "reports/ReportNumbers.h"

#include <cmath>
#include <limits>
#include <stdexcept>

// Money::fromDouble reads the double's shortest decimal text, which is
// exact but slow for a column of a hundred thousand prices. The amount u /
// 10000 whose nearest double is the value is that same decimal when the
// value is below 2^33: there doubles lie closer than 1/10000 to each other,
// so no other decimal of four places has the same nearest double, and the
// shortest text has no more places than u / 10000. Anything else takes the
// long way.
std::optional<Money> moneyFromDouble(double value)
{
    if (std::fabs(value) < 8589934592.0) { // 2^33
        const long long units = std::llround(value * Money::Scale);
        if (double(units) / Money::Scale == value)
            return Money::fromUnits(units);
    }
    return Money::fromDouble(value);
}

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
        return moneyFromDouble(value.toDouble());
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
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int
        || value.typeId() == QMetaType::LongLong)
        return DateValue(value.toDouble());
    return std::nullopt;
}

QString reportCellText(const QVariant &value, const ReportColumn &column)
{
    return ReportCellTexts().text(value, column);
}

bool needsExactNumber(const ReportColumn &column)
{
    return column.datatype == int(FieldType::Number) && (column.isCurrency || column.total);
}

QString ReportCellTexts::text(const QVariant &value, const ReportColumn &column)
{
    return text(value, column, needsExactNumber(column) ? exactNumber(value) : std::nullopt);
}

QString ReportCellTexts::text(const QVariant &value, const ReportColumn &column, const std::optional<Money> &amount)
{
    if (column.datatype == int(FieldType::YesNo))
        return !value.isNull() && value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    if (value.isNull())
        return QString();
    switch (FieldType(column.datatype)) {
    case FieldType::Number:
        if (column.isCurrency && amount)
            return formatCurrency(*amount);
        return plainNumberText(value);
    case FieldType::Date:
        if (const std::optional<DateValue> date = dateOf(value)) {
            const QDate day = date->date();
            if (!day.isValid())
                return formatShortDate(*date);
            auto known = m_shortDates.constFind(day.toJulianDay());
            if (known == m_shortDates.cend())
                known = m_shortDates.insert(day.toJulianDay(), formatShortDate(*date));
            return *known;
        }
        break;
    case FieldType::Time:
        if (const std::optional<DateValue> time = dateOf(value))
            return formatMediumTime(*time);
        break;
    default:
        break;
    }
    // Text, and anything stored in a shape its kind cannot show: as it is,
    // so nothing stored is hidden from the report. (Text, the usual case, is
    // taken out of the variant directly rather than through its converter.)
    if (value.typeId() == QMetaType::QString)
        return qvariant_cast<QString>(value);
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
    if (const std::optional<Money> amount = exactNumber(value))
        add(index, *amount);
}

void ReportTotals::add(int index, Money amount)
{
    const ReportColumn &column = m_columns[index];
    if (!column.total || column.datatype != int(FieldType::Number))
        return;
    try {
        m_sums[index] += amount;
    } catch (const std::overflow_error &) {
        // Beyond 900 trillion: no household total; keep the sum it had.
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
