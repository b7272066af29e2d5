#include "copies/Retention.h"

#include <gtest/gtest.h>

namespace {

// Monday, so the weeks of the cases below are easy to see.
const QDateTime Now(QDate(2026, 6, 29), QTime(12, 0), Qt::UTC);

struct Given {
    const char *name;
    qint64 hoursAgo;
    bool pinned = false;
};

struct Case {
    const char *what;
    std::vector<Given> versions;
    QSet<QString> kept;
};

} // namespace

TEST(RetentionTest, KeepsTheSchemeAndNothingElse)
{
    const std::vector<Case> cases = {
        // Within two days nothing is thinned, however many there are.
        {"the last two days whole", {{"a", 1}, {"b", 5}, {"c", 30}, {"d", 47}}, {"a", "b", "c", "d"}},
        // 26 June: 14:00 and 10:00; the later one stands for the day.
        {"one a day for a week", {{"now", 1}, {"late", 70}, {"early", 74}}, {"now", "late"}},
        // 19, 20 and 21 June are one week (Monday 15 to Sunday 21 June):
        // the Sunday one stands for it; they are all older than a week.
        {"one a week for four weeks", {{"now", 1}, {"sun", 8 * 24}, {"sat", 9 * 24}, {"fri", 10 * 24}}, {"now", "sun"}},
        // 25 and 20 May share a month, 30 April and 21 March have their own.
        {"one a month for a year",
         {{"now", 1}, {"may25", 35 * 24}, {"may20", 40 * 24}, {"apr30", 60 * 24}, {"mar21", 100 * 24}},
         {"now", "may25", "apr30", "mar21"}},
        {"older than a year goes unless pinned",
         {{"now", 1}, {"old", 370 * 24}, {"kept", 400 * 24, true}},
         {"now", "kept"}},
        // The only copy there is stays, however old: it is all there is.
        {"the newest is kept however old", {{"old", 400 * 24}, {"older", 500 * 24}}, {"old"}},
    };
    for (const Case &c : cases) {
        QList<VersionStamp> versions;
        for (const Given &given : c.versions)
            versions.append({QString::fromLatin1(given.name), Now.addSecs(-given.hoursAgo * 3600), given.pinned});
        EXPECT_EQ(versionsToKeep(versions, Now), c.kept) << c.what;
    }
}
