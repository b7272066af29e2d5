#include "LockHolder.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "app/frmMain.h"
#include "codes/window/frmCodesMaint.h"
#include "data/Inventory.h"
#include "designer/frmRptSpec.h"
#include "help/viewer/HelpKey.h"
#include "program/Household.h"
#include "records/RecordEditor.h"
#include "reports/ReportDefaults.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        window.reset();
        household.closeInventory();
    }

    // Loads the main window on folder as the program's start does.
    frmMain &start(const QString &folder)
    {
        window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder});
        window->Form_Load();
        window->Form_Activate();
        return *window;
    }

    ScriptedPrompts prompts;
    Household household;
    std::unique_ptr<frmMain> window;
};

QString firstDescriptionInOrder(const QString &dbPath)
{
    auto db = Database::open(dbPath);
    return db->scalar(QStringLiteral("select Item from items order by fold(Item), iteid limit 1")).toString();
}

QStringList listTexts(const QComboBox *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

} // namespace

TEST_F(MainWindowTest, StartsOnTheDataFolderWithTheFirstItemAndItsCodes)
{
    TestDataFolder folder{SetupOptions{.demo = true}};
    QDir(folder.file(ImagesFolderName)).removeRecursively();
    frmMain &w = start(folder.path().chopped(1)); // without the slash: it is appended

    EXPECT_EQ(household.DataFolder(), folder.path());
    EXPECT_EQ(household.HelpFilePath(), folder.path() + QStringLiteral("stowbook-help.html"));
    EXPECT_TRUE(QFileInfo(folder.file(ImagesFolderName)).isDir()) << "the picture folder is made when missing";
    EXPECT_EQ(ReportUseWith, QStringLiteral("items"));
    EXPECT_EQ(BodyShade, qRgb(200, 200, 200));
    ASSERT_TRUE(household.dbInventory() && household.rsItems());

    EXPECT_EQ(w.txtItem->text(), firstDescriptionInOrder(folder.file(InventoryFileName)));
    EXPECT_TRUE(w.txtItem->isEnabled());
    EXPECT_FALSE(w.editor().changing());
    EXPECT_FALSE(w.editor().adding());

    // The lists are in description order, and the item's own codes are selected.
    auto db = Database::open(folder.file(InventoryFileName));
    EXPECT_EQ(w.cmbCat->count(), db->scalar(QStringLiteral("select count(*) from categories")).toInt());
    QStringList sorted = listTexts(w.cmbCat);
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(listTexts(w.cmbCat), sorted);
    const QVariant catid = household.rsItems()->value(QStringLiteral("catid"));
    if (catid.isNull())
        EXPECT_EQ(w.cmbCat->currentIndex(), -1);
    else
        EXPECT_EQ(w.cmbCat->currentData().toInt(), catid.toInt());
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(MainWindowTest, WithoutASwitchTheCurrentDirectoryIsTheDataFolder)
{
    TestDataFolder folder;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    window = std::make_unique<frmMain>(household, QStringList{});
    window->Form_Load();
    QDir::setCurrent(before);
    EXPECT_EQ(QDir(household.DataFolder()).canonicalPath(), QDir(folder.path()).canonicalPath());
    EXPECT_TRUE(household.DataFolder().endsWith(QLatin1Char('/')));
    EXPECT_TRUE(household.dbInventory() != nullptr);
}

TEST_F(MainWindowTest, AnEmptyInventoryStartsWithTheFieldsOffAndTheListsFilled)
{
    TestDataFolder folder;
    {
        auto db = Database::open(folder.file(InventoryFileName));
        db->execute(QStringLiteral("insert into categories (catDesc) values ('Tools'), ('appliances')"));
        db->execute(QStringLiteral("insert into locations (locDesc) values ('Garage')"));
    }
    frmMain &w = start(folder.path());
    EXPECT_EQ(household.rsItems()->recordCount(), 0);
    for (QWidget *field : std::initializer_list<QWidget *>{w.txtItem, w.txtNotes, w.cmbCat, w.cmbLoc, w.chkReceipt,
                                                           w.dcPurchDate, w.txtTotValue})
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    EXPECT_EQ(listTexts(w.cmbCat), (QStringList{QStringLiteral("appliances"), QStringLiteral("Tools")}))
        << "order ignores case";
    EXPECT_EQ(listTexts(w.cmbLoc), QStringList{QStringLiteral("Garage")});
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(MainWindowTest, AFolderWithoutAnInventoryGetsOneMessageAndIsLeftAsItWas)
{
    QTemporaryDir parent;
    const QString empty = parent.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkdir(empty));
    struct Row {
        const char *name;
        QString folder;
        QString command;
        bool exists;
    };
    const Row rows[] = {
        {"missing folder", parent.filePath(QStringLiteral("no/such/folder")),
         parent.filePath(QStringLiteral("no/such/folder")), false},
        {"empty folder", empty, empty, true},
        // Typed into a shell as shown, a blank would split the folder in two.
        {"blank in the name", parent.filePath(QStringLiteral("My Things")),
         QLatin1Char('\'') + parent.filePath(QStringLiteral("My Things")) + QLatin1Char('\''), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        prompts.clear();
        window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), row.folder});
        EXPECT_THROW(window->Form_Load(), ProgramEnded);
        const auto shown = prompts.messages();
        ASSERT_EQ(shown.size(), 1u) << "no engine message before the explanation";
        EXPECT_TRUE(shown[0].text.startsWith(
            QStringLiteral("The folder '%1' holds no Stowbook inventory").arg(QDir::toNativeSeparators(row.folder))))
            << shown[0].text.toStdString();
        EXPECT_TRUE(shown[0].text.contains(QStringLiteral("stowbook-setup ") + row.command));
        EXPECT_TRUE(shown[0].text.contains(QStringLiteral("stowbook-setup --demo ") + row.command));
        EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::End), 1);
        EXPECT_EQ(QFileInfo::exists(row.folder), row.exists) << "nothing is created";
        if (row.exists) {
            EXPECT_TRUE(QDir(row.folder).isEmpty());
        }
        window.reset();
        household.closeInventory();
    }
}

