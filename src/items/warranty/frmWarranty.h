#pragma once

#include "items/ItemStatus.h"

#include <QDialog>
#include <optional>

class DateBox;
class Household;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The warranty of the item shown in the main window (the day it ends, or
// for life, and what it covers) and its leaving the household (the day and
// how). The item form keeps its layout, so these live here: one instance
// for the run, modeless, owned by the main window, following the item it
// shows, for stored items only. Save stores what is shown; moving to
// another item stores what was changed first, as Update would.
class frmWarranty : public QDialog {
    Q_OBJECT
public:
    frmWarranty(Household &household, QWidget *owner);

    // Shows the stored item's values; std::nullopt while an item is added or
    // none is shown. Changes not yet saved of the item shown before are
    // stored first.
    void showItem(std::optional<qint64> iteid, const QString &description);

    // Handlers (public so that tests can call them as the events would).
    // Stores what the window shows; false, after saying why, when it cannot.
    bool cmdSave_Click();
    void cmdClose_Click();
    void chkLifetime_Click();
    void valuesChanged();

    // What the boxes hold now; std::nullopt when a date box holds no date.
    std::optional<WarrantyDisposal> shownValues() const;
    bool changed() const { return m_changed; }
    // Forgets what was typed and not saved: the program is ending, and an
    // edit in progress is dropped then, as the item form's is.
    void dropChanges() { m_changed = false; }

    QLabel *lblItem;
    DateBox *dcWarrantyEnds;
    QCheckBox *chkLifetime;
    QPlainTextEdit *txtWarrantyDetails;
    DateBox *dcDisposed;
    QComboBox *cboDisposedHow;
    QPushButton *cmdSave;
    QPushButton *cmdClose;

public slots:
    void reject() override;

private:
    void fill(const WarrantyDisposal &values);
    void enableFields();

    Household &m_household;
    std::optional<qint64> m_iteid;
    bool m_changed = false;
    bool m_filling = false;
};
