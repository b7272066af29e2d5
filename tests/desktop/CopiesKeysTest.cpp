// The automatic copies under real hands: the copies folder chosen in the
// File menu's window, copies switched on, a copy made with Copy Now and
// another when the main window closes after a change; the word at start-up
// when the copies folder is gone; and a version restored from the window.
#include "DesktopFixture.h"

#include "backup/DatabaseCopy.h"
#include "copies/CopyCheck.h"
#include "copies/CopySettings.h"
#include "copies/CopyStore.h"
#include "copies/CopyWriter.h"
#include "copies/window/AutomaticCopies.h"
#include "copies/window/CopyRun.h"
#include "copies/window/frmCopies.h"
#include "copies/window/frmCopyRestore.h"
#include "data/Inventory.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

QByteArray sha256Of(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

class CopiesKeys : public DesktopTest {
protected:
    void SetUp() override
    {
        // The settings of the test's own, never the user's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void TearDown() override
    {
        delete ClosingCopy::current();
        AutomaticCopies::setClock({});
        frmCopyRestore::setOpener({});
        DesktopTest::TearDown();
    }
    // The File menu's entry with this access key.
    void fileMenu(Qt::Key key)
    {
        alt('f');
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
        QTest::keyClick(QApplication::activePopupWidget(), key);
    }
    QList<FoundVersion> versions() const
    {
        const QList<CopyPlace> places = inventoriesIn(m_copies.path());
        return places.size() == 1 ? findVersions(places.first()) : QList<FoundVersion>();
    }

    QTemporaryDir m_settings;
    QTemporaryDir m_copies;
};

} // namespace

// The folder is chosen by Browse, copies are switched on with their access
// key and Copy Now makes a version that verifies; a price changed in the
// form and the main window closed by File > Exit makes the next version,
// holding the new price, before the program ends.
TEST_F(CopiesKeys, ChosenSwitchedOnCopiedNowAndCopiedOnClose)
{
    addItem({{"Item", "Radio"}, {"EstValue", 40}, {"Quantity", 1}, {"TotValue", 40}});
    addItem({{"Item", "Sofa"}, {"EstValue", 300}, {"Quantity", 1}, {"TotValue", 300}});
    frmMain &w = start();
    fileMenu(Qt::Key_C);
    frmCopies *window = frmCopies::instance();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitUntilActive(window));
    EXPECT_EQ(window->lblLastVerified->text(), QStringLiteral("None yet"));

    prompts.answerFile(m_copies.path());
    alt('b');
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->txtFolder->text().isEmpty(); }, 5000));
    EXPECT_EQ(window->txtFolder->text(), m_copies.path());
    alt('a');
    ASSERT_TRUE(QTest::qWaitFor([&] { return readCopySettings(folder().path()).enabled; }, 5000))
        << "switched on by its access key, and kept";
    EXPECT_EQ(readCopySettings(folder().path()).folder, m_copies.path());

    alt('n');
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.automaticCopies()->running() != nullptr; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.automaticCopies()->running() == nullptr; }, 60000));
    EXPECT_EQ(w.automaticCopies()->lastProblem(), QString());
    QList<FoundVersion> made = versions();
    ASSERT_EQ(made.size(), 1);
    ASSERT_TRUE(made[0].manifest);
    EXPECT_EQ(made[0].manifest->contents.itemCount, 2);
    EXPECT_EQ(checkVersion(inventoriesIn(m_copies.path()).first(), made[0]), QStringList()) << "verifies";
    EXPECT_TRUE(window->lblStatus->text().startsWith(QStringLiteral("Version ") + made[0].name))
        << window->lblStatus->text().toStdString();
    EXPECT_NE(window->lblLastVerified->text(), QStringLiteral("None yet"));
    EXPECT_TRUE(prompts.messages().empty());
    click(window->cmdClose);

    ASSERT_TRUE(waitUntilActive(&w));
    w.cmdFirst_Click();
    clickAndType(w.txtEstValue, QStringLiteral("55"));
    alt('u');
    ASSERT_FALSE(w.cmdUpdate->isVisible()) << "stored";

    fileMenu(Qt::Key_X);
    ClosingCopy *closing = ClosingCopy::current();
    ASSERT_NE(closing, nullptr) << "the inventory changed since the last copy";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !closing->run().isRunning(); }, 60000));
    EXPECT_EQ(closing->run().failure(), QString());
    // Read once the program let go of the inventory (its last change sat in
    // the log until then).
    const InventoryFigures changed = inventoryFigures(folder().file(InventoryFileName));
    EXPECT_EQ(changed.totalValue, Money::fromUnits(355 * 10000)) << "the price typed, with the sofa's";
    made = versions();
    ASSERT_EQ(made.size(), 2);
    ASSERT_TRUE(made[1].manifest);
    EXPECT_EQ(made[1].manifest->contents.totalValue, changed.totalValue);
    EXPECT_EQ(checkVersion(inventoriesIn(m_copies.path()).first(), made[1]), QStringList());
    EXPECT_TRUE(prompts.messages().empty());
}