TEST_F(MainWindowTest, ADatabaseHeldByAnotherProgramEndsTheStartWithTheInUseMessage)
{
    TestDataFolder folder;
    LockHolder other(LockHolder::Role::Exclusive, folder.file(InventoryFileName));
    window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder.path()});
    EXPECT_THROW(window->Form_Load(), ProgramEnded);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages().front().title, QStringLiteral("Database File Already In Use"));
}

TEST_F(MainWindowTest, ActivationReloadsAChangedListAndShowsTheItemAgain)
{
    TestDataFolder folder{SetupOptions{.demo = true}};
    frmMain &w = start(folder.path());
    const int before = w.cmbCat->count();
    {
        auto other = Database::open(folder.file(InventoryFileName));
        other->execute(QStringLiteral("insert into categories (catDesc) values ('Zz Added Elsewhere')"));
    }
    w.Form_Activate(); // nothing changed as far as the main window knows
    EXPECT_EQ(w.cmbCat->count(), before);

    // Text put in the box by the program itself (no edit begun) is replaced
    // when the item is shown again.
    {
        const RecordEditor::Filling filling(w.editor());
        w.txtItem->setText(QStringLiteral("not the stored description"));
    }
    w.CatListChanged = true; // as the maintenance window does
    w.Form_Activate();
    EXPECT_EQ(w.cmbCat->count(), before + 1);
    EXPECT_FALSE(w.CatListChanged);
    EXPECT_EQ(w.txtItem->text(), household.rsItems()->value(QStringLiteral("Item")).toString())
        << "the item is shown again";
}

