#include "copies/window/frmCopies.h"

#include "copies/CopySettings.h"
#include "copies/window/AutomaticCopies.h"
#include "copies/window/CopyRun.h"
#include "data/DateValue.h"
#include "dates/LocaleFormats.h"
#include "program/Prompts.h"
#include "widgets/PlainButton.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {

frmCopies *s_instance = nullptr;
const QString Caption = QStringLiteral("Automatic Copies");

QString localTime(const QDateTime &utc)
{
    const QDateTime local = utc.toLocalTime();
    return formatShortDate(DateValue::fromDate(local.date())) + u' '
        + QLocale().toString(local.time(), QLocale::ShortFormat);
}

// Whether folder is the data folder or lies inside it: copies there burn
// with the house, and a copy would read its own copies.
bool insideDataFolder(const QString &folder, const QString &dataFolder)
{
    const QString chosen = QFileInfo(folder).canonicalFilePath();
    const QString data = QFileInfo(dataFolder).canonicalFilePath();
    return !chosen.isEmpty() && !data.isEmpty() && (chosen == data || chosen.startsWith(data + u'/'));
}

} // namespace

frmCopies *frmCopies::showCopies(AutomaticCopies &copies, QWidget *mainWindow)
{
    if (!s_instance)
        s_instance = new frmCopies(copies, mainWindow);
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmCopies *frmCopies::instance()
{
    return s_instance;
}

frmCopies::~frmCopies()
{
    if (s_instance == this)
        s_instance = nullptr;
}

frmCopies::frmCopies(AutomaticCopies &copies, QWidget *mainWindow) : QDialog(mainWindow), m_copies(copies)
{
    setObjectName(QStringLiteral("frmCopies"));
    setWindowTitle(Caption);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *intro = new QLabel(
        QStringLiteral("Stowbook can copy your inventory, with its photos and documents, whenever it changed: when you "
                       "close Stowbook, and after ten minutes without a change while it stays open. Each copy is "
                       "checked after it is written, and earlier copies are kept for a year.\n\n"
                       "Choose a folder that leaves the house with the copies: a USB drive you keep elsewhere, or a "
                       "folder that a sync service such as Nextcloud, Syncthing, Dropbox or OneDrive carries off the "
                       "house."),
        this);
    intro->setWordWrap(true);

    txtFolder = new QLineEdit(this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    txtFolder->setReadOnly(true);
    txtFolder->setAccessibleName(QStringLiteral("Copies folder"));
    txtFolder->setMinimumWidth(360);
    cmdBrowse = plainButton(QStringLiteral("cmdBrowse"), QStringLiteral("&Browse..."));
    cmdBrowse->setAccessibleName(QStringLiteral("Browse for the copies folder"));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(cmdBrowse);
    auto *folderLabel = new QLabel(QStringLiteral("Copies &folder:"), this);
    folderLabel->setBuddy(txtFolder);

    chkEnabled = new QCheckBox(QStringLiteral("Make copies &automatically"), this);
    chkEnabled->setObjectName(QStringLiteral("chkEnabled"));
    chkEnabled->setAccessibleName(QStringLiteral("Make copies automatically"));

    lblLastVerified = new QLabel(this);
    lblLastVerified->setObjectName(QStringLiteral("lblLastVerified"));
    lblLastVerified->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for the choice of encrypting copies that leave the house.
    lblEncryption = new QLabel(QStringLiteral("None: whoever has the copies folder can read the copies."), this);
    lblEncryption->setObjectName(QStringLiteral("lblEncryption"));
    lblEncryption->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(folderLabel, folderRow);
    form->addRow(QString(), chkEnabled);
    form->addRow(QStringLiteral("Last verified copy:"), lblLastVerified);
    form->addRow(QStringLiteral("Encryption:"), lblEncryption);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for what a copy says, so its text never squeezes the others.
    lblStatus->setMinimumHeight(lblStatus->fontMetrics().lineSpacing() * 3);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdCopyNow = plainButton(QStringLiteral("cmdCopyNow"), QStringLiteral("Copy &Now"));
    cmdCopyNow->setAccessibleName(QStringLiteral("Copy now"));
    cmdClose = plainButton(QStringLiteral("cmdClose"), QStringLiteral("Close"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCopyNow);
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(lblStatus);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setMaximumWidth(900);

    connect(cmdBrowse, &QPushButton::clicked, this, &frmCopies::cmdBrowse_Click);
    connect(chkEnabled, &QCheckBox::clicked, this, &frmCopies::chkEnabled_Click);
    connect(cmdCopyNow, &QPushButton::clicked, this, &frmCopies::cmdCopyNow_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_copies, &AutomaticCopies::copyStarted, this, &frmCopies::copyStarted);
    connect(&m_copies, &AutomaticCopies::copyFinished, this, &frmCopies::copyFinished);

    showSettings();
    if (m_copies.running())
        copyStarted();
    else if (!m_copies.lastProblem().isEmpty())
        lblStatus->setText(QStringLiteral("The last copy failed: ") + m_copies.lastProblem());
    resize(sizeHint().expandedTo(QSize(560, 0)));
}

void frmCopies::showSettings()
{
    const CopySettings copies = readCopySettings(m_copies.dataFolder());
    txtFolder->setText(QDir::toNativeSeparators(copies.folder));
    chkEnabled->setChecked(copies.enabled);
    lblLastVerified->setText(copies.lastVerified.isValid() ? localTime(copies.lastVerified)
                                                           : QStringLiteral("None yet"));
}

void frmCopies::cmdBrowse_Click()
{
    const CopySettings before = readCopySettings(m_copies.dataFolder());
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Choose the Copies Folder");
    dialog.initialFolder =
        before.folder.isEmpty() || !QFileInfo(before.folder).isDir() ? QDir::homePath() : before.folder;
    const std::optional<QString> chosen = prompts().folderName(dialog);
    if (!chosen || chosen->isEmpty())
        return;
    if (insideDataFolder(*chosen, m_copies.dataFolder())) {
        prompts().message(QStringLiteral("The copies folder must lie outside the data folder %1: copies kept beside "
                                         "the inventory are lost with it. Choose a USB drive, or a folder that a "
                                         "sync service carries off the house.")
                              .arg(QDir::toNativeSeparators(m_copies.dataFolder())),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
        return;
    }
    CopySettings copies = before;
    copies.folder = QDir(*chosen).absolutePath();
    writeCopySettings(m_copies.dataFolder(), copies);
    showSettings();
}

void frmCopies::chkEnabled_Click()
{
    CopySettings copies = readCopySettings(m_copies.dataFolder());
    if (chkEnabled->isChecked() && copies.folder.isEmpty()) {
        chkEnabled->setChecked(false);
        prompts().message(QStringLiteral("Choose the copies folder first, with Browse."), Prompts::Buttons::Ok,
                          Prompts::Icon::Information, Caption);
        return;
    }
    copies.enabled = chkEnabled->isChecked();
    writeCopySettings(m_copies.dataFolder(), copies);
}

void frmCopies::cmdCopyNow_Click()
{
    if (readCopySettings(m_copies.dataFolder()).folder.isEmpty()) {
        prompts().message(QStringLiteral("Choose the copies folder first, with Browse."), Prompts::Buttons::Ok,
                          Prompts::Icon::Information, Caption);
        return;
    }
    m_askedNow = m_copies.copyNow() != nullptr;
}

void frmCopies::copyStarted()
{
    cmdCopyNow->setEnabled(false);
    lblStatus->setText(QStringLiteral("Copying the inventory into %1...")
                           .arg(QDir::toNativeSeparators(m_copies.running() ? m_copies.running()->copiesFolder()
                                                                            : txtFolder->text())));
}

void frmCopies::copyFinished()
{
    cmdCopyNow->setEnabled(true);
    showSettings();
    // The run that ended is no longer "running"; what it did is the last
    // problem or the newest settings.
    const bool asked = std::exchange(m_askedNow, false);
    if (!m_copies.lastProblem().isEmpty()) {
        lblStatus->setText(QStringLiteral("The copy failed: ") + m_copies.lastProblem());
        // Told in a box only when asked for here: a copy that made itself
        // fails without interrupting anyone.
        if (asked)
            prompts().message(m_copies.lastProblem(), Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
        return;
    }
    lblStatus->setText(m_copies.lastOutcome());
}
