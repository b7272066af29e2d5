#include "LocaleGuard.h"

#include "itemlist/ListOrder.h"

#include <QCollator>
#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

std::vector<std::string> utf8Texts(const QStringList &texts)
{
    std::vector<std::string> out;
    for (const QString &text : texts)
        out.push_back(text.toStdString());
    return out;
}

// The texts in the list's order.
QStringList inListOrder(const QStringList &texts)
{
    const std::vector<std::string> stored = utf8Texts(texts);
    const std::vector<std::string_view> views(stored.begin(), stored.end());
    QStringList sorted;
    for (const int row : collatedOrder(views))
        sorted << texts[row];
    return sorted;
}

// The same from the collator alone, one comparison at a time.
QStringList collatorOrder(const QStringList &texts)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList sorted = texts;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return sorted;
}

} // namespace

// Written down by hand: accents after the plain letter but before the next
// one, case ignored (equal texts keep their order), each language's own
// letters where it puts them.
TEST(ListOrder, SortsAsTheUsersLanguageDoes)
{
    struct Row {
        const char *locale;
        QStringList texts;
        QStringList expected;
    };
    const Row rows[] = {
        {"en_US",
         {"Crystal", "Crème", "crate", "Creme", "CRÈME", "", "apple", "Apple", "éclair", "Zebra", "10 pens", "2 pens"},
         {"", "10 pens", "2 pens", "apple", "Apple", "crate", "Creme", "Crème", "CRÈME", "Crystal", "éclair", "Zebra"}},
        {"de_DE", {"Zucker", "Äpfel", "Apfel", "Bär"}, {"Apfel", "Äpfel", "Bär", "Zucker"}},
        {"sv_SE", {"Ärm", "Zebra", "Arm", "Öl"}, {"Arm", "Zebra", "Ärm", "Öl"}},
        // Letters of two characters: "ch" after "h", "aa" as "å" after "z".
        {"cs_CZ", {"chata", "hrad", "cesta", "ihned"}, {"cesta", "hrad", "chata", "ihned"}},
        {"da_DK", {"Aarhus", "Odense", "Zealand", "Avernakø"}, {"Avernakø", "Odense", "Zealand", "Aarhus"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.locale);
        const LocaleGuard locale(row.locale);
        EXPECT_EQ(inListOrder(row.texts), row.expected);
        EXPECT_EQ(collatorOrder(row.texts), row.expected) << "the collator itself agrees";
    }
}

// Many texts of printable ASCII and a few others, mixed, against the
// collator one comparison at a time, in languages that weigh ASCII
// differently.
TEST(ListOrder, AgreesWithTheCollatorOnManyTexts)
{
    QRandomGenerator random(28);
    const QString letters = QStringLiteral(" !\"#-.,/09:;@AZaz[]_`{|}~'+&");
    const QStringList others = {QStringLiteral("é"),  QStringLiteral("ß"),      QStringLiteral("Ø"),
                                QStringLiteral("ch"), QStringLiteral("\u00a0"), QStringLiteral("ǅ")};
    QStringList texts;
    for (int i = 0; i < 3000; ++i) {
        QString text;
        for (int n = int(random.bounded(6)); n > 0; --n)
            text += random.bounded(10) == 0 ? others[int(random.bounded(others.size()))]
                                            : QString(letters[int(random.bounded(letters.size()))]);
        texts << text;
    }
    for (const char *name : {"en_US", "fr_FR", "de_DE", "cs_CZ", "da_DK", "ja_JP"}) {
        SCOPED_TRACE(name);
        const LocaleGuard locale(name);
        EXPECT_EQ(inListOrder(texts), collatorOrder(texts));
    }
}

// A long list is told apart in two halves at once: texts met only in the
// upper half, and equal texts of either half (case apart), still take their
// places as in a short list.
TEST(ListOrder, ALongListIsOrderedAsAShortOne)
{
    QRandomGenerator random(60);
    QStringList distinct;
    for (int i = 0; i < 3000; ++i) {
        QString text;
        for (int n = 1 + int(random.bounded(5)); n > 0; --n)
            text += QChar(u'a' + random.bounded(6));
        distinct << (random.bounded(3) == 0 ? text.toUpper() : text);
    }
    QStringList rows;
    for (int i = 0; i < 60'000; ++i)
        rows << distinct[(i < 30'000 ? 0 : 1500) + int(random.bounded(1500))];
    const LocaleGuard locale("en_US");
    EXPECT_EQ(inListOrder(rows), collatorOrder(rows));
}