TEST_F(MainWindowTest, ExitDuringAnEditDiscardsItAndClosesEverything)
{
    TestDataFolder folder{SetupOptions{.demo = true}};
    frmMain &w = start(folder.path());
    const QString stored = w.txtManufact->text();
    QTest::keyClicks(w.txtManufact, QStringLiteral(" edited"));
    auto about = std::make_unique<QWidget>();
    about->show();
    w.setSecondaryWindow(frmMain::Secondary::About, about.get());

    w.mnuExit->trigger();

    EXPECT_FALSE(about->isVisible()) << "the other windows are closed";
    EXPECT_FALSE(household.rsItems());
    EXPECT_FALSE(household.dbInventory());
    EXPECT_TRUE(prompts.calls().empty()) << "nobody is asked";
    auto db = Database::open(folder.file(InventoryFileName));
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items where manufact = ?"),
                         {stored + QStringLiteral(" edited")})
                  .toInt(),
              0);
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndHelpTopics)
{
    frmMain w(household, QStringList{});
    struct Row {
        QAction *action;
        const char *caption;
        int topic;
    };
    const Row rows[] = {
        {w.mnuExit, "E&xit", 30},
        {w.mnuMaint[1], "&Categories", 31},
        {w.mnuMaint[2], "&Locations", 32},
        {w.mnuRptAll[1], "All Items by &Category", 33},
        {w.mnuRptAll[2], "All Items by &Location", 34},
        {w.mnuRptAll[3], "All Items by &Item Description", 35},
        {w.mnuRptValue[1], "&Value Summary by Category", 36},
        {w.mnuRptValue[2], "Value &Summary by Location", 37},
        {w.mnuRptSerial, "Serial &Number List", 38},
        {w.mnuCustom, "Custom &Reports", 47},
        {w.mnuBackup, "&Back Up Inventory...", 40},
        {w.mnuClaim, "Insurance Cl&aim...", 40},
        {w.mnuReadiness, "Claim Rea&diness...", 40},
        {w.mnuHelp[1], "&Contents", 40},
        {w.mnuHelp[2], "&Search for Help on...", 40},
        {w.mnuHelp[3], "&Using Help", 40},
        {w.mnuAbout, "&About Stowbook", 41},
        {w.mnuImport, "&Import Items...", 50},
        {w.mnuExport, "&Export Items...", 51},
        {w.mnuItemList, "Item &List...", 52},
    };
    for (const Row &row : rows) {
        ASSERT_NE(row.action, nullptr) << row.caption;
        EXPECT_EQ(row.action->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(helpTopic(row.action), row.topic) << row.caption;
        EXPECT_TRUE(row.action->shortcut().isEmpty());
    }
    QStringList top;
    for (QAction *menu : w.menuBar()->actions())
        top << menu->text() + QLatin1Char('=') + QString::number(helpTopic(menu));
    EXPECT_EQ(top,
              (QStringList{QStringLiteral("&File=30"), QStringLiteral("&Maintain=31"), QStringLiteral("&Reports=33"),
                           QStringLiteral("&View=52"), QStringLiteral("&Help=40")}));
    // Exit stays last in the File menu, with its own access key.
    QStringList file;
    for (QAction *item : w.mnuFileMenu->actions())
        file << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(
        file,
        (QStringList{QStringLiteral("&Back Up Inventory..."), QStringLiteral("Automatic &Copies..."),
                     QStringLiteral("&Restore from Copy..."), QStringLiteral("-"), QStringLiteral("&Import Items..."),
                     QStringLiteral("&Export Items..."), QStringLiteral("Add Items from &Photos..."),
                     QStringLiteral("Photo I&nbox Folder..."), QStringLiteral("-"), QStringLiteral("E&xit")}));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Stowbook"));

    // The claim sits at the end of the reports; in each menu an access key
    // leads to one entry only, so it runs at once.
    const auto captions = [](QMenu *menu) {
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    };
    EXPECT_EQ(captions(w.mnuReportsMenu).mid(captions(w.mnuReportsMenu).size() - 3),
              (QStringList{"Custom &Reports", "-", "Insurance Cl&aim..."}));
    for (QMenu *menu : {w.mnuFileMenu, w.mnuMaintain, w.mnuReportsMenu, w.mnuHelpmenu}) {
        QSet<QChar> keys;
        for (QAction *action : menu->actions()) {
            const qsizetype amp = action->text().indexOf(u'&');
            if (amp < 0)
                continue;
            const QChar key = action->text().at(amp + 1).toLower();
            EXPECT_FALSE(keys.contains(key)) << menu->title().toStdString() << ": " << action->text().toStdString();
            keys.insert(key);
        }
    }
}

TEST_F(MainWindowTest, OpeningTheMaintenanceWindowReloadsTheListOnReturnAndExitClosesIt)
{
    TestDataFolder folder{SetupOptions{.demo = true}};
    frmMain &w = start(folder.path());
    ASSERT_FALSE(w.CatListChanged);
    {
        auto other = Database::open(folder.file(InventoryFileName));
        other->execute(QStringLiteral("insert into categories (catDesc) values ('Added while away')"));
    }
    const int before = w.cmbCat->count();

    w.mnuMaint[1]->trigger();
    QWidget *maint = w.secondaryWindow(frmMain::Secondary::CodesMaint);
    ASSERT_NE(maint, nullptr);
    EXPECT_EQ(qobject_cast<frmCodesMaint *>(maint)->kind(), 1);
    EXPECT_EQ(maint->windowTitle(), QStringLiteral("Maintain Categories"));
    EXPECT_TRUE(w.CatListChanged) << "only opening the window is enough";

    w.Form_Activate(); // back in the main window
    EXPECT_EQ(w.cmbCat->count(), before + 1);
    EXPECT_FALSE(w.CatListChanged);

    QPointer<QWidget> watched(maint);
    w.mnuExit->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull() || !watched->isVisible()) << "exit closes the maintenance window";
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(MainWindowTest, CustomReportsOpensTheDesignerAndExitAsksToSaveItsChanges)
{
    TestDataFolder folder{SetupOptions{.demo = true}};
    frmMain &w = start(folder.path());
    ASSERT_TRUE(w.mnuCustom->isEnabled());
    w.mnuCustom->trigger();
    EXPECT_EQ(ReportUseWith, QStringLiteral("items"));
    QWidget *designer = w.secondaryWindow(frmMain::Secondary::Designer);
    ASSERT_NE(designer, nullptr);
    EXPECT_TRUE(designer->windowTitle().startsWith(QStringLiteral("Custom Report")));
    EXPECT_TRUE(prompts.calls().empty());

    // A changed design: closing the program asks whether to save it.
    QPointer<frmRptSpec> spec(qobject_cast<frmRptSpec *>(designer));
    ASSERT_TRUE(spec);
    spec->ReportChanged = true;
    prompts.answer(Prompts::Answer::No);
    w.mnuExit->trigger();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages().front().text, QStringLiteral("Do you wish to save the current report?"));
    EXPECT_EQ(prompts.messages().front().title, QStringLiteral("Save Current Report"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(spec.isNull() || !spec->isVisible());
}
