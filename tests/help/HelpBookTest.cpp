#include "HelpTestFiles.h"

#include "help/HelpBook.h"

#include <QDir>
#include <gtest/gtest.h>

static QStringList idsOf(const QList<const HelpPage *> &pages)
{
    QStringList ids;
    for (const HelpPage *page : pages)
        ids << page->id;
    return ids;
}

TEST(HelpBook, TakesTheFileApartIntoNumberedPages)
{
    const HelpBook book = HelpBook::fromHtml(QString::fromUtf8(SmallHelpFile));
    EXPECT_EQ(book.contents().heading, QStringLiteral("Small Contents"));
    EXPECT_EQ(idsOf(book.searchablePages()), (QStringList{"topic-5", "topic-6", "using-help"}));

    const HelpPage *lamps = book.topicPage(5);
    ASSERT_NE(lamps, nullptr);
    EXPECT_EQ(lamps->topic, 5);
    EXPECT_EQ(lamps->heading, QStringLiteral("Lamps & Lights")); // entities decoded
    EXPECT_EQ(book.page(HelpBook::UsingHelpId)->topic, 0);
    EXPECT_EQ(book.topicPage(7), nullptr);
    EXPECT_EQ(book.topicPage(0), nullptr);
    // The file's style sheet travels with every page shown.
    EXPECT_TRUE(book.pageDocument(*lamps).contains(QLatin1String("#123456")));
}

TEST(HelpBook, FilesWithoutTheExpectedShapeStillGiveContents)
{
    // Sections but no contents: one is made that links every page.
    const HelpBook noContents = HelpBook::fromHtml(QStringLiteral(
        "<section id=\"topic-3\"><h2>Three</h2>x</section><section id=\"topic-3\"><h2>Again</h2>y</section>"
        "<section><h2>No id</h2></section><section data-id=\"topic-9\"><h2>Not an id</h2></section>"
        "<section class='x' id='extra'>no heading</section>"));
    EXPECT_EQ(idsOf(noContents.searchablePages()), (QStringList{"topic-3", "extra"}));
    EXPECT_EQ(noContents.topicPage(3)->heading, QStringLiteral("Three")); // the first of a repeated id
    EXPECT_EQ(noContents.page("extra")->heading, QStringLiteral("extra"));
    EXPECT_TRUE(noContents.contents().html.contains(QLatin1String("href=\"#topic-3\"")));
    EXPECT_TRUE(noContents.contents().html.contains(QLatin1String("href=\"#extra\"")));

    // No sections at all: the whole body is the contents.
    const HelpBook plain = HelpBook::fromHtml(QStringLiteral("<html><body><p>Just words.</p></body></html>"));
    EXPECT_TRUE(plain.searchablePages().isEmpty());
    EXPECT_TRUE(plain.contents().plainText.contains(QLatin1String("Just words.")));

    // A default book is usable too.
    EXPECT_EQ(HelpBook().contents().id, HelpBook::ContentsId);
}

TEST(HelpBook, ReadsUtf8AndFallsBackToTheWindowsCodePage)
{
    QTemporaryDir dir;
    const QByteArray utf8 = "<section id=\"topic-1\"><h2>Caf\xc3\xa9 \xe2\x80\x9c"
                            "chairs\xe2\x80\x9d</h2></section>";
    const QByteArray cp1252 = "<section id=\"topic-1\"><h2>Caf\xe9 \x93"
                              "chairs\x94</h2></section>";
    for (const QByteArray &bytes : {utf8, cp1252}) {
        QString error;
        const auto book = HelpBook::fromFile(writeHelpFile(dir, bytes), &error);
        ASSERT_TRUE(book) << error.toStdString();
        EXPECT_EQ(book->topicPage(1)->heading,
                  QString::fromUtf8("Caf\xc3\xa9 \xe2\x80\x9c"
                                    "chairs\xe2\x80\x9d"));
    }
}

TEST(HelpBook, FilesThatCannotBeReadGiveAReason)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    const QString cases[] = {
        dir.filePath(QStringLiteral("missing.html")),
        writeHelpFile(dir, "  \n", QStringLiteral("blank.html")),
        dir.filePath(QStringLiteral("folder")),
    };
    for (const QString &path : cases) {
        QString error;
        EXPECT_FALSE(HelpBook::fromFile(path, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
    }
}

TEST(HelpBook, SearchMatchesWordBeginningsOfEveryKeyWord)
{
    const HelpBook book = HelpBook::fromHtml(QString::fromUtf8(SmallHelpFile));
    const struct {
        const char *key;
        QStringList expected;
    } cases[] = {
        // Heading matches first, then text matches, each alphabetical.
        {"lamp", {"topic-5", "topic-6"}},
        {"SERIAL", {"topic-6"}},       // case does not matter
        {"ser num", {"topic-6"}},      // beginnings of words
        {"lamps serial", {"topic-6"}}, // every word must be there
        {"amps", {}},                  // not the middle of a word
        {"buttons", {"using-help"}},
        {"", {"topic-5", "topic-6", "using-help"}}, // no key: everything, by heading
        {" -- ", {"topic-5", "topic-6", "using-help"}},
        {"contents", {}}, // the contents is not a search result
    };
    for (const auto &c : cases)
        EXPECT_EQ(idsOf(book.search(QString::fromUtf8(c.key))), c.expected) << c.key;
}

TEST(HelpBook, SearchInTheShippedFileFindsTheRightTopics)
{
    const HelpBook book = HelpBook::fromHtml(QString::fromUtf8(shippedHelpText()));
    const struct {
        const char *key;
        const char *first; // the page that must head the list ("" for any)
        QStringList alsoFound;
    } cases[] = {
        {"serial number list", "topic-38", {}},
        {"serial", "topic-19", {"topic-38", "insurance-tips"}},
        {"police", "", {"topic-19", "topic-38", "topic-26"}},
        {"wildcards", "topic-16", {"topic-31", "topic-47"}},
        {"calendar", "topic-20", {"topic-47"}},
        {"backup", "keeping-safe", {"topic-10", "topic-30"}},
        {"locked record", "topic-11", {}},
    };
    for (const auto &c : cases) {
        const QStringList found = idsOf(book.search(QString::fromUtf8(c.key)));
        ASSERT_FALSE(found.isEmpty()) << c.key;
        if (*c.first) {
            EXPECT_EQ(found.first(), QString::fromUtf8(c.first)) << c.key;
        }
        for (const QString &id : c.alsoFound)
            EXPECT_TRUE(found.contains(id)) << c.key << " misses " << id.toStdString();
    }
}
