#pragma once

#include "data/DateValue.h"
#include "data/Money.h"

#include <QString>

// The locale's named formats, in one place. The locale is the default
// QLocale(): the system's at start-up, set by tests.

// "short date": the locale's short date, always with a four-digit year
// (a two-digit year is ambiguous for things bought decades ago).
QString formatShortDate(const DateValue &date);
// "currency": currency symbol, thousands separators, the locale's decimals.
QString formatCurrency(Money amount);
