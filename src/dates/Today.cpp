#include "dates/Today.h"

namespace {

std::optional<QDate> fixedToday;

} // namespace

DateValue today()
{
    return DateValue::fromDate(fixedToday ? *fixedToday : QDate::currentDate());
}

void setToday(std::optional<QDate> date)
{
    fixedToday = date;
}