// A copies folder that is gone (the USB drive not plugged in) is told at
// start-up, once on a day, with what to do; a day later it is told again.
TEST_F(CopiesKeys, AMissingCopiesFolderIsToldOnceADay)
{
    addItem({{"Item", "Radio"}});
    CopySettings copies;
    copies.folder = m_copies.path() + QStringLiteral("/usb-drive");
    copies.enabled = true;
    copies.lastVerified = QDateTime(QDate(2026, 3, 2), QTime(18, 0), Qt::UTC);
    writeCopySettings(folder().path(), copies);
    QDateTime now(QDate(2026, 3, 4), QTime(9, 0), Qt::UTC);
    AutomaticCopies::setClock([&now] { return now; });

    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts.messages().size() == 1; }, 5000));
    const ScriptedPrompts::Call told = prompts.messages().front();
    EXPECT_EQ(told.title, QStringLiteral("Automatic Copies"));
    EXPECT_EQ(told.icon, Prompts::Icon::Exclamation);
    EXPECT_TRUE(told.text.startsWith(QStringLiteral("Stowbook cannot find the copies folder ") + copies.folder))
        << told.text.toStdString();
    EXPECT_TRUE(told.text.contains(QStringLiteral("The last verified copy of your inventory was made on 3/2/2026")))
        << told.text.toStdString();
    EXPECT_TRUE(told.text.contains(QStringLiteral("plug the drive in"))) << told.text.toStdString();

    // Started again on the same day: not told again.
    window.reset();
    household.closeInventory();
    prompts.clear();
    now = now.addSecs(8 * 3600);
    start();
    QTest::qWait(0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompts.messages().empty());

    window.reset();
    household.closeInventory();
    now = now.addDays(1);
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts.messages().size() == 1; }, 5000)) << "the next day";
}

// File > Restore from Copy lists the version with its figures; Enter on it
// and an empty folder chosen restore it there, and Yes opens it.
TEST_F(CopiesKeys, AVersionIsRestoredFromTheWindowAndOpened)
{
    addItem({{"Item", "Radio"}, {"EstValue", 40}, {"Quantity", 1}, {"TotValue", 40}});
    addItem({{"Item", "Sofa"}, {"EstValue", 300}, {"Quantity", 1}, {"TotValue", 300}});
    {
        const Household copied(folder().path());
        ASSERT_TRUE(makeCopy(copied, m_copies.path()).made);
    }
    CopySettings copies;
    copies.folder = m_copies.path();
    writeCopySettings(folder().path(), copies);
    QStringList opened;
    frmCopyRestore::setOpener([&opened](const QString &dataFolder) { opened << dataFolder; });
    const QTemporaryDir target;

    start();
    fileMenu(Qt::Key_R);
    frmCopyRestore *window = frmCopyRestore::instance();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitUntilActive(window));
    ASSERT_EQ(window->lstVersions->topLevelItemCount(), 1);
    const QTreeWidgetItem *row = window->lstVersions->topLevelItem(0);
    EXPECT_EQ(row->text(1), QStringLiteral("2"));
    EXPECT_EQ(row->text(2), QStringLiteral("$340.00"));
    EXPECT_EQ(row->text(3), QStringLiteral("Yes"));
    EXPECT_EQ(focus(), window->lstVersions);

    prompts.answerFile(target.path());
    prompts.answer(Prompts::Answer::Yes);
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty(); }, 60000)) << window->lblStatus->text().toStdString();
    EXPECT_EQ(opened, QStringList{target.path()});
    const QList<FoundVersion> made = versions();
    ASSERT_EQ(made.size(), 1);
    const QString versionFolder = inventoriesIn(m_copies.path()).first().versionFolder(made[0].name);
    EXPECT_EQ(sha256Of(target.filePath(InventoryFileName)), sha256Of(versionFolder + u'/' + InventoryFileName));
    EXPECT_EQ(inventoryFigures(target.filePath(InventoryFileName)).items, 2);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.contains(QStringLiteral("Open it in Stowbook now?")));
}
