#include "app/frmMain.h"

#include "app/frmAbout.h"
#include "backup/window/BackupWindow.h"
#include "claim/window/frmClaim.h"
#include "claim/window/frmReadiness.h"
#include "codes/window/frmCodesMaint.h"
#include "copies/window/AutomaticCopies.h"
#include "data/Inventory.h"
#include "dates/DateOrder.h"
#include "designer/frmRptSpec.h"
#include "focus/LeaveCheck.h"
#include "help/viewer/HelpKey.h"
#include "help/viewer/HelpViewer.h"
#include "items/warranty/frmWarranty.h"
#include "program/CommandLine.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"
#include "reports/viewer/FixedReportWindows.h"
#include "reports/viewer/RunReport.h"
#include "reports/viewer/frmOutput.h"
#include "widgets/ElasticContainer.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimer>

namespace {

// Help topics of the menu items.
constexpr int TopicExit = 30, TopicCategories = 31, TopicLocations = 32, TopicByCategory = 33, TopicByLocation = 34,
              TopicByItem = 35, TopicValueByCategory = 36, TopicValueByLocation = 37, TopicSerial = 38, TopicHelp = 40,
              TopicAbout = 41, TopicCustom = 47;

// The client area the form was laid out on, in twips.
constexpr int ClientWidthTwips = 10230;
constexpr int ClientHeightTwips = 6900;

QAction *addItem(QMenu *menu, const QString &objectName, const QString &caption, int topic)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(objectName);
    setHelpTopic(action, topic);
    return action;
}

} // namespace

