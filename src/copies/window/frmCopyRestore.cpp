#include "copies/window/frmCopyRestore.h"

#include "copies/CopyError.h"
#include "copies/CopyRestore.h"
#include "copies/CopySettings.h"
#include "copies/window/CopyRun.h"
#include "data/DateValue.h"
#include "dates/LocaleFormats.h"
#include "program/Prompts.h"
#include "widgets/PlainButton.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

frmCopyRestore *s_instance = nullptr;
const QString Caption = QStringLiteral("Restore from Copy");

frmCopyRestore::Opener &openerSeam()
{
    static frmCopyRestore::Opener opener;
    return opener;
}

void openDataFolder(const QString &folder)
{
    if (openerSeam()) {
        openerSeam()(folder);
        return;
    }
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), {QStringLiteral("-d"), folder}))
        prompts().message(QStringLiteral("Stowbook could not be started on %1. Start it with -d and that folder.")
                              .arg(QDir::toNativeSeparators(folder)),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
}

// With the seconds: two versions may be made within a minute.
QString localTime(const QDateTime &utc)
{
    const QDateTime local = utc.toLocalTime();
    return formatShortDate(DateValue::fromDate(local.date())) + u' '
        + QLocale().toString(local.time(), QLocale::LongFormat);
}

} // namespace

void frmCopyRestore::setOpener(Opener opener)
{
    openerSeam() = std::move(opener);
}

frmCopyRestore *frmCopyRestore::showRestore(const QString &dataFolder, QWidget *mainWindow)
{
    if (!s_instance)
        s_instance = new frmCopyRestore(dataFolder, mainWindow);
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmCopyRestore *frmCopyRestore::instance()
{
    return s_instance;
}

frmCopyRestore::~frmCopyRestore()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
    if (s_instance == this)
        s_instance = nullptr;
}

