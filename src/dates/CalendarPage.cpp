#include "dates/CalendarPage.h"

#include "dates/DateOrder.h"
#include "dates/LocaleConversions.h"
#include "dates/Today.h"
#include "program/Prompts.h"

#include <algorithm>

namespace {

const QDate FirstDay(CalendarFirstYear, 1, 1);
const QDate LastDay(CalendarLastYear, 12, 31);

// The date the locale reads from month, day and year composed in its order;
// std::nullopt when they make no date (31 in a 30-day month).
std::optional<QDate> composedDate(int month, int day, int year)
{
    const std::optional<DateValue> date = toDate(BuildDateText(qint16(month), qint16(day), qint16(year)));
    if (!date)
        return std::nullopt;
    return date->date();
}

} // namespace

CalendarPage::CalendarPage(const DateValue &start)
{
    // The composed texts are read in the order the start-up finds; a
    // calendar opened before it (a tool, a test) finds it here, or the
    // locale would read month and day the other way round.
    if (DateOrder.isEmpty())
        ChkDateFmt();
    const QDate date = start.date();
    m_curDate = date.isValid() ? std::clamp(date, FirstDay, LastDay) : today().date();
    ShowMonth();
}

int CalendarPage::dayAt(int row, int column) const
{
    if (row < 0 || row >= WeekRows || column < 0 || column >= WeekDays)
        return 0;
    return m_days[size_t(row)][size_t(column)];
}

void CalendarPage::ShowMonth()
{
    m_curMonth = qint16(m_curDate.month());
    m_curYear = qint16(m_curDate.year());
    m_days = {};
    const QDate first(m_curYear, m_curMonth, 1);
    int row = 0;
    int column = first.dayOfWeek() % 7; // Qt counts Sunday as 7
    for (int day = 1; day <= first.daysInMonth(); ++day) {
        m_days[size_t(row)][size_t(column)] = day;
        if (day == m_curDate.day()) {
            m_selectedRow = row;
            m_selectedColumn = column;
        }
        if (column == WeekDays - 1) {
            ++row;
            column = 0;
        } else {
            ++column;
        }
    }
}

bool CalendarPage::monthBack()
{
    return m_curMonth == 1 ? stepTo(12, m_curYear - 1) : stepTo(m_curMonth - 1, m_curYear);
}

bool CalendarPage::monthForward()
{
    return m_curMonth == 12 ? stepTo(1, m_curYear + 1) : stepTo(m_curMonth + 1, m_curYear);
}

bool CalendarPage::yearBack()
{
    return stepTo(m_curMonth, m_curYear - 1);
}

bool CalendarPage::yearForward()
{
    return stepTo(m_curMonth, m_curYear + 1);
}

bool CalendarPage::stepTo(int month, int year)
{
    if (year < CalendarFirstYear || year > CalendarLastYear) {
        prompts().beep();
        return false;
    }
    // Not clamped to the month's last day: 31 March back is 1 February.
    m_curDate = composedDate(month, m_curDate.day(), year).value_or(QDate(year, month, 1));
    ShowMonth();
    return true;
}

bool CalendarPage::moveDays(int days)
{
    const QDate target = m_curDate.addDays(days);
    if (target < FirstDay || target > LastDay) {
        prompts().beep();
        return false;
    }
    m_curDate = target;
    ShowMonth();
    return true;
}

std::optional<DateValue> CalendarPage::pick(int row, int column) const
{
    const int day = dayAt(row, column);
    if (day == 0)
        return std::nullopt;
    const std::optional<QDate> date = composedDate(m_curMonth, day, m_curYear);
    if (!date)
        return std::nullopt;
    return DateValue::fromDate(*date);
}
