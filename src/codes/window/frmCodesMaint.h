#pragma once

#include <QDialog>
#include <QString>
#include <QVariant>
#include <memory>

struct CodeList;
class ElasticContainer;
class Household;
class QLabel;
class QLineEdit;
class QPushButton;
class RecordEditor;
class Recordset;

// The window that maintains the category list or the location list, as
// its CodeListKind says when it is opened. Modeless and one at a time; it is
// deleted when closed, so instance() is null again then.
//
// Its recordset rsCodes stays open while the window is, and is read only at
// load: codes added here are reached after all the others until the window
// is opened again.
class frmCodesMaint : public QDialog {
    Q_OBJECT
public:
    // The Maintain menu's entry: creates and loads the window for the
    // household's inventory, owned by mainWindow (which may be null), for
    // the list CodeListKind names (1 categories, 2 locations). When the
    // window is already open for that list it is only brought forward; when
    // it is open for the other list, an edit in progress is cancelled and
    // the window is loaded again for the list asked for.
    static frmCodesMaint *showCodesMaint(Household &household, QWidget *mainWindow, qint16 CodeListKind);
    // The open maintenance window, or nullptr.
    static frmCodesMaint *instance();
    ~frmCodesMaint() override;

    // The list the window was loaded for: 1, 2, or 0 when CodeListKind was
    // neither (the window then shows nothing and changes nothing).
    qint16 kind() const;

    // Handlers (public so that tests can call them as the events would).
    void Form_Load();
    void Form_Activate();
    // Closing the window, by OK or by its frame: frees the engine's locks and
    // closes rsCodes. What was typed but not updated is not saved.
    void Form_Unload();
    void txtDesc_Change();
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdAddNew_Click();
    void cmdUpdate_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdFind_Click();
    void cmdOK_Click();

    // Characters the user may type into txtDesc; a longer stored
    // description is still shown whole.
    static constexpr int DescriptionLimit = 50;

    // The window's states (browsing, editing, adding) and its commands:
    // changing() while code fills or empties txtDesc, and from the user's
    // first change of a shown description until Update or Cancel.
    RecordEditor &editor() { return *m_editor; }
    const RecordEditor &editor() const { return *m_editor; }

    // Null until loaded for a list, and after the window is unloaded.
    std::unique_ptr<Recordset> rsCodes;

    QLabel *lblDesc;
    QLineEdit *txtDesc;
    QPushButton *cmdFirst;
    QPushButton *cmdPrevious;
    QPushButton *cmdNext;
    QPushButton *cmdLast;
    QPushButton *cmdAddNew;
    QPushButton *cmdDelete;
    QPushButton *cmdCancel;
    QPushButton *cmdFind;
    QPushButton *cmdUpdate;
    QPushButton *cmdOK;

    ElasticContainer *Elastic1;

public slots:
    // Escape cancels an edit; it does not close the window.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    frmCodesMaint(Household &household, QWidget *parent);

    void ShowRecord();
    void ClearDesc();
    // True when the current record was stored; false after a reported
    // failure, with the record still begun so the typed text stays on screen.
    bool SaveRecord();
    // Delete's removal of the code with key id, unless an item uses it;
    // true when it was deleted and the next code is to be shown.
    bool removeCode(const QVariant &id);
    void EnableDesc();
    void DisableDesc();
    bool DescEntered();
    void BeginEdit();
    void ShowEditButtons();
    void ShowBrowseButtons();

    // rsCodes, or a failure (3420) for the error trap when it is not open.
    Recordset &codes();
    // The number of codes; 0 also when there is no open recordset.
    int codeCount();
    // Opens rsCodes again, at the code last shown, when a repair of the
    // inventory closed it.
    void followRepair();
    void openCodes();
    void releaseCodes();
    // Reads the list again and shows the code with key id (else the first),
    // for when the recordset no longer agrees with the table.
    void reopenCodesAt(const QVariant &id);
    void setHelpTopics(int topic);

    Household &m_household;
    std::unique_ptr<RecordEditor> m_editor;
    // The list asked for when the window was last shown.
    qint16 m_codeListKind = 0;
    const CodeList *m_list = nullptr;
    QVariant m_shownId; // the key of the code last shown
};
