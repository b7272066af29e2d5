// The main window's side of warranties and disposals: View > Warranty and
// Disposal (the window following the shown item), View > Warranties, and
// the choice that shows disposed items again.
#include "app/frmMain.h"
#include "items/warranty/frmWarranties.h"
#include "items/warranty/frmWarranty.h"
#include "program/Household.h"
#include "records/RecordEditor.h"

#include <QAction>
#include <QMenu>

void frmMain::buildWarrantyMenu()
{
    mnuWarranty = mnuViewMenu->addAction(QStringLiteral("Warranty and Dis&posal..."));
    mnuWarranty->setObjectName(QStringLiteral("mnuWarranty"));
    connect(mnuWarranty, &QAction::triggered, this, &frmMain::mnuWarranty_Click);
    mnuWarranties = mnuViewMenu->addAction(QStringLiteral("&Warranties..."));
    mnuWarranties->setObjectName(QStringLiteral("mnuWarranties"));
    connect(mnuWarranties, &QAction::triggered, this, &frmMain::mnuWarranties_Click);
    mnuViewMenu->addSeparator();
    // Items that left the household stay out of the item list, the reports
    // and the claim until this is ticked; for this run only.
    mnuShowDisposed = mnuViewMenu->addAction(QStringLiteral("Show Disposed Ite&ms"));
    mnuShowDisposed->setObjectName(QStringLiteral("mnuShowDisposed"));
    mnuShowDisposed->setCheckable(true);
    mnuShowDisposed->setChecked(m_household.showsDisposed());
    connect(mnuShowDisposed, &QAction::triggered, this, &frmMain::mnuShowDisposed_Click);
}

void frmMain::mnuWarranty_Click()
{
    auto *window = qobject_cast<frmWarranty *>(secondaryWindow(Secondary::Warranty));
    if (!window) {
        window = new frmWarranty(m_household, this);
        setSecondaryWindow(Secondary::Warranty, window);
    }
    followShownItemWarranty(!editor().adding());
    window->show();
    window->raise();
    window->activateWindow();
}

void frmMain::followShownItemWarranty(bool showsRecord)
{
    auto *window = qobject_cast<frmWarranty *>(secondaryWindow(Secondary::Warranty));
    if (!window)
        return;
    const ShownItem shown = shownItem(showsRecord);
    window->showItem(shown.iteid, shown.description);
}

void frmMain::mnuWarranties_Click()
{
    setSecondaryWindow(Secondary::Warranties, frmWarranties::showWarranties(m_household, this, [this](qint64 key) {
                           return ShowItemByKey(key);
                       }));
}

void frmMain::mnuShowDisposed_Click(bool shown)
{
    m_household.setShowsDisposed(shown);
}
