#include "data/SelectText.h"

#include <QString>
#include <gtest/gtest.h>

struct SelectCase {
    const char *sql;
    const char *list; // nullptr: not a simple select
    bool numberedOrderTerm;
};

TEST(SelectText, FindsTheListOutsideQuotesCommentsAndSubqueries)
{
    const SelectCase cases[] = {
        {"select * from items order by item", "*", false},
        {"Select catid as id, catdesc as descr from categories order by catdesc", "catid as id, catdesc as descr",
         false},
        {"SELECT (select count(*) from items) as n, Item FROM items", "(select count(*) from items) as n, Item", false},
        {"select 'from' as x, \"from\" from t", "'from' as x, \"from\"", false},
        {"select 'it''s from' from t", "'it''s from'", false},
        {"select [from] from t", "[from]", false},
        {"select a -- from here\n from t", "a -- from here", false},
        {"select fromage from t", "fromage", false},
        {"select a, b from t order by 2", "a, b", true},
        {"select a, b from t order by a, 1", "a, b", true},
        {"select a, b from t group by 1", "a, b", true},
        {"select a, b from t order by a limit 1", "a, b", false},
        {"select a, b from t order by (1)", "a, b", false},
        {"select * from items order by fold(Item), iteid", "*", false},
        {"with x as (select 1) select * from x", nullptr, false},
        {"update t set a = 1", nullptr, false},
        {"select 1", nullptr, false},
    };
    for (const SelectCase &c : cases) {
        SCOPED_TRACE(c.sql);
        const QString sql = QString::fromUtf8(c.sql);
        const std::optional<SelectText> parts = splitSelect(sql);
        ASSERT_EQ(parts.has_value(), c.list != nullptr);
        if (!parts)
            continue;
        EXPECT_EQ(sql.mid(parts->listStart, parts->fromStart - parts->listStart).trimmed(), QString::fromUtf8(c.list));
        EXPECT_TRUE(sql.mid(parts->fromStart).startsWith(QLatin1String("from"), Qt::CaseInsensitive));
        EXPECT_EQ(parts->numberedOrderTerm, c.numberedOrderTerm);
    }
}
