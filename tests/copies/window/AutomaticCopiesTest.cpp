// The copies that make themselves while the program runs, on a clock of the
// test's own: made once the data folder was left alone for ten minutes
// after a change, never while nothing changed; a cancelled copy leaves
// nothing and counts as no copy.
#include "copies/window/AutomaticCopies.h"
#include "CopiesFixture.h"
#include "ScriptedPrompts.h"
#include "copies/CopySettings.h"
#include "copies/CopySource.h"
#include "copies/CopyStore.h"
#include "copies/window/CopyRun.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <memory>

namespace {

class AutomaticCopiesTest : public CopiesTest {
protected:
    void SetUp() override
    {
        CopiesTest::SetUp();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        writeCopySettings(dataFolder(), switchedOn(copiesFolder()));
        AutomaticCopies::setClock([this] { return now; });
    }
    void TearDown() override { AutomaticCopies::setClock({}); }

    // Ticks as the minute's timer does, and waits for a copy it started.
    bool tickStartsACopy(AutomaticCopies &copies)
    {
        copies.tick();
        CopyRun *run = copies.running();
        if (!run)
            return false;
        EXPECT_TRUE(QTest::qWaitFor([&copies] { return copies.running() == nullptr; }, 60000));
        return true;
    }

    QTemporaryDir m_settings;
    ScriptedPrompts prompts;
};

} // namespace

TEST_F(AutomaticCopiesTest, ACopyFollowsTenQuietMinutesAfterAChange)
{
    // Copied at start-up, as the first start with copies on does.
    {
        AutomaticCopies copies(dataFolder());
        prompts.answer(Prompts::Answer::Ok);
        copies.atStart();
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_TRUE(prompts.messages().front().text.startsWith(QStringLiteral("No verified copy")));
        ASSERT_NE(copies.running(), nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&copies] { return copies.running() == nullptr; }, 60000));
        EXPECT_EQ(copies.lastProblem(), QString());
    }
    ASSERT_EQ(versionNames().size(), 1);
    EXPECT_EQ(readCopySettings(dataFolder()).copiedStamp, sourceStamp(dataFolder()));
    EXPECT_EQ(readCopySettings(dataFolder()).lastVerified, now);

    AutomaticCopies copies(dataFolder());
    struct Step {
        const char *what;
        int minutes; // since the step before
        bool change; // a price typed just before the tick
        bool copied;
    };
    const Step steps[] = {
        {"nothing changed, an hour on", 60, false, false},
        {"a price typed: the change is seen", 1, true, false},
        {"nine quiet minutes", 9, false, false},
        {"another price typed resets the quiet", 1, true, false},
        {"still under ten quiet minutes", 9, false, false},
        {"ten quiet minutes", 1, false, true},
        {"copied: nothing due any more", 30, false, false},
    };
    int versions = 1;
    qint64 price = 1000;
    for (const Step &step : steps) {
        now = now.addSecs(step.minutes * 60);
        if (step.change)
            setFirstPrice(++price);
        EXPECT_EQ(tickStartsACopy(copies), step.copied) << step.what;
        versions += step.copied ? 1 : 0;
        EXPECT_EQ(versionNames().size(), versions) << step.what;
    }
    EXPECT_EQ(readCopySettings(dataFolder()).lastVerified, now.addSecs(-30 * 60));
}

// Stopped before it wrote a version: no version, nothing left in the
// copies, no verified copy noted, and the change still due.
TEST_F(AutomaticCopiesTest, ACancelledCopyLeavesNothingAndStaysDue)
{
    CopyRun run(dataFolder(), copiesFolder(), [this] { return now; });
    run.cancel();
    run.start();
    ASSERT_TRUE(QTest::qWaitFor([&run] { return !run.isRunning(); }, 60000));
    EXPECT_TRUE(run.wasCancelled());
    EXPECT_FALSE(run.result().has_value());
    EXPECT_TRUE(versionNames().isEmpty());
    const QStringList left = QDir(place().folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : left)
        EXPECT_FALSE(name.startsWith(StagingPrefix)) << name.toStdString();
    const CopySettings copies = readCopySettings(dataFolder());
    EXPECT_FALSE(copies.lastVerified.isValid());
    EXPECT_NE(copies.copiedStamp, sourceStamp(dataFolder()));
}

// A copy that fails while the program runs interrupts nobody (no message:
// the scripted prompts would fail the test), is kept for the copies window
// and is tried again only after another quiet spell, not every minute.
TEST_F(AutomaticCopiesTest, AFailingCopyIsKeptQuietAndTriedAgainLater)
{
    // Where the copies would go, something of another program's is in the way.
    QFile blocker(copiesFolder() + u'/' + CopiesFolderName);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AutomaticCopies copies(dataFolder());
    setFirstPrice(4242);
    copies.tick();
    now = now.addSecs(10 * 60);
    ASSERT_TRUE(tickStartsACopy(copies));
    EXPECT_TRUE(copies.lastProblem().contains(copiesFolder())) << copies.lastProblem().toStdString();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_FALSE(readCopySettings(dataFolder()).lastVerified.isValid());

    now = now.addSecs(60);
    EXPECT_FALSE(tickStartsACopy(copies)) << "not again a minute later";
    ASSERT_TRUE(QFile::remove(blocker.fileName()));
    now = now.addSecs(9 * 60);
    ASSERT_TRUE(tickStartsACopy(copies)) << "again after ten quiet minutes";
    EXPECT_EQ(copies.lastProblem(), QString());
    EXPECT_EQ(versionNames().size(), 1);
}

// The copy at the program's end: none when nothing changed since the last
// verified copy; after a change, one that ends with a version made.
TEST_F(AutomaticCopiesTest, TheClosingCopyIsMadeOnlyAfterAChange)
{
    {
        CopyRun first(dataFolder(), copiesFolder(), [this] { return now; });
        first.start();
        ASSERT_TRUE(QTest::qWaitFor([&first] { return !first.isRunning(); }, 60000));
        ASSERT_TRUE(first.result().has_value());
    }
    EXPECT_EQ(ClosingCopy::startIfDue(dataFolder()), nullptr);

    setFirstPrice(777);
    now = now.addSecs(60);
    std::unique_ptr<ClosingCopy> closing(ClosingCopy::startIfDue(dataFolder()));
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(ClosingCopy::current(), closing.get());
    ASSERT_TRUE(QTest::qWaitFor([&closing] { return !closing->run().isRunning(); }, 60000));
    EXPECT_EQ(closing->run().failure(), QString());
    EXPECT_EQ(versionNames().size(), 2);
    EXPECT_EQ(readCopySettings(dataFolder()).copiedStamp, sourceStamp(dataFolder()));
    closing.reset();
    EXPECT_EQ(ClosingCopy::current(), nullptr);
    EXPECT_EQ(ClosingCopy::startIfDue(dataFolder()), nullptr) << "copied: nothing due";
}
