#pragma once

#include "copies/CopySettings.h"

#include <QDateTime>
#include <QString>
#include <optional>

// How long the newest verified copy may be before the user is told.
inline constexpr int StaleCopyDays = 7;

// What to tell the user at start-up when automatic copies have stopped:
// the copies folder is not there (a USB drive not plugged in, a sync folder
// moved), or the newest verified copy is older than StaleCopyDays, or none
// was ever made; with what to do about it. Nothing when copies are off,
// when they are well, or when the user was told on today's date already
// (once a day is enough to be heard and little enough not to be ignored).
// now: UTC; the day is counted in local time.
std::optional<QString> copiesReminder(const CopySettings &copies, const QDateTime &now);
