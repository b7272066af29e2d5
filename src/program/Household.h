#pragma once

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "program/ItemFiles.h"

#include <QObject>
#include <QString>
#include <memory>
#include <utility>

// The open inventory of one data folder: the folder, the inventory database
// dbInventory with the item recordset rsItems, the report field catalogue,
// the items' files, and the one database error handler. Each program makes
// one (the main program, the report runner, the setup program where it
// opens an inventory) and hands it to the windows and procedures that work
// on the inventory when they are made; nothing reaches it any other way.
//
// The handler may replace dbInventory and rsItems (a repair opens new
// ones), and the item editor opens rsItems again after an import: whoever
// keeps something that belongs to them (a recordset, a model reading the
// database) listens to reopened() and lets go of the old one there.
class Household : public QObject {
    Q_OBJECT
public:
    Household();
    // A household of the data folder (see setDataFolder), not yet opened.
    explicit Household(const QString &dataFolder);
    // Closes rsItems and then dbInventory.
    ~Household() override;
    Household(const Household &) = delete;
    Household &operator=(const Household &) = delete;

    // The data folder: always ends with "/" once set; empty before.
    const QString &DataFolder() const { return m_dataFolder; }
    // folder as given (relative folders stay relative), with a "/" appended
    // when it has none.
    void setDataFolder(const QString &folder);
    // The help file of the data folder; empty before a folder is set.
    QString HelpFilePath() const;

    // The inventory database and the item recordset: null until opened, and
    // null again after a repair that failed. The pointers are valid until
    // the next reopened() or close.
    Database *dbInventory() const { return m_dbInventory.get(); }
    Recordset *rsItems() const { return m_rsItems.get(); }
    // The same for a step under the error trap: a missing one throws 3420,
    // which the trap reports like any use of a closed object.
    Database &inventory() const;
    Recordset &items() const;

    // Opens the data folder's inventory database (shared) as dbInventory.
    // One already open is closed with its rsItems, and reopened() tells so.
    // Throws DbError; dbInventory stays as it was then.
    void openInventory();
    // Opens rsItems on dbInventory: every item in description order. One
    // already open is replaced, and reopened() tells so. Throws DbError.
    void openItems();
    // Closes rsItems and dbInventory.
    void closeInventory();

    // A new connection to the data folder's report field catalogue, for
    // the caller to own. Throws DbError.
    std::unique_ptr<Database> openCatalogue() const;

    // The items' files of the data folder.
    ItemFiles itemFiles() const { return ItemFiles(m_dataFolder); }

    // The one database error handler. Called with the failure of a trapped
    // step; when it returns, the caller goes on with its next step. By the
    // number:
    //   3045        in-use message, then the program ends;
    //   3049        the inventory database is repaired (the damaged file
    //               kept aside), reopened exclusively as dbInventory, with
    //               rsItems reopened at the item it stood on; reopened();
    //   3168, 3260  one more try of the lock-retry loop; after 99 silent
    //               tries the "Locked Record" question: Yes gives 99 more,
    //               No ends the program;
    //   32755       a cancelled file dialog: nothing to tell, the caller
    //               finds no file chosen;
    //   other       "number, two blanks, text" in a message box.
    void HandleDbError(const DbError &error);

    // Runs one database step under the error trap: a DbError goes to
    // HandleDbError and the caller continues with its next statement.
    // Nothing else is caught.
    template <class Step>
    void trapDb(Step &&step)
    {
        try {
            std::forward<Step>(step)();
        } catch (const DbError &error) {
            HandleDbError(error);
        }
    }

    // The lock-retry protocol around one record write or delete: the write
    // is repeated while the handler asks for another try. The caller then
    // frees the engine's locks.
    template <class Write>
    void withLockRetry(Write &&write)
    {
        m_lockRetryCount = 0;
        m_lockRetry = true;
        while (m_lockRetry) {
            m_lockRetry = false;
            trapDb(write);
        }
    }

    // Asks dbInventory's engine to free its locks, under the error trap: the
    // call after every record write and delete, and before a recordset is
    // let go. Nothing when no inventory is open.
    void freeInventoryLocks();

    // The folder a file dialog opens in: where the user last chose a file
    // in this run, else the data folder.
    QString fileDialogFolder() const;
    // A file chosen in a dialog: its folder is the next dialog's.
    void rememberChosenFile(const QString &path);

    // Whether items that left the household on purpose (sold, given away,
    // thrown away) are in the item list, the reports' listings and totals and
    // the claim's choice of items. Not by default, and for this run only:
    // the program keeps no settings between runs.
    bool showsDisposed() const { return m_showsDisposed; }
    // Tells disposedShownChanged() when the choice changes.
    void setShowsDisposed(bool shown);

signals:
    // dbInventory or rsItems was replaced (a repair, the items read again).
    void reopened();
    // Categories (kind 1) or locations (kind 2) were added, renamed or
    // removed: lists that show them read them again.
    void codeListChanged(int kind);
    // showsDisposed() changed: lists of items read them again.
    void disposedShownChanged();

private:
    void repairInventory();

    QString m_dataFolder;
    std::unique_ptr<Database> m_dbInventory;
    std::unique_ptr<Recordset> m_rsItems;
    bool m_lockRetry = false;
    int m_lockRetryCount = 0;
    QString m_lastChosenFolder;
    bool m_showsDisposed = false;
};
