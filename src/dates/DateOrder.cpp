#include "dates/DateOrder.h"

#include "dates/DatePattern.h"
#include "dates/LocaleFormats.h"
#include "dates/LocaleText.h"
#include "program/TextFields.h"

#include <QDate>
#include <QLocale>

namespace {

bool isPermutationOfMdy(const QString &order)
{
    return order.size() == 3 && order.contains(u'm') && order.contains(u'd') && order.contains(u'y');
}

// The three orders BuildDateText writes as such; every other order is
// written month, day, year.
QString writtenOrder(const QString &order)
{
    if (order == u"dmy" || order == u"ymd" || order == u"ydm")
        return order;
    return QStringLiteral("mdy");
}

} // namespace

DateFormatCheck checkDateFormat(const QString &formatted, const QString &pattern)
{
    const QString sampleText = withLocaleDigitsAsAscii(formatted);
    DateFormatCheck result;
    for (const QString &separator :
         {QStringLiteral("/"), QStringLiteral("."), QStringLiteral(" "), QStringLiteral("-")}) {
        if (sampleText.contains(separator)) {
            result.separator = separator;
            break;
        }
    }
    if (!result.separator.isEmpty()) {
        QString order;
        for (qint16 field = 1; field <= 3; ++field) {
            const std::optional<qint16> number = toInt16(GetField(sampleText, result.separator[0], field));
            if (!number) {
                order.clear();
                break;
            }
            order += *number == 5 ? u'm' : *number == 30 ? u'd' : u'y';
        }
        if (isPermutationOfMdy(order)) {
            result.order = order;
            return result;
        }
    }
    result.order = patternDateOrder(pattern);
    return result;
}

void ChkDateFmt()
{
    // 30 May 1998: the day cannot be a month, and the year reads neither 5
    // nor 30 with two digits or four.
    const DateValue sample = DateValue::fromDate(QDate(1998, 5, 30));
    const DateFormatCheck found = checkDateFormat(formatShortDate(sample), shortDatePattern(QLocale()));
    if (!found.separator.isEmpty())
        DateSep = found.separator;
    if (!found.order.isEmpty())
        DateOrder = found.order;
}

QString BuildDateText(qint16 month, qint16 day, qint16 year)
{
    const QString m = QString::number(month);
    const QString d = QString::number(day);
    const QString y = QString::number(year);
    const QString order = writtenOrder(DateOrder);
    if (order == u"dmy")
        return d + u' ' + m + u' ' + y;
    if (order == u"ymd")
        return y + u' ' + m + u' ' + d;
    if (order == u"ydm")
        return y + u' ' + d + u' ' + m;
    return m + u' ' + d + u' ' + y;
}

QString readingDateOrder()
{
    if (!DateOrder.isEmpty())
        return writtenOrder(DateOrder);
    const QString order = patternDateOrder(QLocale().dateFormat(QLocale::ShortFormat));
    return isPermutationOfMdy(order) ? order : QStringLiteral("mdy");
}
