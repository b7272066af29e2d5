// The main window's side of the automatic copies: File > Automatic Copies
// and File > Restore from Copy, the copies that make themselves while the
// inventory is open, and the copy made when the program ends.
#include "app/frmMain.h"
#include "copies/window/AutomaticCopies.h"
#include "copies/window/frmCopies.h"
#include "copies/window/frmCopyRestore.h"
#include "program/Household.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTimer>

void frmMain::buildCopiesMenu()
{
    // Beside the one-file backup, above the separator before the entries
    // that move items in bulk.
    QAction *after = mnuFileMenu->actions().value(mnuFileMenu->actions().indexOf(mnuBackup) + 1);
    mnuCopies = new QAction(QStringLiteral("Automatic &Copies..."), this);
    mnuCopies->setObjectName(QStringLiteral("mnuCopies"));
    mnuRestoreCopy = new QAction(QStringLiteral("&Restore from Copy..."), this);
    mnuRestoreCopy->setObjectName(QStringLiteral("mnuRestoreCopy"));
    mnuFileMenu->insertAction(after, mnuCopies);
    mnuFileMenu->insertAction(after, mnuRestoreCopy);
    connect(mnuCopies, &QAction::triggered, this, &frmMain::mnuCopies_Click);
    connect(mnuRestoreCopy, &QAction::triggered, this, &frmMain::mnuRestoreCopy_Click);
}

void frmMain::startAutomaticCopies()
{
    if (m_copies || !m_household.dbInventory())
        return;
    m_copies = std::make_unique<AutomaticCopies>(m_household.DataFolder());
    // Once the window is up: the word that copies stopped is read over it.
    QTimer::singleShot(0, this, [this] {
        if (m_copies && !m_unloaded)
            m_copies->atStart();
    });
}

void frmMain::mnuCopies_Click()
{
    startAutomaticCopies();
    if (!m_copies)
        return;
    setSecondaryWindow(Secondary::Copies, frmCopies::showCopies(*m_copies, this));
}

void frmMain::mnuRestoreCopy_Click()
{
    setSecondaryWindow(Secondary::CopyRestore, frmCopyRestore::showRestore(m_household.DataFolder(), this));
}

void frmMain::quitAfterClosingCopy()
{
    // A copy of this run still under way is stopped (it leaves nothing
    // behind); the closing copy starts afresh from the closed inventory.
    m_copies.reset();
    if (!ClosingCopy::startIfDue(m_household.DataFolder()))
        QCoreApplication::quit();
}
