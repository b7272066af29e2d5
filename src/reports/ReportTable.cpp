#include "reports/ReportTable.h"

#include <cmath>

namespace {

std::optional<double> parseWidth(QString text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // The engine writes widths the way the system writes a number, so a
    // comma may be the decimal mark; neither mark is a separator here.
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    for (const QChar c : text) {
        if (!c.isDigit() && c != QLatin1Char('.'))
            return std::nullopt; // no signs, exponents, "inf" or "nan"
    }
    bool ok = false;
    const double width = text.toDouble(&ok);
    if (!ok || !std::isfinite(width) || width > MaxColumnWidth)
        return std::nullopt;
    return width;
}

} // namespace

std::optional<QList<TableColumn>> parseTableFormat(const QString &format)
{
    const QString text = format.trimmed();
    if (!text.endsWith(QLatin1Char(';')))
        return std::nullopt;
    const QString body = text.chopped(1);
    if (body.contains(QLatin1Char(';')))
        return std::nullopt;

    QList<TableColumn> columns;
    for (QString part : body.split(QLatin1Char('|'))) {
        TableColumn column;
        part = part.trimmed();
        if (part.startsWith(QLatin1Char('>'))) {
            column.alignRight = true;
            part.remove(0, 1);
        }
        const std::optional<double> width = parseWidth(part);
        if (!width)
            return std::nullopt;
        column.width = *width;
        columns.append(column);
    }
    return columns;
}
