#pragma once

#include "items/ItemAttachments.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

class Household;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The documents of the item shown in the main window: receipts, manuals,
// warranty cards and any other file that proves something about it. Files
// are copied into the data folder (never linked: the folder is the claim,
// whatever happens to the originals), opened with the desktop's program for
// their kind, described and removed. One instance for the run, modeless,
// owned by the main window, following the item it shows; like the photo
// strip it keeps each change at once and works on stored items only.
class frmDocuments : public QDialog {
    Q_OBJECT
public:
    // What the window asks of the main window about the record shown.
    struct RecordSide {
        // Whether "Receipt on File" is ticked.
        std::function<bool()> receiptTicked;
        // Ticks it, which turns the record to editing for Update.
        std::function<void()> tickReceipt;
    };
    frmDocuments(Household &household, QWidget *owner, RecordSide record);

    // Shows the stored item's documents; std::nullopt while an item is added
    // or none is shown.
    void showItem(std::optional<qint64> iteid, const QString &description);

    // Handlers (public so that tests can call them as the events would).
    void cmdAttach_Click();
    void cmdOpen_Click();
    void cmdRemove_Click();
    void cmdClose_Click();
    // Attaches these files with the kind and note chosen.
    void attachFiles(const QStringList &paths);
    // The chosen document's kind or note were changed.
    void detailsChanged();

    // The documents shown, in the table's order.
    const QList<AttachedFile> &documents() const { return m_documents; }

    QLabel *lblItem;
    QTableWidget *grdDocuments;
    QComboBox *cboKind;
    QLineEdit *txtNote;
    QPushButton *cmdAttach;
    QPushButton *cmdOpen;
    QPushButton *cmdRemove;
    QPushButton *cmdClose;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void reload(qint64 chosenFileid = 0);
    void showChosen();
    void enableButtons();
    int chosenRow() const;

    Household &m_household;
    RecordSide m_record;
    std::optional<qint64> m_iteid;
    QList<AttachedFile> m_documents;
    // Set while the kind and note boxes are filled from the chosen row.
    bool m_filling = false;
};
