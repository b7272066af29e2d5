// The photo inbox: a folder chosen once whose new photos are offered as
// items whenever the program starts or is activated.
#include "app/frmMain.h"

#include "photoitems/PhotoInbox.h"
#include "photoitems/window/frmPhotoItems.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

const QString InboxCaption = QStringLiteral("Photo Inbox");

QString photoCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 new photo") : QStringLiteral("%1 new photos").arg(count);
}

// Whether folder is the data folder or lies within it, where the inbox
// would move the inventory's own files.
bool insideDataFolder(const QString &folder, const QString &dataFolder)
{
    const QString inbox = QFileInfo(folder).canonicalFilePath();
    const QString data = QFileInfo(dataFolder).canonicalFilePath();
    return !inbox.isEmpty() && !data.isEmpty() && (inbox == data || inbox.startsWith(data + u'/'));
}

} // namespace

void frmMain::buildPhotoInboxMenu()
{
    mnuPhotoInbox = new QAction(QStringLiteral("Photo I&nbox Folder..."), this);
    mnuPhotoInbox->setObjectName(QStringLiteral("mnuPhotoInbox"));
    const QList<QAction *> actions = mnuFileMenu->actions();
    const qsizetype after = actions.indexOf(mnuAddFromPhotos);
    mnuFileMenu->insertAction(after >= 0 && after + 1 < actions.size() ? actions[after + 1] : mnuExit, mnuPhotoInbox);
    connect(mnuPhotoInbox, &QAction::triggered, this, &frmMain::mnuPhotoInbox_Click);
    m_inboxLookAgain = new QTimer(this);
    m_inboxLookAgain->setSingleShot(true);
    m_inboxLookAgain->setInterval((PhotoInbox::QuietSeconds + 1) * 1000);
    connect(m_inboxLookAgain, &QTimer::timeout, this, &frmMain::offerPhotoInbox);
}

void frmMain::mnuPhotoInbox_Click()
{
    if (!m_household.dbInventory())
        return;
    const QString current = readInboxFolder(m_household.DataFolder());
    if (!current.isEmpty()) {
        const Prompts::Answer answer = prompts().message(
            QStringLiteral("Your photo inbox is the folder '%1'.\n\nChoose another folder? (No stops using an inbox; "
                           "the photos stay where they are.)")
                .arg(QDir::toNativeSeparators(current)),
            Prompts::Buttons::YesNoCancel, Prompts::Icon::Question, InboxCaption);
        if (answer == Prompts::Answer::Cancel)
            return;
        if (answer == Prompts::Answer::No) {
            writeInboxFolder(m_household.DataFolder(), QString());
            m_inbox.reset();
            return;
        }
    }
    Prompts::FileDialog dialog;
    dialog.title = InboxCaption;
    dialog.initialFolder = current.isEmpty() ? QDir::homePath() : current;
    const std::optional<QString> chosen = prompts().folderName(dialog);
    if (!chosen || chosen->isEmpty())
        return;
    if (!QFileInfo(*chosen).isDir()) {
        prompts().message(QStringLiteral("'%1' is no folder.").arg(QDir::toNativeSeparators(*chosen)),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, InboxCaption);
        return;
    }
    if (insideDataFolder(*chosen, m_household.DataFolder())) {
        prompts().message(QStringLiteral("The inbox cannot be the data folder or a folder in it: the photos taken "
                                         "in are moved out of the inbox, and the inventory's own files must stay."),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, InboxCaption);
        return;
    }
    writeInboxFolder(m_household.DataFolder(), QDir::cleanPath(*chosen));
    m_inbox.reset();
    m_inboxOffered.clear();
    QTimer::singleShot(0, this, &frmMain::offerPhotoInbox);
}

void frmMain::offerPhotoInbox()
{
    // Never in the middle of something: an item being typed, another
    // window's question, a question of its own.
    if (m_inboxAsking || m_unloaded || !m_household.dbInventory() || !isActiveWindow()
        || QApplication::activeModalWidget() || editor().changing() || editor().adding())
        return;
    const QString folder = readInboxFolder(m_household.DataFolder());
    if (folder.isEmpty()) {
        m_inbox.reset();
        return;
    }
    if (!m_inbox || m_inbox->folder() != folder)
        m_inbox.emplace(folder);
    const QStringList ready = m_inbox->look(QDateTime::currentDateTime());
    // Photos still being written are looked at again once they may be done.
    if (m_inbox->waiting() > 0)
        m_inboxLookAgain->start();
    const bool fresh =
        std::any_of(ready.begin(), ready.end(), [this](const QString &path) { return !m_inboxOffered.contains(path); });
    if (!fresh)
        return;
    m_inboxOffered << ready;
    const QScopedValueRollback<bool> asking(m_inboxAsking, true);
    const QString count = photoCount(ready.size());
    if (prompts().message(QStringLiteral("%1 in your inbox. Make items of them now?").arg(count),
                          Prompts::Buttons::YesNo, Prompts::Icon::Question, frmPhotoItems::Caption)
        != Prompts::Answer::Yes)
        return;
    takeInboxPhotos(ready);
}

void frmMain::takeInboxPhotos(const QStringList &photos)
{
    if (refusedWhileChanging(QStringLiteral("add items from photos"), frmPhotoItems::Caption))
        return;
    const QString intro = QStringLiteral("%1 in your inbox (%2).")
                              .arg(photoCount(photos.size()), QDir::toNativeSeparators(m_inbox->folder()));
    QStringList taken;
    const std::vector<qint64> added = frmPhotoItems::run(m_household, this, photos, intro, &taken);
    QStringList unmoved;
    for (const QString &path : std::as_const(taken)) {
        QString error;
        if (!m_inbox->moveToDone(path, &error))
            unmoved << QStringLiteral("%1 (%2)").arg(QFileInfo(path).fileName(), error);
    }
    if (!unmoved.isEmpty())
        prompts().message(QStringLiteral("The items were added, but these photos could not be moved to the inbox's "
                                         "\"%1\" folder and stay in the inbox: %2.")
                              .arg(InboxDoneName, unmoved.join(QStringLiteral(", "))),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, frmPhotoItems::Caption);
    if (!added.empty())
        comeBackAfterBulkChange(added.front());
}
