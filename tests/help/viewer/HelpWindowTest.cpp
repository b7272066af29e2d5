#include "HelpTestFiles.h"
#include "ScriptedPrompts.h"

#include "help/viewer/HelpViewer.h"
#include "help/viewer/HelpWindow.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_shipped = writeHelpFile(m_dir, shippedHelpText());
        m_small = writeHelpFile(m_dir, SmallHelpFile, QStringLiteral("small.html"));
    }
    void TearDown() override { closeHelpWindow(); }

    QTemporaryDir m_dir;
    ScriptedPrompts m_prompts;
    QString m_shipped;
    QString m_small;
};

TEST_F(HelpViewerTest, TopicCommandShowsThatTopic)
{
    ShowHelp(nullptr, m_shipped, HelpContext, 31);
    HelpWindow *window = helpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentTopic(), 31);
    EXPECT_TRUE(window->shownText().startsWith(QLatin1String("Maintain Categories")));
    EXPECT_TRUE(m_prompts.calls().empty());
}

TEST_F(HelpViewerTest, NoTopicOrAnUnknownOneShowsTheContents)
{
    for (int topic : {0, 13, 17, 39, 999, -4}) {
        ShowHelp(nullptr, m_shipped, HelpContext, topic);
        ASSERT_NE(helpWindow(), nullptr);
        EXPECT_EQ(helpWindow()->currentPageId(), HelpBook::ContentsId) << topic;
        EXPECT_TRUE(helpWindow()->shownText().startsWith(QLatin1String("Stowbook Help"))) << topic;
    }
}

TEST_F(HelpViewerTest, SearchCommandListsEveryTopicHeading)
{
    ShowHelp(nullptr, m_shipped, HelpPartialKey, 0);
    HelpWindow *window = helpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isSearchShown());
    EXPECT_TRUE(window->txtSearch->text().isEmpty());
    EXPECT_EQ(window->searchResults().size(), window->book().searchablePages().size());
    EXPECT_TRUE(window->searchResults().contains(QStringLiteral("Maintain Categories")));
}

TEST_F(HelpViewerTest, UsingHelpWithoutAFileTakesTheFileShownLastElseTheBuiltInOne)
{
    ShowHelp(nullptr, QString(), HelpHelpOnHelp, 0);
    ASSERT_NE(helpWindow(), nullptr);
    EXPECT_EQ(helpWindow()->sourcePath(), BuiltInHelpFile);
    EXPECT_EQ(helpWindow()->currentPageId(), HelpBook::UsingHelpId);

    ShowHelp(nullptr, m_small, HelpContext, 5);
    ShowHelp(nullptr, QString(), HelpHelpOnHelp, 0);
    EXPECT_EQ(helpWindow()->sourcePath(), m_small);
    EXPECT_TRUE(helpWindow()->shownText().startsWith(QLatin1String("Using the small help")));
}

TEST_F(HelpViewerTest, AHelpFileThatCannotBeReadIsReportedAndNothingOpens)
{
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    const QString paths[] = {
        m_dir.filePath(QStringLiteral("gone.html")),
        writeHelpFile(m_dir, "", QStringLiteral("empty.html")),
        m_dir.filePath(QStringLiteral("folder")),
    };
    for (const QString &path : paths) {
        m_prompts.clear();
        ShowHelp(nullptr, path, HelpContext, 9);
        EXPECT_EQ(helpWindow(), nullptr) << path.toStdString();
        const auto messages = m_prompts.messages();
        ASSERT_EQ(messages.size(), 1u) << path.toStdString();
        EXPECT_TRUE(messages[0].text.contains(QDir::toNativeSeparators(path)));
        EXPECT_EQ(messages[0].icon, Prompts::Icon::Exclamation);
        EXPECT_EQ(messages[0].buttons, Prompts::Buttons::Ok);
        EXPECT_EQ(messages[0].title, ProgramTitle);
    }
}

TEST_F(HelpViewerTest, OneWindowServesEveryCallAndRemembersWhereItWas)
{
    ShowHelp(nullptr, m_shipped, HelpContext, 31);
    HelpWindow *first = helpWindow();
    EXPECT_FALSE(first->cmdBack->isEnabled());
    ShowHelp(nullptr, m_shipped, HelpContext, 20);
    EXPECT_EQ(helpWindow(), first);
    EXPECT_EQ(first->currentTopic(), 20);

    QTest::mouseClick(first->cmdBack, Qt::LeftButton);
    EXPECT_EQ(first->currentTopic(), 31);
    EXPECT_FALSE(first->cmdBack->isEnabled());

    // An unknown command changes nothing, not even for a file that is gone.
    ShowHelp(nullptr, m_dir.filePath(QStringLiteral("gone.html")), 99, 0);
    EXPECT_EQ(first->currentTopic(), 31);
    EXPECT_TRUE(m_prompts.calls().empty());
    ShowHelp(nullptr, m_shipped, HelpQuit, 0);
    EXPECT_FALSE(first->isVisible());
}

TEST_F(HelpViewerTest, LinksButtonsAndSearchPageMoveBetweenPages)
{
    ShowHelp(nullptr, m_small, HelpIndex, 0);
    HelpWindow *window = helpWindow();
    ASSERT_NE(window, nullptr);

    window->txtPage_AnchorClicked(QUrl(QStringLiteral("#topic-5")));
    EXPECT_EQ(window->currentTopic(), 5);
    window->txtPage_AnchorClicked(QUrl(QStringLiteral("https://example.org/lamps")));
    EXPECT_EQ(window->currentTopic(), 5);
    ASSERT_EQ(m_prompts.count(ScriptedPrompts::Kind::OpenWeb), 1);
    EXPECT_EQ(m_prompts.calls().back().text, QStringLiteral("https://example.org/lamps"));

    QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
    QTest::keyClicks(window->txtSearch, QStringLiteral("serial"));
    EXPECT_EQ(window->searchResults(), QStringList{QStringLiteral("Serial plates")});
    QTest::keyClick(window->txtSearch, Qt::Key_Return);
    EXPECT_EQ(window->currentTopic(), 6);

    // Back returns to the search as it was left, then to the page before it.
    window->goBack();
    EXPECT_TRUE(window->isSearchShown());
    EXPECT_EQ(window->txtSearch->text(), QStringLiteral("serial"));
    window->goBack();
    EXPECT_EQ(window->currentTopic(), 5);

    QTest::mouseClick(window->cmdUsingHelp, Qt::LeftButton);
    EXPECT_EQ(window->currentPageId(), HelpBook::UsingHelpId);
    QTest::mouseClick(window->cmdContents, Qt::LeftButton);
    EXPECT_EQ(window->currentPageId(), HelpBook::ContentsId);

    window->showSearch(QString());
    window->lstTopics_Click(window->lstTopics->item(0)); // "Lamps & Lights"
    EXPECT_EQ(window->currentTopic(), 5);
}
