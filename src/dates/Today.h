#pragma once

#include "data/DateValue.h"

#include <QDate>
#include <optional>

// Today's date, without a time of day: the local calendar date of the clock,
// or the date fixed by setToday.
DateValue today();

// Fixes the date today() gives (tests do, so nothing they check depends on
// the day they run); std::nullopt goes back to the clock.
void setToday(std::optional<QDate> date);
