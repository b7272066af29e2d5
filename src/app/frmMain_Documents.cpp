// The main window's side of item documents: View > Documents, and the
// documents window following the shown item.
#include "app/frmMain.h"
#include "help/viewer/HelpKey.h"
#include "items/documents/frmDocuments.h"
#include "program/Household.h"
#include "records/RecordEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

void frmMain::buildDocumentsMenu()
{
    mnuDocuments = mnuViewMenu->addAction(QStringLiteral("&Documents..."));
    mnuDocuments->setObjectName(QStringLiteral("mnuDocuments"));
    connect(mnuDocuments, &QAction::triggered, this, &frmMain::mnuDocuments_Click);
}

void frmMain::mnuDocuments_Click()
{
    auto *window = qobject_cast<frmDocuments *>(secondaryWindow(Secondary::Documents));
    if (!window) {
        frmDocuments::RecordSide record;
        record.receiptTicked = [this] { return chkReceipt->isChecked(); };
        // As a click on the box: the record turns to editing, Update stores it.
        record.tickReceipt = [this] { chkReceipt->setChecked(true); };
        window = new frmDocuments(m_household, this, std::move(record));
        setSecondaryWindow(Secondary::Documents, window);
    }
    followShownItemDocuments(!editor().adding());
    window->show();
    window->raise();
    window->activateWindow();
}

void frmMain::followShownItemDocuments(bool showsRecord)
{
    auto *window = qobject_cast<frmDocuments *>(secondaryWindow(Secondary::Documents));
    if (!window)
        return;
    const ShownItem shown = shownItem(showsRecord);
    window->showItem(shown.iteid, shown.description);
}
