#include "HelpTestFiles.h"

#include "help/HelpBook.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <gtest/gtest.h>

// Every topic number a window, control or menu item of the program carries,
// with a word its page must name in its heading: a page that exists but
// explains another control is as wrong as a missing one.
struct UsedTopic {
    int topic;
    const char *headingWord;
};
static const UsedTopic UsedTopics[] = {
    {8, "Add New"},
    {9, "Description"},
    {10, "Picture"},
    {11, "Update"},
    {12, "Cancel"},
    {14, "Delete"},
    {15, "Next"},
    {16, "Find"},
    {18, "Manufacturer"},
    {19, "Serial Number"},
    {20, "Purchase Date"},
    {21, "Purchase Price"},
    {22, "Est. Value"},
    {23, "Quantity"},
    {24, "Where Purchased"},
    {25, "Receipt"},
    {26, "Miscellaneous"},
    {27, "Category"},
    {28, "Location"},
    {29, "Notes"},
    {30, "Exit"},
    {31, "Categories"},
    {32, "Locations"},
    {33, "by Category"},
    {34, "by Location"},
    {35, "by Item Description"},
    {36, "Value Summary by Category"},
    {37, "Value Summary by Location"},
    {38, "Serial Number List"},
    {40, "Help"},
    {41, "About"},
    {47, "Custom Reports"},
    {50, "Import Items"},
    {51, "Export Items"},
    {52, "Item List"},
};

class ShippedHelpFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_text = shippedHelpText();
        ASSERT_FALSE(m_text.isEmpty()) << "the help file is not built into the program";
        m_book = HelpBook::fromHtml(QString::fromUtf8(m_text));
    }

    QByteArray m_text;
    HelpBook m_book;
};

TEST_F(ShippedHelpFile, EveryUsedTopicHasItsOwnPageWithRealText)
{
    for (const UsedTopic &used : UsedTopics) {
        SCOPED_TRACE(used.topic);
        const HelpPage *page = m_book.topicPage(used.topic);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(page->heading.contains(QLatin1String(used.headingWord))) << page->heading.toStdString();
        const QString body = page->plainText.mid(page->plainText.indexOf(page->heading) + page->heading.size());
        const qsizetype words = body.split(QRegularExpression(QStringLiteral("\\W+")), Qt::SkipEmptyParts).size();
        EXPECT_GE(words, 40) << "too little text to help anybody";
    }
    ASSERT_NE(m_book.page(HelpBook::UsingHelpId), nullptr);
    EXPECT_NE(m_book.page(HelpBook::UsingHelpId)->plainText.indexOf(QLatin1String("F1")), -1);
}

TEST_F(ShippedHelpFile, EveryLinkLeadsToAPageAndTheContentsReachEveryPage)
{
    static const QRegularExpression linkRe(QStringLiteral("href\\s*=\\s*\"([^\"]*)\""));
    for (auto it = linkRe.globalMatch(QString::fromUtf8(m_text)); it.hasNext();) {
        const QString target = it.next().captured(1);
        ASSERT_TRUE(target.startsWith(QLatin1Char('#'))) << "link out of the help file: " << target.toStdString();
        EXPECT_NE(m_book.page(target.mid(1)), nullptr) << "broken link " << target.toStdString();
    }

    QSet<QString> linkedFromContents;
    for (auto it = linkRe.globalMatch(m_book.contents().html); it.hasNext();)
        linkedFromContents.insert(it.next().captured(1).mid(1));
    for (const HelpPage *page : m_book.searchablePages())
        EXPECT_TRUE(linkedFromContents.contains(page->id)) << page->id.toStdString() << " is not in the contents";
}

TEST_F(ShippedHelpFile, IsOneSelfContainedUtf8File)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(m_text);
    EXPECT_FALSE(utf8.hasError());
    EXPECT_TRUE(text.contains(QLatin1String("charset=\"utf-8\"")));
    for (const char *outside : {"<script", "src=", "<link", "url(", "@import", "<img", "<iframe"})
        EXPECT_FALSE(text.contains(QLatin1String(outside), Qt::CaseInsensitive)) << outside;
    EXPECT_EQ(m_book.contents().id, HelpBook::ContentsId);
    EXPECT_TRUE(m_book.contents().heading.contains(QLatin1String("Stowbook")));
}