frmCopyRestore::frmCopyRestore(const QString &dataFolder, QWidget *mainWindow)
    : QDialog(mainWindow)
    , m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("frmCopyRestore"));
    setWindowTitle(Caption);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *folderLabel = new QLabel(QStringLiteral("Copies &folder:"), this);
    txtFolder = new QLineEdit(this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    txtFolder->setReadOnly(true);
    txtFolder->setAccessibleName(QStringLiteral("Copies folder"));
    folderLabel->setBuddy(txtFolder);
    cmdBrowse = plainButton(QStringLiteral("cmdBrowse"), QStringLiteral("&Browse..."));
    cmdBrowse->setAccessibleName(QStringLiteral("Browse for the copies folder"));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(cmdBrowse);

    auto *listLabel = new QLabel(QStringLiteral("&Versions, newest first:"), this);
    lstVersions = new QTreeWidget(this);
    lstVersions->setObjectName(QStringLiteral("lstVersions"));
    lstVersions->setAccessibleName(QStringLiteral("Versions"));
    lstVersions->setRootIsDecorated(false);
    lstVersions->setUniformRowHeights(true);
    lstVersions->setAllColumnsShowFocus(true);
    lstVersions->setHeaderLabels({QStringLiteral("Made"), QStringLiteral("Items"), QStringLiteral("Total Value"),
                                  QStringLiteral("Verified"), QStringLiteral("Copied From")});
    lstVersions->header()->setStretchLastSection(true);
    lstVersions->setMinimumSize(640, 220);
    listLabel->setBuddy(lstVersions);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdRestore = new QPushButton(QStringLiteral("&Restore..."), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdRestore->setAccessibleName(QStringLiteral("Restore the chosen version"));
    cmdRestore->setDefault(true);
    cmdClose = plainButton(QStringLiteral("cmdClose"), QStringLiteral("Close"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addWidget(listLabel);
    layout->addWidget(lstVersions, 1);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);

    connect(cmdBrowse, &QPushButton::clicked, this, &frmCopyRestore::cmdBrowse_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmCopyRestore::cmdRestore_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    // Enter reaches the default button, Restore; a double click does the same.
    connect(lstVersions, &QTreeWidget::itemDoubleClicked, this, &frmCopyRestore::cmdRestore_Click);

    const QString chosen = readCopySettings(dataFolder).folder;
    if (!chosen.isEmpty() && QFileInfo(chosen).isDir())
        listVersions(chosen);
    else
        lblStatus->setText(QStringLiteral("Choose the copies folder with Browse."));
    lstVersions->setFocus();
}

void frmCopyRestore::listVersions(const QString &copiesFolder)
{
    txtFolder->setText(QDir::toNativeSeparators(copiesFolder));
    lstVersions->clear();
    m_listed.clear();
    const QString own = inventoryIdentity(m_dataFolder);
    for (const CopyPlace &place : inventoriesIn(copiesFolder)) {
        for (const FoundVersion &version : findVersions(place))
            m_listed.append({place, version});
    }
    // Newest first; this inventory's own before others' of the same time.
    std::stable_sort(m_listed.begin(), m_listed.end(), [&own](const Listed &a, const Listed &b) {
        if (a.version.made != b.version.made)
            return a.version.made > b.version.made;
        return a.place.identity() == own && b.place.identity() != own;
    });
    for (const Listed &listed : m_listed) {
        auto *row = new QTreeWidgetItem(lstVersions);
        row->setText(
            0, localTime(listed.version.made) + (listed.version.pinned ? QStringLiteral(" (pinned)") : QString()));
        if (const std::optional<CopyManifest> &manifest = listed.version.manifest) {
            row->setText(1, QLocale().toString(manifest->contents.itemCount));
            row->setText(2, formatCurrency(manifest->contents.totalValue));
            // A version is under its name only once it was read back and
            // checked; the restore checks it whole again before writing.
            row->setText(3, QStringLiteral("Yes"));
            row->setText(4, QDir::toNativeSeparators(manifest->dataFolder));
        } else {
            row->setText(3, QStringLiteral("No: ") + listed.version.problem);
        }
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column = 0; column < 4; ++column)
        lstVersions->resizeColumnToContents(column);
    if (m_listed.isEmpty()) {
        lblStatus->setText(
            QStringLiteral("%1 holds no copies of an inventory.").arg(QDir::toNativeSeparators(copiesFolder)));
    } else {
        lstVersions->setCurrentItem(lstVersions->topLevelItem(0));
        lblStatus->setText(QStringLiteral("Choose a version and Restore: it is restored into a new, empty folder; "
                                          "the inventory that is open stays as it is."));
    }
}

void frmCopyRestore::cmdBrowse_Click()
{
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Choose the Copies Folder");
    dialog.initialFolder =
        txtFolder->text().isEmpty() ? QDir::homePath() : QDir::fromNativeSeparators(txtFolder->text());
    const std::optional<QString> chosen = prompts().folderName(dialog);
    if (chosen && !chosen->isEmpty())
        listVersions(*chosen);
}

void frmCopyRestore::cmdRestore_Click()
{
    if (m_thread)
        return;
    const int row = lstVersions->indexOfTopLevelItem(lstVersions->currentItem());
    if (row < 0 || row >= m_listed.size()) {
        prompts().message(QStringLiteral("Choose the version to restore first."), Prompts::Buttons::Ok,
                          Prompts::Icon::Information, Caption);
        return;
    }
    const Listed chosen = m_listed[row];
    if (!chosen.version.manifest) {
        prompts().message(
            QStringLiteral("The version %1 cannot be restored: %2").arg(chosen.version.name, chosen.version.problem),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
        return;
    }
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Choose a New, Empty Folder for the Restored Inventory");
    dialog.initialFolder = QDir::homePath();
    const std::optional<QString> target = prompts().folderName(dialog);
    if (!target || target->isEmpty())
        return;
    m_target = QDir(*target).absolutePath();
    m_versionName = chosen.version.name;
    m_restored.reset();
    m_failure.clear();
    cmdRestore->setEnabled(false);
    cmdBrowse->setEnabled(false);
    lblStatus->setText(QStringLiteral("Checking version %1 whole and restoring it into %2...")
                           .arg(m_versionName, QDir::toNativeSeparators(m_target)));
    m_thread = QThread::create([this, chosen] {
        try {
            m_restored = restoreCopy(chosen.place, chosen.version, m_target);
        } catch (const CopyError &error) {
            m_failure = error.message();
        }
    });
    connect(m_thread, &QThread::finished, this, &frmCopyRestore::restoreEnded);
    m_thread->start();
}

void frmCopyRestore::restoreEnded()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    cmdRestore->setEnabled(true);
    cmdBrowse->setEnabled(true);
    if (!m_restored) {
        lblStatus->setText(m_failure);
        prompts().message(m_failure, Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
        return;
    }
    const QString folder = QDir::toNativeSeparators(m_target);
    lblStatus->setText(QStringLiteral("Version %1 was restored into %2.").arg(m_versionName, folder));
    const Prompts::Answer open = prompts().message(
        QStringLiteral("Version %1 (%2) was checked whole and restored into %3.\n\nOpen it in Stowbook now?")
            .arg(m_versionName, versionFigures(*m_restored), folder),
        Prompts::Buttons::YesNo, Prompts::Icon::Question, Caption);
    if (open == Prompts::Answer::Yes)
        openDataFolder(m_target);
}

void frmCopyRestore::closeEvent(QCloseEvent *event)
{
    // A restore under way finishes (it leaves nothing half-made either
    // way); the window goes when it has.
    if (m_thread) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
