#include "FileModes.h"
#include "ScriptedPrompts.h"
#include "app/frmMain.h"
#include "data/Inventory.h"
#include "launcher/Launcher.h"
#include "program/Household.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class LauncherTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        window.reset();
        household.closeInventory();
    }

    // The menu entry's start as main() runs it: the launcher, then the main
    // window on what it hands over.
    HomeStart startFromMenu(const QString &folder)
    {
        const HomeStart start = prepareHomeStart(folder);
        if (start.arguments) {
            window = std::make_unique<frmMain>(household, *start.arguments);
            window->Form_Load();
            window->Form_Activate();
        }
        return start;
    }

    // A folder whose path holds a blank and "-data", under a documents
    // folder that does not exist yet.
    QString homeFolderIn(const QTemporaryDir &temp) const
    {
        return temp.filePath(QStringLiteral("my -data home/Documents/Stowbook"));
    }

    ScriptedPrompts prompts;
    Household household;
    std::unique_ptr<frmMain> window;
};

} // namespace

TEST_F(LauncherTest, FirstStartLaysOutTheChosenInventoryPrivatelyAndOpensIt)
{
    struct Choice {
        const char *name;
        Prompts::Answer answer;
        bool demo;
    };
    for (const Choice &choice : {Choice{"demo household", Prompts::Answer::Yes, true},
                                 Choice{"empty inventory", Prompts::Answer::No, false}}) {
        SCOPED_TRACE(choice.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString folder = homeFolderIn(temp);
        prompts.clear();
        prompts.answer(choice.answer);
        HomeStart start;
        {
            // No umask at all: whatever the user's is, the inventory is private.
            UmaskGuard noMask(0);
            start = startFromMenu(folder);
        }

        const auto shown = prompts.messages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].buttons, Prompts::Buttons::YesNoCancel);
        EXPECT_EQ(shown[0].icon, Prompts::Icon::Question);
        EXPECT_TRUE(shown[0].text.contains(QDir::toNativeSeparators(folder))) << "the user is told where it will be";

        ASSERT_TRUE(start.arguments.has_value());
        EXPECT_TRUE(start.laidOut) << "the program offers the automatic copies";
        ASSERT_TRUE(window);
        EXPECT_EQ(household.DataFolder(), folder + QStringLiteral("/")) << "handed over through the -d rule unchanged";
        ASSERT_TRUE(household.rsItems());
        EXPECT_EQ(household.rsItems()->recordCount() > 0, choice.demo);
        EXPECT_EQ(window->txtItem->isEnabled(), choice.demo);
        EXPECT_EQ(window->txtItem->text().isEmpty(), !choice.demo);
        EXPECT_EQ(QDir(folder + QStringLiteral("/images")).isEmpty(), !choice.demo);

        // Checked with the program running on it, so the database's journal
        // files count too.
        const auto modes = fileModes(folder);
        EXPECT_TRUE(modes.contains(QStringLiteral("stowbook.db")));
        EXPECT_TRUE(notPrivate(modes).isEmpty()) << notPrivate(modes).join(u' ').toStdString();
        TearDown();
    }
}

TEST_F(LauncherTest, CancelSetsUpNothingAndStartsNothing)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString folder = homeFolderIn(temp);
    prompts.answer(Prompts::Answer::Cancel);
    const HomeStart start = startFromMenu(folder);
    EXPECT_FALSE(start.arguments.has_value());
    EXPECT_EQ(start.exitCode, 0);
    EXPECT_FALSE(window);
    EXPECT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(QDir(temp.path()).isEmpty()) << "not even the folders on the way";
}

TEST_F(LauncherTest, LaterStartsGoStraightToTheInventoryAndKeepWhatWasStored)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString folder = homeFolderIn(temp);
    prompts.answer(Prompts::Answer::Yes);
    startFromMenu(folder);
    ASSERT_TRUE(window);
    window->txtItem->setText(QStringLiteral("Grandfather clock"));
    window->cmdUpdate_Click();
    const int items = household.rsItems()->recordCount();
    TearDown();

    prompts.clear();
    const HomeStart again = startFromMenu(folder);
    EXPECT_TRUE(prompts.calls().empty()) << "nothing is asked once the inventory is there";
    ASSERT_TRUE(again.arguments.has_value());
    EXPECT_FALSE(again.laidOut) << "the copies are offered on the first start only";
    EXPECT_EQ(*again.arguments, (QStringList{QStringLiteral("-d"), folder}));
    ASSERT_TRUE(household.rsItems());
    EXPECT_EQ(household.rsItems()->recordCount(), items);
    EXPECT_EQ(
        household.dbInventory()
            ->scalar(QStringLiteral("select count(*) from items where Item = ?"), {QStringLiteral("Grandfather clock")})
            .toInt(),
        1);
}

TEST_F(LauncherTest, AFolderThatCannotBeSetUpIsExplainedAndLeftAsItWas)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString folder = temp.filePath(QStringLiteral("Stowbook"));
    ASSERT_TRUE(QDir().mkpath(folder));
    // A catalogue without its inventory: an earlier inventory may have lost
    // its database, and setup never writes over what is left of it.
    QFile leftover(folder + QStringLiteral("/rptspec.db"));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("left from before");
    leftover.close();
    const auto before = fileModes(folder);

    prompts.answer(Prompts::Answer::No);
    const HomeStart start = startFromMenu(folder);
    EXPECT_FALSE(start.arguments.has_value());
    EXPECT_EQ(start.exitCode, 1);
    EXPECT_FALSE(window);
    const auto shown = prompts.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].icon, Prompts::Icon::Critical);
    EXPECT_TRUE(shown[1].text.contains(QStringLiteral("rptspec.db already exists"))) << shown[1].text.toStdString();
    EXPECT_EQ(fileModes(folder), before);
}
