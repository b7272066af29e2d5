#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <vector>

class ElasticContainer;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;

// The main window: the program's first and last window. Its load opens the
// inventory, its menus open every other window, its unload ends the program.
// The record form that fills it is built and bound in src/items.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // arguments: the program's command-line arguments without its own name.
    explicit frmMain(const QStringList &arguments, QWidget *parent = nullptr);
    ~frmMain() override;

    // The windows that the main window closes when it unloads, in that order.
    enum class Secondary { Picture, CodesMaint, Output, About, Designer, Count };
    void setSecondaryWindow(Secondary which, QWidget *window);
    QWidget *secondaryWindow(Secondary which) const;

    // Handlers (public so that tests can call them as the events would).
    // Form_Load ends the program (through the prompts) when there is no database.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void mnuExit_Click();
    void mnuHelp_Click(int index);
    void mnuAbout_Click();

    // Record form (src/items/frmMain_RecordForm.cpp).
    void LoadItem();
    void ClearItem();
    void DisableFields();
    void EnableFields();

    // State of the record form.
    bool Changing = false;
    bool Adding = false;

    // The form's controls, named as the program knows them.
    QLineEdit *txtItem = nullptr;
    QLineEdit *txtManufact = nullptr;
    QLineEdit *txtModel = nullptr;
    QLineEdit *txtSerNo = nullptr;
    QLineEdit *dcPurchDate = nullptr;
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

    // Menu items, by the names the program gives them.
    QAction *mnuExit = nullptr;
    std::array<QAction *, 3> mnuMaint{};   // index 1, 2 at [1], [2]; [0] unused
    std::array<QAction *, 4> mnuRptAll{};  // 1..3
    std::array<QAction *, 3> mnuRptValue{}; // 1..2
    QAction *mnuRptSerial = nullptr;
    QAction *mnuCustom = nullptr;
    std::array<QAction *, 4> mnuHelp{};    // 1..3
    QAction *mnuAbout = nullptr;
    QMenu *mnuFileMenu = nullptr;
    QMenu *mnuMaintain = nullptr;
    QMenu *mnuReportsMenu = nullptr;
    QMenu *mnuHelpmenu = nullptr;

    ElasticContainer *Elastic1 = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildRecordForm();      // src/items/frmMain_RecordForm.cpp
    // The fifteen entry fields in the order they are switched on and off.
    std::vector<QWidget *> entryFields() const;
    void fillCodeList(QComboBox *list, const QString &statement, const QString &descColumn,
                      const QString &idColumn);
    void openInventory();
    void reportUnopenedInventory();

    QStringList m_arguments;
    std::array<QPointer<QWidget>, size_t(Secondary::Count)> m_secondary;
    bool m_unloaded = false;
};
