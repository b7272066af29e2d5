#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

// Which versions of an inventory's copies are kept: every version of the
// last 2 days, the newest of each day for 7 days, of each week for 4 weeks
// and of each month for 12 months, every pinned version, and always the
// newest version, however old. Days, weeks and months are counted in UTC, as
// version names are; a week starts on Monday.
struct VersionStamp {
    QString name;
    QDateTime made; // UTC
    bool pinned = false;
};

// The names of versions to keep at the moment now (UTC).
QSet<QString> versionsToKeep(const QList<VersionStamp> &versions, const QDateTime &now);