frmMain::frmMain(Household &household, const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , m_household(household)
    , m_arguments(arguments)
{
    connect(&m_household, &Household::codeListChanged, this, [this](int kind) {
        if (kind == 1)
            CatListChanged = true;
        else if (kind == 2)
            LocListChanged = true;
    });
    setObjectName(QStringLiteral("frmMain"));
    setAcceptDrops(true);
    setWindowTitle(ProgramTitle);
    Elastic1 = new ElasticContainer(ClientWidthTwips, ClientHeightTwips, this);
    Elastic1->setObjectName(QStringLiteral("Elastic1"));
    setCentralWidget(Elastic1);
    // Smaller than it was laid out on, the form's boxes and buttons would
    // cut their texts.
    Elastic1->setMinimumSize(Elastic1->sizeHint());
    buildMenus();
    buildRecordForm();
    buildCommandButtons();
    wireFieldEntry();
}

frmMain::~frmMain() = default;

void frmMain::setSecondaryWindow(Secondary which, QWidget *window)
{
    m_secondary[size_t(which)] = window;
}

QWidget *frmMain::secondaryWindow(Secondary which) const
{
    return m_secondary[size_t(which)];
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();

    mnuFileMenu = bar->addMenu(QStringLiteral("&File"));
    mnuFileMenu->setObjectName(QStringLiteral("mnuFileMenu"));
    setHelpTopic(mnuFileMenu->menuAction(), TopicExit);
    mnuBackup = addItem(mnuFileMenu, QStringLiteral("mnuBackup"), QStringLiteral("&Back Up Inventory..."), TopicHelp);
    connect(mnuBackup, &QAction::triggered, this, &frmMain::mnuBackup_Click);
    mnuFileMenu->addSeparator()->setObjectName(QStringLiteral("mnuFDash1"));
    mnuExit = addItem(mnuFileMenu, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), TopicExit);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);

    mnuMaintain = bar->addMenu(QStringLiteral("&Maintain"));
    mnuMaintain->setObjectName(QStringLiteral("mnuMaintain"));
    setHelpTopic(mnuMaintain->menuAction(), TopicCategories);
    mnuMaint[1] = addItem(mnuMaintain, QStringLiteral("mnuMaint"), QStringLiteral("&Categories"), TopicCategories);
    mnuMaint[2] = addItem(mnuMaintain, QStringLiteral("mnuMaint"), QStringLiteral("&Locations"), TopicLocations);
    for (int index = 1; index <= 2; ++index)
        connect(mnuMaint[size_t(index)], &QAction::triggered, this, [this, index] { mnuMaint_Click(index); });

    mnuReportsMenu = bar->addMenu(QStringLiteral("&Reports"));
    mnuReportsMenu->setObjectName(QStringLiteral("mnuReportsMenu"));
    setHelpTopic(mnuReportsMenu->menuAction(), TopicByCategory);
    mnuRptAll[1] =
        addItem(mnuReportsMenu, QStringLiteral("mnuRptAll"), QStringLiteral("All Items by &Category"), TopicByCategory);
    mnuRptAll[2] =
        addItem(mnuReportsMenu, QStringLiteral("mnuRptAll"), QStringLiteral("All Items by &Location"), TopicByLocation);
    mnuRptAll[3] = addItem(mnuReportsMenu, QStringLiteral("mnuRptAll"),
                           QStringLiteral("All Items by &Item Description"), TopicByItem);
    mnuReportsMenu->addSeparator()->setObjectName(QStringLiteral("mnuDash2"));
    mnuRptValue[1] = addItem(mnuReportsMenu, QStringLiteral("mnuRptValue"),
                             QStringLiteral("&Value Summary by Category"), TopicValueByCategory);
    mnuRptValue[2] = addItem(mnuReportsMenu, QStringLiteral("mnuRptValue"),
                             QStringLiteral("Value &Summary by Location"), TopicValueByLocation);
    mnuReportsMenu->addSeparator()->setObjectName(QStringLiteral("mnuRDash2"));
    mnuRptSerial =
        addItem(mnuReportsMenu, QStringLiteral("mnuRptSerial"), QStringLiteral("Serial &Number List"), TopicSerial);
    // "R" leads to the custom reports and "a" to the claim: "d" keeps each
    // access key of the menu to one entry.
    mnuReadiness =
        addItem(mnuReportsMenu, QStringLiteral("mnuReadiness"), QStringLiteral("Claim Rea&diness..."), TopicHelp);
    connect(mnuReadiness, &QAction::triggered, this, &frmMain::mnuReadiness_Click);
    mnuReportsMenu->addSeparator()->setObjectName(QStringLiteral("mnuRDash3"));
    mnuCustom = addItem(mnuReportsMenu, QStringLiteral("mnuCustom"), QStringLiteral("Custom &Reports"), TopicCustom);
    // "C" is taken by the first report; "a" keeps Alt+R, C running it at once.
    mnuReportsMenu->addSeparator()->setObjectName(QStringLiteral("mnuRDash4"));
    mnuClaim = addItem(mnuReportsMenu, QStringLiteral("mnuClaim"), QStringLiteral("Insurance Cl&aim..."), TopicHelp);
    connect(mnuClaim, &QAction::triggered, this, &frmMain::mnuClaim_Click);

    for (int index = 1; index <= 3; ++index)
        connect(mnuRptAll[size_t(index)], &QAction::triggered, this, [this, index] { mnuRptAll_Click(index); });
    for (int index = 1; index <= 2; ++index)
        connect(mnuRptValue[size_t(index)], &QAction::triggered, this, [this, index] { mnuRptValue_Click(index); });
    connect(mnuRptSerial, &QAction::triggered, this, &frmMain::mnuRptSerial_Click);
    connect(mnuCustom, &QAction::triggered, this, &frmMain::mnuCustom_Click);

    mnuHelpmenu = bar->addMenu(QStringLiteral("&Help"));
    mnuHelpmenu->setObjectName(QStringLiteral("mnuHelpmenu"));
    setHelpTopic(mnuHelpmenu->menuAction(), TopicHelp);
    mnuHelp[1] = addItem(mnuHelpmenu, QStringLiteral("mnuHelp"), QStringLiteral("&Contents"), TopicHelp);
    mnuHelp[2] = addItem(mnuHelpmenu, QStringLiteral("mnuHelp"), QStringLiteral("&Search for Help on..."), TopicHelp);
    mnuHelp[3] = addItem(mnuHelpmenu, QStringLiteral("mnuHelp"), QStringLiteral("&Using Help"), TopicHelp);
    for (int index = 1; index <= 3; ++index)
        connect(mnuHelp[size_t(index)], &QAction::triggered, this, [this, index] { mnuHelp_Click(index); });
    mnuHelpmenu->addSeparator()->setObjectName(QStringLiteral("mnuDash9"));
    mnuAbout = addItem(mnuHelpmenu, QStringLiteral("mnuAbout"), QStringLiteral("&About Stowbook"), TopicAbout);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);

    buildTransferMenu();
    buildPhotoInboxMenu();
    buildViewMenu();
    buildDocumentsMenu();
    buildWarrantyMenu();
    buildCopiesMenu();
}

