#include "copies/Retention.h"

#include <QHash>
#include <algorithm>

namespace {

struct Tier {
    qint64 withinSeconds;
    qint64 (*bucket)(const QDateTime &);
};

constexpr qint64 Day = 24 * 60 * 60;

qint64 dayOf(const QDateTime &time)
{
    return time.date().toJulianDay();
}

qint64 weekOf(const QDateTime &time)
{
    // Julian day 0 was a Monday.
    return time.date().toJulianDay() / 7;
}

qint64 monthOf(const QDateTime &time)
{
    return qint64(time.date().year()) * 12 + time.date().month();
}

} // namespace

QSet<QString> versionsToKeep(const QList<VersionStamp> &versions, const QDateTime &now)
{
    QSet<QString> keep;
    if (versions.isEmpty())
        return keep;
    QList<VersionStamp> newestFirst = versions;
    std::sort(newestFirst.begin(), newestFirst.end(), [](const VersionStamp &a, const VersionStamp &b) {
        return a.made != b.made ? a.made > b.made : a.name > b.name;
    });
    keep.insert(newestFirst.first().name);
    const Tier tiers[] = {{7 * Day, dayOf}, {28 * Day, weekOf}, {365 * Day, monthOf}};
    for (const VersionStamp &version : newestFirst) {
        const qint64 age = version.made.secsTo(now);
        if (version.pinned || age < 2 * Day)
            keep.insert(version.name);
    }
    for (const Tier &tier : tiers) {
        QSet<qint64> taken;
        for (const VersionStamp &version : newestFirst) {
            if (version.made.secsTo(now) >= tier.withinSeconds)
                continue;
            const qint64 bucket = tier.bucket(version.made);
            if (!taken.contains(bucket)) {
                taken.insert(bucket);
                keep.insert(version.name);
            }
        }
    }
    return keep;
}
