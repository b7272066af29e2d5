#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <vector>

class Household;
class ItemListModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The Item List: every item in a table, sorted by a click on a heading
// (again for the other way), narrowed as the user types words into the
// search box; below, how many items are shown and their total value. Enter
// or a double click shows the item in the main window. Modeless and one at
// a time; deleted when closed. Each activation reads the list again, so it
// follows what was changed in the other windows meanwhile.
class frmItemList : public QDialog {
    Q_OBJECT
public:
    // Shows the item with the key in the owner; false when it could not.
    using ShowItem = std::function<bool(qint64 key)>;

    // The View menu's entry: creates and loads the window for the
    // household's items, or brings the open one forward. A chosen item is
    // shown through showItem, and the owner brought forward when it was.
    static frmItemList *showItemList(Household &household, QWidget *owner, ShowItem showItem);
    static frmItemList *instance();
    ~frmItemList() override;

    // Handlers (public so that tests can call them as the events would).
    void Form_Load();
    void Form_Activate();
    void txtSearch_Change();
    void chkToComplete_Click();
    // Shows the item of the current row in the main window.
    void grdItems_DblClick();
    void cmdShow_Click();
    void cmdClose_Click();

    // "12 items, total value $1,234.00" or "3 of 12 items, ...".
    QString summaryText() const;
    ItemListModel *model() const { return m_model; }

    QLineEdit *txtSearch = nullptr;
    // Only the items made from photos whose value is still to be typed.
    QCheckBox *chkToComplete = nullptr;
    QTableView *grdItems = nullptr;
    QLabel *lblSummary = nullptr;
    QPushButton *cmdShow = nullptr;
    QPushButton *cmdClose = nullptr;

    static inline const QString Caption = QStringLiteral("Item List");

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    frmItemList(Household &household, QWidget *owner, ShowItem showItem);
    void showSummary();
    // Puts the current row on the item with the key, else on the first row,
    // and scrolls to it when showRow.
    void selectKey(qint64 key, bool showRow = true);
    // Shares the view's width among the columns (m_columnWidths).
    void shareColumnWidths();
    qint64 currentKey() const;

    Household &m_household;
    QPointer<QWidget> m_owner;
    ShowItem m_showItem;
    ItemListModel *m_model = nullptr;
    qint64 m_currentKey = 0; // the item last chosen, kept across new orders and searches
    // Each column's own width, by which it shares a wider view; and whether
    // the widths are being shared out (not dragged by the user).
    std::vector<int> m_columnWidths;
    bool m_sharing = false;
};
