#include "dates/DateBoxRules.h"

#include "dates/CalendarPage.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "dates/Today.h"

const DateBoxRole PurchaseDateRole{
    QStringLiteral("Select Purchase Date Date"),
    CalendarPlacement::LeftAlignedBelow,
    QStringLiteral("You must enter a valid Purchase Date, or leave the field blank"),
    true,
    QStringLiteral("Calendar for the purchase date"),
};

LeavingText checkLeavingText(const QString &text)
{
    if (text.isEmpty())
        return LeavingText::Empty;
    return isDate(text) ? LeavingText::Valid : LeavingText::Invalid;
}

std::optional<QString> steppedDateText(const QString &text, int days)
{
    const std::optional<DateValue> date = toDate(text);
    if (!date)
        return formatShortDate(today());
    const QDate stepped = date->date().addDays(days);
    if (!stepped.isValid() || stepped.year() < CalendarFirstYear || stepped.year() > CalendarLastYear)
        return std::nullopt;
    return formatShortDate(DateValue::fromDate(stepped));
}

DateValue calendarStartDate(const QString &text)
{
    return toDate(text).value_or(today());
}
