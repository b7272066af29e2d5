#include "ScriptedPrompts.h"

#include "app/frmAbout.h"
#include "program/ProductInfo.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

class AboutTest : public ::testing::Test {
protected:
    void TearDown() override { delete frmAbout::instance(); }

    ScriptedPrompts m_prompts;
};

TEST_F(AboutTest, ShowsNameVersionAndWebAddress)
{
    frmAbout *about = frmAbout::showAbout(nullptr);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Stowbook"));
    EXPECT_EQ(about->lblProduct->text(), QStringLiteral("Stowbook"));
    EXPECT_EQ(about->lblVersion->text(), QStringLiteral("Version 1.3"));
    EXPECT_TRUE(about->Label1->text().contains(ProductWebAddress));
    EXPECT_EQ(about->Label1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(about->cmdOk->text(), QStringLiteral("&Ok"));
    EXPECT_FALSE(about->picIcon->pixmap().isNull());
    EXPECT_TRUE(m_prompts.calls().empty());
}

TEST_F(AboutTest, ClickingTheAddressOpensTheProductsWebPage)
{
    frmAbout *about = frmAbout::showAbout(nullptr);
    QTest::mouseClick(about->Label1, Qt::LeftButton);
    QTest::keyClick(about->Label1, Qt::Key_Return);
    ASSERT_EQ(m_prompts.calls().size(), 2u);
    for (const auto &call : m_prompts.calls()) {
        EXPECT_EQ(call.kind, ScriptedPrompts::Kind::OpenWeb);
        EXPECT_EQ(call.text, ProductWebAddress);
    }
}

TEST_F(AboutTest, OneWindowAtATimeAndOkClosesIt)
{
    QWidget mainWindow;
    frmAbout *about = frmAbout::showAbout(&mainWindow);
    EXPECT_EQ(frmAbout::showAbout(&mainWindow), about);
    EXPECT_EQ(frmAbout::instance(), about);

    QPointer<frmAbout> watched(about);
    QTest::mouseClick(about->cmdOk, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(frmAbout::instance(), nullptr);

    frmAbout *again = frmAbout::showAbout(&mainWindow);
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
}
