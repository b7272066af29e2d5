// The main window's File menu entries that move items in bulk: Import Items,
// Export Items and Add Items from Photos.
#include "app/frmMain.h"
#include "help/viewer/HelpKey.h"
#include "photoitems/window/frmPhotoItems.h"
#include "program/ConfirmReplaceFile.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"
#include "transfer/ItemExport.h"
#include "transfer/import/frmImport.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace {
constexpr int TopicImport = 50, TopicExport = 51;
const QString ExportCaption = QStringLiteral("Export Items");
} // namespace

bool frmMain::refusedWhileChanging(const QString &then, const QString &caption)
{
    // The items are read again after a change in bulk, which an edit under
    // way would not survive.
    if (!editor().changing() && !editor().adding())
        return false;
    prompts().message(
        QStringLiteral("The item in the main window is being changed. Update or cancel the change first, then %1.")
            .arg(then),
        Prompts::Buttons::Ok, Prompts::Icon::Exclamation, caption);
    return true;
}

void frmMain::comeBackAfterBulkChange(std::optional<qint64> firstAdded)
{
    if (firstAdded)
        ShowImportedItems(*firstAdded);
    // The window manager may leave the focus nowhere once the bulk window
    // and its message have gone; the user goes on in the item shown.
    activateWindow();
    raise();
    if (txtItem->isEnabled())
        txtItem->setFocus(Qt::OtherFocusReason);
}

void frmMain::buildTransferMenu()
{
    // Above Exit, which keeps its caption and its access key.
    mnuImport = new QAction(QStringLiteral("&Import Items..."), this);
    mnuImport->setObjectName(QStringLiteral("mnuImport"));
    setHelpTopic(mnuImport, TopicImport);
    mnuExport = new QAction(QStringLiteral("&Export Items..."), this);
    mnuExport->setObjectName(QStringLiteral("mnuExport"));
    setHelpTopic(mnuExport, TopicExport);
    mnuAddFromPhotos = new QAction(QStringLiteral("Add Items from &Photos..."), this);
    mnuAddFromPhotos->setObjectName(QStringLiteral("mnuAddFromPhotos"));
    mnuFileMenu->insertAction(mnuExit, mnuImport);
    mnuFileMenu->insertAction(mnuExit, mnuExport);
    mnuFileMenu->insertAction(mnuExit, mnuAddFromPhotos);
    mnuFileMenu->insertSeparator(mnuExit)->setObjectName(QStringLiteral("mnuDashTransfer"));
    connect(mnuImport, &QAction::triggered, this, &frmMain::mnuImport_Click);
    connect(mnuExport, &QAction::triggered, this, &frmMain::mnuExport_Click);
    connect(mnuAddFromPhotos, &QAction::triggered, this, &frmMain::mnuAddFromPhotos_Click);
}

void frmMain::mnuImport_Click()
{
    if (!m_household.dbInventory())
        return;
    if (refusedWhileChanging(QStringLiteral("import items"), frmImport::Caption))
        return;
    Prompts::FileDialog dialog;
    dialog.title = frmImport::Caption;
    dialog.filter = QStringLiteral("CSV Files|*.csv|Text Files|*.txt|All Files|*");
    dialog.initialFolder = QDir::homePath();
    const std::optional<QString> path = prompts().openFileName(dialog);
    if (!path || path->isEmpty())
        return;
    const std::optional<ImportOutcome> outcome = frmImport::runImport(m_household, this, *path);
    comeBackAfterBulkChange(outcome ? outcome->firstKey : std::nullopt);
}

void frmMain::mnuExport_Click()
{
    if (!m_household.dbInventory())
        return;
    Prompts::FileDialog dialog;
    dialog.title = ExportCaption;
    dialog.fileName = QStringLiteral("items.csv");
    dialog.filter = QStringLiteral("CSV Files|*.csv|All Files|*");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.initialFolder = QDir::homePath();
    const std::optional<QString> path = prompts().saveFileName(dialog);
    if (!path || path->isEmpty())
        return;
    if (!ConfirmReplaceFile(*path))
        return;
    int count = -1;
    {
        BusyCursor busy;
        m_household.trapDb([&] { count = exportItems(m_household.inventory(), *path); });
        m_household.freeInventoryLocks();
    }
    if (count < 0)
        return;
    const QString items = count == 1 ? QStringLiteral("1 item was") : QStringLiteral("%1 items were").arg(count);
    prompts().message(QStringLiteral("%1 exported to '%2'.").arg(items, QDir::toNativeSeparators(*path)),
                      Prompts::Buttons::Ok, Prompts::Icon::Information, ExportCaption);
}

void frmMain::mnuAddFromPhotos_Click()
{
    if (!m_household.dbInventory())
        return;
    if (refusedWhileChanging(QStringLiteral("add items from photos"), frmPhotoItems::Caption))
        return;
    Prompts::FileDialog dialog;
    dialog.title = frmPhotoItems::Caption;
    dialog.filter = QStringLiteral("Photos|*.jpg;*.jpeg;*.png;*.heic;*.heif;*.JPG;*.JPEG;*.PNG;*.HEIC;*.HEIF|"
                                   "All Files|*");
    dialog.initialFolder = QDir::homePath();
    dialog.orFolder = true;
    const QStringList chosen = prompts().openFileNames(dialog);
    if (chosen.isEmpty())
        return;
    const QStringList paths = withFolderFiles(chosen);
    if (paths.isEmpty()) {
        prompts().message(
            QStringLiteral("The folder '%1' holds no files.").arg(QDir::toNativeSeparators(chosen.front())),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation, frmPhotoItems::Caption);
        return;
    }
    const std::vector<qint64> added = frmPhotoItems::run(m_household, this, paths);
    comeBackAfterBulkChange(added.empty() ? std::nullopt : std::optional<qint64>(added.front()));
}
