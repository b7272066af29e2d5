#pragma once

#include "dates/DateOrder.h"

#include <QLocale>

// Sets the default locale for one test and forgets the found date order, so
// no test sees what another left behind; restores en_US and empties the
// date order again at the end.
class LocaleGuard {
public:
    explicit LocaleGuard(const char *name)
    {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        DateOrder.clear();
        DateSep.clear();
    }
    ~LocaleGuard()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        DateOrder.clear();
        DateSep.clear();
    }
    LocaleGuard(const LocaleGuard &) = delete;
    LocaleGuard &operator=(const LocaleGuard &) = delete;
};
