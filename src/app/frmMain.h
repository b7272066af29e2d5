#pragma once

#include "dates/calendar/DateBox.h"
#include "photoitems/PhotoInbox.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class AutomaticCopies;
class ElasticContainer;
class Household;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class RecordEditor;
class frmImage;

// The main window: the program's first and last window. Its load opens the
// household's inventory, its menus open every other window (each handed the
// household), its unload ends the program.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // household: the program's one household, opened by Form_Load; it must
    // outlive the window. arguments: the program's command-line arguments
    // without its own name.
    frmMain(Household &household, const QStringList &arguments, QWidget *parent = nullptr);
    ~frmMain() override;

    // The windows that the main window closes when it unloads, in that order.
    enum class Secondary {
        Picture,
        CodesMaint,
        Output,
        About,
        Designer,
        ItemList,
        Documents,
        Warranty,
        Warranties,
        Copies,
        CopyRestore,
        Count
    };
    void setSecondaryWindow(Secondary which, QWidget *window);
    QWidget *secondaryWindow(Secondary which) const;

    // Handlers (public so that tests can call them as the events would).
    // Form_Load ends the program (through the prompts) when there is no database.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void mnuExit_Click();
    // File > "&Back Up Inventory..." (src/backup) and Reports > "Insurance
    // Cl&aim..." (src/claim).
    void mnuBackup_Click();
    void mnuClaim_Click();
    void mnuReadiness_Click();
    void mnuMaint_Click(int index);
    void mnuRptAll_Click(int index);
    void mnuRptValue_Click(int index);
    void mnuRptSerial_Click();
    void mnuCustom_Click();
    void mnuHelp_Click(int index);
    void mnuAbout_Click();

    // Items in bulk (frmMain_Transfer.cpp, frmMain_ItemList.cpp).
    void mnuImport_Click();
    void mnuExport_Click();
    void mnuAddFromPhotos_Click();
    // The photo inbox (frmMain_PhotoInbox.cpp): File > "Photo I&nbox
    // Folder..." chooses it; each start and activation offers its new
    // photos, once a run, as items, and moves those taken to its done folder.
    void mnuPhotoInbox_Click();
    void offerPhotoInbox();
    void mnuItemList_Click();
    // Shows the item with the key (for the item list); false, after telling
    // the user, when an edit or addition is under way or the item is gone.
    bool ShowItemByKey(qint64 key);
    // After items were stored by an import: reads rsItems again, so the new
    // items are in it, and shows the item with the key.
    void ShowImportedItems(qint64 key);
    // Says so and gives true when an item is being changed or added, so a
    // change in bulk (then: "import items") must wait.
    bool refusedWhileChanging(const QString &then, const QString &caption);
    // Back in the main window after a change in bulk: the first item added
    // shown, the window in front with the focus in the form.
    void comeBackAfterBulkChange(std::optional<qint64> firstAdded);

    // Record form (frmMain_RecordForm.cpp).
    void LoadItem();
    // Writes the form into the record begun by addNew or edit and stores it.
    // True when the record was stored; false when storing failed (already
    // reported), in which case the form still holds what was typed.
    bool SaveItem();
    void ClearItem();
    void DisableFields();
    void EnableFields();

    // Record commands (frmMain_Commands.cpp).
    // Turns browsing into editing when a field of a shown item changes.
    void MakingChange();
    bool ItemDescEntered();
    void ShowBrowseButtons();
    void ShowEditButtons();
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdAddNew_Click();
    void cmdUpdate_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdFind_Click();

    // Item pictures (frmMain_Picture.cpp).
    // Shows the picture window with the shown item's picture, or with the
    // picture loaded or pasted for the item being edited or added.
    void cmdPicture_Click();
    // Files dropped on the form from a file manager become photos of the
    // shown item, in the picture window's strip.
    void dropPhotoFiles(const QStringList &paths);

    // Item documents (frmMain_Documents.cpp): View > Documents, the window
    // of the shown item's receipts, manuals and warranty cards.
    void mnuDocuments_Click();

    // Warranty and disposal (frmMain_Warranty.cpp): View > Warranty and
    // Disposal, the window of the shown item's warranty and of its leaving
    // the household; View > Warranties, the warranties ending soon; and
    // View > Show Disposed Items, the choice that brings disposed items back
    // into the lists, totals and the claim.
    void mnuWarranty_Click();
    void mnuWarranties_Click();
    void mnuShowDisposed_Click(bool shown);

    // Automatic copies (frmMain_Copies.cpp): File > Automatic Copies, the
    // window of the copies folder; File > Restore from Copy, a version
    // restored into a new folder. The copies that make themselves start
    // with the inventory and the copy on close ends the program.
    void mnuCopies_Click();
    void mnuRestoreCopy_Click();
    // The household's automatic copies, once the inventory is open.
    AutomaticCopies *automaticCopies() const { return m_copies.get(); }

    // Field entry (frmMain_FieldEntry.cpp). "LostFocus" is the
    // focus moving to another control of this window; switching windows
    // is not leaving a field.
    void txtItem_Change();
    void txtManufact_Change();
    void txtModel_Change();
    void txtSerNo_Change();
    void dcPurchDate_Change();
    void txtPurchPrice_Change();
    void txtPurchPrice_GotFocus();
    void txtPurchPrice_LostFocus();
    void txtEstValue_Change();
    void txtEstValue_GotFocus();
    void txtEstValue_LostFocus();
    void txtQuantity_Change();
    void txtQuantity_GotFocus();
    void txtQuantity_LostFocus();
    void txtTotValue_GotFocus();
    void chkReceipt_Click();
    void txtWherePurch_Change();
    void txtMisc1_Change();
    void txtNotes_Change();
    void cmbCat_Change();
    void cmbCat_Click();
    void cmbCat_KeyDown(int key); // key: a Qt::Key
    void cmbLoc_Change();
    void cmbLoc_Click();
    void cmbLoc_KeyDown(int key);
    void ComputeTotal();

    // The record form's states (browsing, editing, adding) and its commands.
    RecordEditor &editor() { return *m_editor; }
    const RecordEditor &editor() const { return *m_editor; }

    Household &household() const { return m_household; }

    // The drop-down lists are read again at the next activation: set when
    // the maintenance window (or an import) may have changed the codes.
    bool CatListChanged = true;
    bool LocListChanged = true;
    // A picture was loaded or pasted for the item being edited or added and
    // is not written yet.
    bool PictureChanged = false;

    // The form's controls, named as the program knows them.
    QLineEdit *txtItem = nullptr;
    QLineEdit *txtManufact = nullptr;
    QLineEdit *txtModel = nullptr;
    QLineEdit *txtSerNo = nullptr;
    DateBox *dcPurchDate = nullptr;
    QLineEdit *txtPurchPrice = nullptr;
    QLineEdit *txtEstValue = nullptr;
    QLineEdit *txtQuantity = nullptr;
    QLineEdit *txtTotValue = nullptr;
    QCheckBox *chkReceipt = nullptr;
    QLineEdit *txtWherePurch = nullptr;
    QLineEdit *txtMisc1 = nullptr;
    QComboBox *cmbCat = nullptr;
    QComboBox *cmbLoc = nullptr;
    QPlainTextEdit *txtNotes = nullptr;

    // The command buttons under the form.
    QPushButton *cmdFirst = nullptr;
    QPushButton *cmdPrevious = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdLast = nullptr;
    QPushButton *cmdAddNew = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdUpdate = nullptr;
    QPushButton *cmdPicture = nullptr;

    // Menu items, by the names the program gives them.
    QAction *mnuExit = nullptr;
    QAction *mnuBackup = nullptr;
    QAction *mnuClaim = nullptr;
    QAction *mnuReadiness = nullptr;
    std::array<QAction *, 3> mnuMaint{};    // index 1, 2 at [1], [2]; [0] unused
    std::array<QAction *, 4> mnuRptAll{};   // 1..3
    std::array<QAction *, 3> mnuRptValue{}; // 1..2
    QAction *mnuRptSerial = nullptr;
    QAction *mnuCustom = nullptr;
    std::array<QAction *, 4> mnuHelp{}; // 1..3
    QAction *mnuAbout = nullptr;
    QMenu *mnuFileMenu = nullptr;
    QMenu *mnuMaintain = nullptr;
    QMenu *mnuReportsMenu = nullptr;
    QMenu *mnuHelpmenu = nullptr;
    QAction *mnuImport = nullptr;
    QAction *mnuExport = nullptr;
    QAction *mnuAddFromPhotos = nullptr;
    QAction *mnuPhotoInbox = nullptr;
    QMenu *mnuViewMenu = nullptr;
    QAction *mnuItemList = nullptr;
    QAction *mnuDocuments = nullptr;
    QAction *mnuWarranty = nullptr;
    QAction *mnuWarranties = nullptr;
    QAction *mnuShowDisposed = nullptr;
    QAction *mnuCopies = nullptr;
    QAction *mnuRestoreCopy = nullptr;

    ElasticContainer *Elastic1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildTransferMenu();   // frmMain_Transfer.cpp
    void buildPhotoInboxMenu(); // frmMain_PhotoInbox.cpp
    // Makes items of the photos of the inbox and moves those taken in.
    void takeInboxPhotos(const QStringList &photos);
    void buildViewMenu();      // frmMain_ItemList.cpp
    void buildDocumentsMenu(); // frmMain_Documents.cpp
    // The documents window follows the form as the picture window does.
    void followShownItemDocuments(bool showsRecord);
    void buildWarrantyMenu(); // frmMain_Warranty.cpp
    void buildCopiesMenu();   // frmMain_Copies.cpp
    // After the inventory opened: the copies that make themselves begin.
    void startAutomaticCopies();
    // Ends the program, once the copy due at its end (if any) is made.
    void quitAfterClosingCopy();
    // The warranty window follows the form as the documents window does.
    void followShownItemWarranty(bool showsRecord);
    // The key and description of the item the form shows, for the windows
    // beside it; no key when it shows none (showsRecord false: a new item
    // being added).
    struct ShownItem {
        std::optional<qint64> iteid;
        QString description;
    };
    ShownItem shownItem(bool showsRecord); // frmMain_ShowItem.cpp
    // Opens rsItems again on the whole table (items added by an import or
    // by another program are then in it) and puts it on the key, else first.
    void reopenItems(qint64 key);
    void buildRecordForm();     // frmMain_RecordForm.cpp
    void buildCommandButtons(); // frmMain_Commands.cpp
    void wireFieldEntry();      // frmMain_FieldEntry.cpp
    // The fifteen entry fields in the order they are switched on and off.
    std::vector<QWidget *> entryFields() const;
    void fillCodeList(QComboBox *list, const QString &statement, const QString &descColumn, const QString &idColumn);
    void openInventory();
    void reportUnopenedInventory();
    // The data folder holds no inventory: one message, then the program ends.
    void reportMissingInventory();

    // Picture steps of the record form (frmMain_Picture.cpp).
    // The picture window, once it has been opened; else null.
    frmImage *pictureWindow() const;
    // Shows the current record's picture in window; the empty picture when
    // there is no current record.
    void showCurrentItemPicture(frmImage &window);
    // The picture step of LoadItem and ClearItem: a picture not yet written
    // is dropped, and the window, when it is shown, follows the form.
    void followShownItem(bool showsRecord);
    // The picture step of SaveItem, once the record is stored: writes the
    // new picture as the item's picture file.
    void writeNewPicture(qint64 iteid);

    // Field entry helpers (frmMain_FieldEntry.cpp).
    // Shows a refusal of the field's entry and puts the focus back in it.
    void refuseEntry(QLineEdit *field, const QString &message);
    // The checks and formatting of leaving a money field; false when refused.
    bool leaveMoneyField(QLineEdit *field);
    // The number fields' refusal of their text: the message, or nothing
    // when the field may be left (an empty field may).
    std::optional<QString> numberRefusal(const QLineEdit *field) const;
    // The last check before a record is written. The focus may have reached
    // Update or Add Another without the user leaving a field the usual way
    // (through Cancel, or from another window), so each number field and the
    // purchase date are checked once more and the total is worked out from
    // what is shown. False, after the field's message with the focus back in
    // it, when something would be stored other than what is shown.
    bool fieldsReadyToStore();

    Household &m_household;
    std::unique_ptr<RecordEditor> m_editor;
    QStringList m_arguments;
    std::array<QPointer<QWidget>, size_t(Secondary::Count)> m_secondary;
    bool m_unloaded = false;
    std::unique_ptr<AutomaticCopies> m_copies;
    // The inbox looked at, the photos it offered this run, and whether it
    // is asking now.
    std::optional<PhotoInbox> m_inbox;
    QStringList m_inboxOffered;
    bool m_inboxAsking = false;
    // Looks again once the photos still being written may be done.
    QTimer *m_inboxLookAgain = nullptr;
};
