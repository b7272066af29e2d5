#include "program/Household.h"

#include "data/Inventory.h"
#include "data/Repair.h"
#include "program/CountText.h"
#include "program/Prompts.h"

#include <QFileInfo>

namespace {

void showGeneric(const DbError &error)
{
    prompts().message(QString::number(error.number()) + QStringLiteral("  ") + error.text(), Prompts::Buttons::Ok,
                      Prompts::Icon::None, ProgramTitle);
}

} // namespace

Household::Household() = default;

Household::Household(const QString &dataFolder)
{
    setDataFolder(dataFolder);
}

Household::~Household()
{
    closeInventory();
}

void Household::setDataFolder(const QString &folder)
{
    m_dataFolder = folder;
    if (!m_dataFolder.endsWith(u'/'))
        m_dataFolder += u'/';
}

QString Household::HelpFilePath() const
{
    return m_dataFolder.isEmpty() ? QString() : m_dataFolder + HelpFileName;
}

Database &Household::inventory() const
{
    if (!m_dbInventory)
        throw DbError::objectClosed();
    return *m_dbInventory;
}

Recordset &Household::items() const
{
    if (!m_rsItems)
        throw DbError::objectClosed();
    return *m_rsItems;
}

void Household::openInventory()
{
    std::unique_ptr<Database> db = Database::open(m_dataFolder + InventoryFileName);
    if (!m_dbInventory) {
        m_dbInventory = std::move(db);
        return;
    }
    // The recordset belongs to the connection it was opened on.
    m_rsItems.reset();
    m_dbInventory = std::move(db);
    emit reopened();
}

void Household::openItems()
{
    std::unique_ptr<Recordset> items = inventory().openRecordset(ItemsStatement, RecordsetType::Dynaset);
    const bool replacing = m_rsItems != nullptr;
    m_rsItems = std::move(items);
    if (replacing)
        emit reopened();
}

void Household::closeInventory()
{
    // The recordset before the database it belongs to.
    m_rsItems.reset();
    m_dbInventory.reset();
}

std::unique_ptr<Database> Household::openCatalogue() const
{
    return Database::open(m_dataFolder + CatalogueFileName);
}

void Household::freeInventoryLocks()
{
    trapDb([this] {
        if (m_dbInventory)
            m_dbInventory->freeLocks();
    });
}

QString Household::fileDialogFolder() const
{
    return m_lastChosenFolder.isEmpty() ? m_dataFolder : m_lastChosenFolder;
}

void Household::rememberChosenFile(const QString &path)
{
    if (!path.isEmpty())
        m_lastChosenFolder = QFileInfo(path).absolutePath();
}

// Replaces the damaged inventory file by a rebuilt one and goes on with it
// opened exclusively. The recordset of items is opened on the new file and
// put back on the item it showed, so the main window can carry on. It is
// opened even when there was none yet: the damage may have been met while
// it was being opened, and that step is not tried again.
void Household::repairInventory()
{
    const QString path = m_dataFolder + InventoryFileName;
    QVariant shownKey;
    if (m_rsItems) {
        try {
            if (m_rsItems->isOpen() && !m_rsItems->bof() && !m_rsItems->eof())
                shownKey = m_rsItems->value(QStringLiteral("iteid"));
        } catch (const DbError &) {
            // The damaged file may no longer give the row; the first item is shown instead.
        }
    }
    closeInventory();

    RepairReport report;
    try {
        report = repairDatabase(path, inventorySchemaSql());
        m_dbInventory = Database::open(path, OpenMode::Exclusive);
        m_rsItems = m_dbInventory->openRecordset(ItemsStatement, RecordsetType::Dynaset);
        if (m_rsItems->recordCount() > 0) {
            m_rsItems->moveFirst();
            if (shownKey.isValid()) {
                m_rsItems->findFirst(QStringLiteral("iteid = ?"), {shownKey});
                if (m_rsItems->noMatch())
                    m_rsItems->moveFirst();
            }
        }
    } catch (const DbError &error) {
        // Whoever held something of the old connection lets go of it before
        // a message lets the windows paint again, with or without a new one.
        emit reopened();
        // Never repair in a loop: a file that cannot be rebuilt is reported once.
        showGeneric(error);
        return;
    }
    emit reopened();

    // Tell the user: rows may have been lost, and the damaged copy is where
    // a deeper recovery would start.
    int recovered = 0;
    for (int n : report.rowsRecovered)
        recovered += n;
    prompts().message(QStringLiteral("The inventory database was damaged and has been repaired; %1 could be read "
                                     "back.  The damaged file was kept as '%2'.")
                          .arg(countText(recovered, QStringLiteral("record"), QStringLiteral("records")),
                               QFileInfo(report.damagedCopy).fileName()),
                      Prompts::Buttons::Ok, Prompts::Icon::Exclamation, QStringLiteral("Database Repaired"));
}

void Household::HandleDbError(const DbError &error)
{
    switch (error.number()) {
    case DbError::InUse:
        prompts().message(QStringLiteral("The database is in use.  You are attempting to run the non-network "
                                         "version in a network environment.  The program will exit."),
                          Prompts::Buttons::Ok, Prompts::Icon::None, QStringLiteral("Database File Already In Use"));
        prompts().endProgram(1);
        return;
    case DbError::NotDatabase:
        repairInventory();
        return;
    case DbError::RecordLockedEdit:
    case DbError::RecordLocked:
        m_lockRetry = true;
        ++m_lockRetryCount;
        if (m_lockRetryCount < 100)
            return;
        if (prompts().message(QStringLiteral("Could not update locked record.  Do you wish to try again?"),
                              Prompts::Buttons::YesNo, Prompts::Icon::None, QStringLiteral("Locked Record"))
            == Prompts::Answer::Yes) {
            m_lockRetryCount = 1;
            return;
        }
        prompts().endProgram(1);
        return;
    case DbError::DialogCancelled:
        // The caller finds no file chosen and skips its file.
        return;
    default:
        showGeneric(error);
        return;
    }
}

void Household::setShowsDisposed(bool shown)
{
    if (shown == m_showsDisposed)
        return;
    m_showsDisposed = shown;
    emit disposedShownChanged();
}
