#include "program/HandleDbError.h"

#include "data/Inventory.h"
#include "data/Repair.h"
#include "program/Globals.h"
#include "program/Prompts.h"

#include <QFileInfo>

namespace {

void showGeneric(const DbError &error)
{
    prompts().message(QString::number(error.number()) + QStringLiteral("  ") + error.text(),
                      Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
}

// Replaces the damaged inventory file by a rebuilt one and goes on with it
// opened exclusively. The recordset of items is opened on the new file and
// put back on the item it showed, so the main window can carry on. It is
// opened even when there was none yet: the damage may have been met while
// it was being opened, and that step is not tried again.
void repairInventory()
{
    const QString path = DataFolder + InventoryFileName;
    QVariant shownKey;
    if (rsItems) {
        try {
            if (rsItems->isOpen() && !rsItems->bof() && !rsItems->eof())
                shownKey = rsItems->value(QStringLiteral("iteid"));
        } catch (const DbError &) {
            // The damaged file may no longer give the row; the first item is shown instead.
        }
    }
    rsItems.reset();
    dbInventory.reset();

    RepairReport report;
    try {
        report = repairDatabase(path, inventorySchemaSql());
        dbInventory = Database::open(path, OpenMode::Exclusive);
        rsItems = dbInventory->openRecordset(ItemsStatement, RecordsetType::Dynaset);
        if (rsItems->recordCount() > 0) {
            rsItems->moveFirst();
            if (shownKey.isValid()) {
                rsItems->findFirst(QStringLiteral("iteid = ?"), {shownKey});
                if (rsItems->noMatch())
                    rsItems->moveFirst();
            }
        }
    } catch (const DbError &error) {
        // Never repair in a loop: a file that cannot be rebuilt is reported once.
        showGeneric(error);
        return;
    }

    // Tell the user: rows may have been lost, and the damaged copy is where
    // a deeper recovery would start.
    int recovered = 0;
    for (int n : report.rowsRecovered)
        recovered += n;
    prompts().message(QStringLiteral("The inventory database was damaged and has been repaired; %1 records "
                                     "could be read back.  The damaged file was kept as '%2'.")
                          .arg(recovered)
                          .arg(QFileInfo(report.damagedCopy).fileName()),
                      Prompts::Buttons::Ok, Prompts::Icon::Exclamation, QStringLiteral("Database Repaired"));
}

} // namespace

void HandleDbError(const DbError &error)
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
        LockRetry = true;
        ++LockRetryCount;
        if (LockRetryCount < 100)
            return;
        if (prompts().message(QStringLiteral("Could not update locked record.  Do you wish to try again?"),
                              Prompts::Buttons::YesNo, Prompts::Icon::None, QStringLiteral("Locked Record"))
            == Prompts::Answer::Yes) {
            LockRetryCount = 1;
            return;
        }
        prompts().endProgram(1);
        return;
    case DbError::DialogCancelled:
        KeepExistingFile = true;
        return;
    default:
        showGeneric(error);
        return;
    }
}
