#include "data/SearchText.h"

#include <gtest/gtest.h>

TEST(SearchText, FoldsCaseAccentsAndCompatibilityForms)
{
    struct Case {
        const char *text;
        const char *folded;
    };
    const Case cases[] = {
        {"Plain ASCII 123", "plain ascii 123"},
        {"Café CRÈME brûlée", "cafe creme brulee"},
        {"e\xCC\x81"
         "cole",
         "ecole"}, // a combining accent
        {"ÅNGSTRÖM", "angstrom"},
        {"ﬁne ｆｕｌｌ", "fine full"}, // a ligature, full-width letters
        {"ΣΊΣΥΦΟΣ", "σισυφοσ"},
        {"Straße Øre Łódź", "straße øre łodz"}, // no separate mark: the letter stays
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(searchFold(QString::fromUtf8(c.text)), QString::fromUtf8(c.folded));
    }
    EXPECT_EQ(searchWords(u"  Café\tbrûlée\u00a0 x "), (std::vector<QByteArray>{"cafe", "brulee", "x"}));
}

// A longer text narrows a search only when every earlier word lies inside
// one of its words: typing on narrows, taking letters back never does.
TEST(SearchText, OnlyTypingOnNarrowsTheEarlierSearch)
{
    struct Row {
        const char *typed;
        const char *earlier;
        bool narrows;
    };
    const Row rows[] = {
        {"lamp", "lam", true},        {"la", "lamp", false}, // backspacing: items holding "la" but not "lamp" come back
        {"lam", "lamp", false},       {"lamp desk", "lamp", true},
        {"lamp", "lamp desk", false}, {"desk LAMP", "lamp", true}, // any order, any case
        {"lamps", "lamp", true},      {"clamp", "lamp", true},     // "lamp" is inside "clamp"
        {"lamp", "", false},                                       // nothing searched before: nothing to narrow
        {"", "lamp", false},          {"café", "cafe", true},      // folded alike
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.typed) + " after " + row.earlier);
        EXPECT_EQ(searchNarrows(QString::fromUtf8(row.typed), QString::fromUtf8(row.earlier)), row.narrows);
    }
}
