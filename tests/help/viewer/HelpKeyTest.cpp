#include "HelpTestFiles.h"
#include "ScriptedPrompts.h"

#include "help/viewer/HelpKey.h"
#include "help/viewer/HelpViewer.h"
#include "help/viewer/HelpWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <gtest/gtest.h>

class HelpKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_helpFile = writeHelpFile(m_dir, shippedHelpText());
        m_filter = installHelpKey(qApp, [this] { return m_helpFile; });
    }
    void TearDown() override
    {
        delete m_filter;
        closeHelpWindow();
    }

    // The topic the help window shows after F1, or -1 when none opened.
    static int shownTopic()
    {
        HelpWindow *window = helpWindow();
        if (!window || !window->isVisible())
            return -1;
        return window->currentTopic();
    }

    QTemporaryDir m_dir;
    ScriptedPrompts m_prompts;
    QString m_helpFile;
    QObject *m_filter = nullptr;
};

TEST_F(HelpKeyTest, F1OnAControlOpensTheNearestTopicUpItsParents)
{
    QWidget window;
    auto *frame = new QWidget(&window);
    auto *own = new QLineEdit(frame);
    auto *inherits = new QLineEdit(frame);
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(own);
    layout->addWidget(inherits);
    QLineEdit orphan;
    setHelpTopic(own, 9);
    setHelpTopic(frame, 31);

    const struct {
        QWidget *widget;
        int topic;
    } cases[] = {{own, 9}, {inherits, 31}, {&orphan, 0}};
    for (const auto &c : cases) {
        closeHelpWindow();
        QTest::keyClick(c.widget, Qt::Key_F1);
        EXPECT_EQ(shownTopic(), c.topic);
    }
    EXPECT_TRUE(helpWindow()->currentPageId() == HelpBook::ContentsId);

    setHelpTopic(own, 0); // removing a topic falls back to the parent's
    EXPECT_EQ(helpTopic(own), 0);
    QTest::keyClick(own, Qt::Key_F1);
    EXPECT_EQ(shownTopic(), 31);
}

TEST_F(HelpKeyTest, F1InAnOpenMenuOpensTheHighlightedItemsTopic)
{
    QWidget owner;
    QMenu reports(QStringLiteral("&Reports"), &owner);
    setHelpTopic(reports.menuAction(), 33);
    QAction *serial = reports.addAction(QStringLiteral("Serial &Number List"));
    setHelpTopic(serial, 38);
    QAction *separator = reports.addSeparator();
    QMenu *sub = reports.addMenu(QStringLiteral("More"));
    QAction *plain = sub->addAction(QStringLiteral("No topic"));

    const struct {
        QMenu *menu;
        QAction *highlighted;
        int topic;
    } cases[] = {
        {&reports, serial, 38},
        {&reports, separator, 33}, // nothing useful highlighted: the menu's own topic
        {&reports, nullptr, 33},
        {sub, plain, 33}, // a submenu item without topic: the top-level menu's
    };
    for (const auto &c : cases) {
        closeHelpWindow();
        c.menu->popup(QPoint(0, 0));
        c.menu->setActiveAction(c.highlighted);
        QTest::keyClick(c.menu, Qt::Key_F1);
        EXPECT_EQ(shownTopic(), c.topic);
        EXPECT_FALSE(c.menu->isVisible()) << "the menu stays open over the help";
    }
}

TEST_F(HelpKeyTest, OnlyPlainF1IsTakenAndOnlyWhileInstalled)
{
    QLineEdit edit;
    setHelpTopic(&edit, 21);
    QTest::keyClick(&edit, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(helpWindow(), nullptr);

    delete m_filter;
    m_filter = nullptr;
    QTest::keyClick(&edit, Qt::Key_F1);
    EXPECT_EQ(helpWindow(), nullptr);
}

TEST_F(HelpKeyTest, F1InsideTheHelpWindowExplainsHelp)
{
    ShowHelp(nullptr, m_helpFile, HelpContext, 31);
    ASSERT_NE(helpWindow(), nullptr);
    QTest::keyClick(helpWindow()->txtPage, Qt::Key_F1);
    EXPECT_EQ(helpWindow()->currentPageId(), HelpBook::UsingHelpId);
}