void frmMain::Form_Load()
{
    // The date order must be known before any date is shown or read.
    ChkDateFmt();
    CatListChanged = true;
    LocListChanged = true;

    m_household.setDataFolder(dataFolderFromCommandLine(commandLineText(m_arguments), QDir::currentPath()));
    const QString &DataFolder = m_household.DataFolder();
    // A folder without an inventory gets one message and is left as it was:
    // no picture folder is made in a folder that is not a data folder.
    if (!QFileInfo::exists(DataFolder + InventoryFileName)) {
        reportMissingInventory();
        return;
    }

    m_household.trapDb([&] {
        const QString images = DataFolder + ImagesFolderName;
        if (!QFileInfo::exists(images) && !QDir().mkdir(images))
            throw DbError::pathFileAccess(
                QStringLiteral("the folder '%1' could not be created.").arg(QDir::toNativeSeparators(images)));
    });

    openInventory();
    if (!m_household.dbInventory() || !m_household.rsItems()) {
        reportUnopenedInventory();
        return;
    }

    m_household.trapDb([this] {
        Recordset &rsItems = m_household.items();
        if (rsItems.recordCount() > 0) {
            rsItems.moveLast();
            rsItems.moveFirst();
            LoadItem();
        } else {
            DisableFields();
        }
    });

    editor().reset();
    PictureChanged = false;
    startAutomaticCopies();
}

void frmMain::openInventory()
{
    m_household.trapDb([this] { m_household.openInventory(); });
    if (!m_household.dbInventory())
        return;
    m_household.trapDb([this] { m_household.openItems(); });
}

// Without its database the program cannot do anything useful; one clear
// message instead of a failure for every later step.
void frmMain::reportUnopenedInventory()
{
    const QString folder = QDir::toNativeSeparators(m_household.DataFolder());
    prompts().message(
        QStringLiteral("Stowbook could not open the inventory database '%1' in the folder '%2'.\n\n"
                       "Start Stowbook with -d followed by a blank and the folder that holds your stowbook.db, "
                       "or, to begin a new inventory, create a data folder with:\n\n    stowbook-setup %2")
            .arg(InventoryFileName, folder),
        Prompts::Buttons::Ok, Prompts::Icon::Critical, ProgramTitle);
    m_household.closeInventory();
    prompts().endProgram(1);
}

