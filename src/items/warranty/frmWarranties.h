#pragma once

#include "items/ItemAttachments.h"
#include "items/ItemStatus.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <functional>

class Household;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// The warranties that end within a chosen number of days, or have ended,
// with the documents of the chosen item (the warranty card, the receipt)
// to open, and Show Item to bring it up in the main window. Modeless, one
// at a time, deleted when closed; each activation reads the list again, so
// it follows what was changed in the other windows meanwhile.
class frmWarranties : public QDialog {
    Q_OBJECT
public:
    // Shows the item with the key in the owner; false when it could not.
    using ShowItem = std::function<bool(qint64 key)>;

    // The View menu's entry: creates the window, or brings the open one forward.
    static frmWarranties *showWarranties(Household &household, QWidget *owner, ShowItem showItem);
    static frmWarranties *instance();

    // Handlers (public so that tests can call them as the events would).
    void Form_Activate();
    void txtDays_Change();
    void grdWarranties_Click();
    void cmdOpenDocument_Click();
    void cmdShow_Click();
    void cmdClose_Click();

    // The warranties shown, in the table's order, and the chosen one's documents.
    const QList<ItemStatus::Ending> &warranties() const { return m_warranties; }
    const QList<AttachedFile> &documents() const { return m_documents; }

    QSpinBox *txtDays;
    QTableWidget *grdWarranties;
    QLabel *lblDocuments;
    QTableWidget *grdDocuments;
    QPushButton *cmdOpenDocument;
    QPushButton *cmdShow;
    QPushButton *cmdClose;

    // The number of days the window starts with.
    static constexpr int DefaultDays = 90;

protected:
    void changeEvent(QEvent *event) override;

private:
    frmWarranties(Household &household, QWidget *owner, ShowItem showItem);
    // Reads the warranties again, keeping the chosen item chosen.
    void reload();
    void showDocuments();
    int chosenRow(const QTableWidget *table) const;

    Household &m_household;
    QPointer<QWidget> m_owner;
    ShowItem m_showItem;
    QList<ItemStatus::Ending> m_warranties;
    QList<AttachedFile> m_documents;
};