void frmMain::reportMissingInventory()
{
    QString folder = QDir::toNativeSeparators(m_household.DataFolder());
    if (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    // As the user would type it into a shell.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+,:@%=-]+$"));
    const QString argument = plain.match(folder).hasMatch()
        ? folder
        : QLatin1Char('\'') + QString(folder).replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
    prompts().message(QStringLiteral("The folder '%1' holds no Stowbook inventory (there is no %2 in it).\n\n"
                                     "Start Stowbook with -d followed by a blank and the folder that holds your %2, "
                                     "or make a new, empty inventory in this folder with:\n\n    stowbook-setup %3\n\n"
                                     "or one filled with a sample household, to try the program, with:\n\n"
                                     "    stowbook-setup --demo %3")
                          .arg(folder, InventoryFileName, argument),
                      Prompts::Buttons::Ok, Prompts::Icon::Critical, ProgramTitle);
    prompts().endProgram(1);
}

void frmMain::fillCodeList(QComboBox *list, const QString &statement, const QString &descColumn,
                           const QString &idColumn)
{
    // Refilling the list is no change to the item shown.
    const QSignalBlocker quiet(list);
    list->clear();
    m_household.trapDb([&] {
        auto codes = m_household.inventory().openRecordset(statement, RecordsetType::Snapshot);
        if (codes->recordCount() > 0) {
            for (codes->moveFirst(); !codes->eof(); codes->moveNext())
                list->addItem(codes->value(descColumn).toString(), codes->value(idColumn).toInt());
        }
        codes->close();
    });
    list->setCurrentIndex(-1);
}

void frmMain::Form_Activate()
{
    if (m_unloaded || !m_household.dbInventory())
        return;
    // After the activation is over: the question is a window of its own.
    QTimer::singleShot(0, this, &frmMain::offerPhotoInbox);
    bool reloaded = false;
    // The codes chosen in an edit or addition under way, to choose them again
    // in the fresh lists.
    const QVariant chosenCat = cmbCat->currentIndex() < 0 ? QVariant() : cmbCat->currentData();
    const QVariant chosenLoc = cmbLoc->currentIndex() < 0 ? QVariant() : cmbLoc->currentData();
    if (CatListChanged) {
        fillCodeList(cmbCat, CategoriesStatement, QStringLiteral("catDesc"), QStringLiteral("catid"));
        CatListChanged = false;
        reloaded = true;
    }
    if (LocListChanged) {
        fillCodeList(cmbLoc, LocationsStatement, QStringLiteral("locDesc"), QStringLiteral("locid"));
        LocListChanged = false;
        reloaded = true;
    }
    if (!reloaded)
        return;
    if (editor().changing() || editor().adding()) {
        // Showing the stored item again would throw away what is being typed
        // (a user often goes to the maintenance window in the middle of an
        // item to add the category it needs).
        for (auto [list, chosen] : {std::pair{cmbCat, chosenCat}, std::pair{cmbLoc, chosenLoc}})
            list->setCurrentIndex(chosen.isNull() ? -1 : list->findData(chosen));
        return;
    }
    if (Recordset *rsItems = m_household.rsItems())
        m_household.trapDb([this, rsItems] {
            if (rsItems->recordCount() > 0)
                LoadItem();
        });
}

void frmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Leaving never waits for a field's check: what was typed is dropped.
    stopLeaveChecks(this);
    // Nor does the warranty window store what was typed there, as its
    // closing otherwise would.
    if (auto *warranty = qobject_cast<frmWarranty *>(secondaryWindow(Secondary::Warranty)))
        warranty->dropChanges();
    for (QPointer<QWidget> &window : m_secondary) {
        if (window)
            window->close();
    }
    // What was typed but not stored is dropped: nothing is written here.
    m_household.closeInventory();
    quitAfterClosingCopy();
}

void frmMain::mnuMaint_Click(int index)
{
    if (index != 1 && index != 2)
        return;
    setSecondaryWindow(Secondary::CodesMaint, frmCodesMaint::showCodesMaint(m_household, this, qint16(index)));
}

void frmMain::mnuRptAll_Click(int index)
{
    static const char *const files[] = {"bycat.srp", "byloc.srp", "byitem.srp"};
    if (index < 1 || index > 3)
        return;
    RunReport(m_household, QString::fromLatin1(files[index - 1]));
    setSecondaryWindow(Secondary::Output, frmOutput::current());
}

void frmMain::mnuRptValue_Click(int index)
{
    if (index != 1 && index != 2)
        return;
    RunValueSummary(m_household, this, index);
    setSecondaryWindow(Secondary::Output, frmOutput::current());
}

void frmMain::mnuRptSerial_Click()
{
    RunSerialNumberList(m_household, this);
    setSecondaryWindow(Secondary::Output, frmOutput::current());
}

void frmMain::mnuCustom_Click()
{
    // Without a usable catalogue the designer says so and does not open.
    setSecondaryWindow(Secondary::Designer, frmRptSpec::showDesigner(m_household, this));
}

void frmMain::mnuBackup_Click()
{
    BackUpInventory(m_household, this);
}

void frmMain::mnuReadiness_Click()
{
    frmReadiness::showReadiness(m_household, this);
}

void frmMain::mnuClaim_Click()
{
    frmClaim::showClaim(m_household, this);
}

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::mnuHelp_Click(int index)
{
    switch (index) {
    case 1:
        ShowHelp(this, m_household.HelpFilePath(), 1, 0);
        break;
    case 2:
        ShowHelp(this, m_household.HelpFilePath(), 261, 0);
        break;
    case 3:
        ShowHelp(this, QString(), 4, 0);
        break;
    default:
        break;
    }
}

void frmMain::mnuAbout_Click()
{
    setSecondaryWindow(Secondary::About, frmAbout::showAbout(this));
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    Form_Activate();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // A backup under way is stopped only when the user says so.
    if (!m_unloaded && !StopBackupBeforeExit()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}
