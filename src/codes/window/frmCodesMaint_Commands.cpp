// The maintenance window's buttons: moving through the codes, adding,
// renaming, deleting and finding them, and closing the window.
#include "codes/CodeList.h"
#include "codes/window/frmCodesMaint.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"

#include <QLineEdit>
#include <QPushButton>

void frmCodesMaint::cmdFirst_Click()
{
    editor().moveFirst();
}

void frmCodesMaint::cmdLast_Click()
{
    editor().moveLast();
}

void frmCodesMaint::cmdNext_Click()
{
    editor().moveNext();
}

void frmCodesMaint::cmdPrevious_Click()
{
    editor().movePrevious();
}

bool frmCodesMaint::DescEntered()
{
    // Blanks count as a description: nothing is trimmed.
    if (!txtDesc->text().isEmpty())
        return true;
    prompts().message(m_list ? m_list->missingDescription : QString(), Prompts::Buttons::Ok, Prompts::Icon::None,
                      QStringLiteral("Missing Data"));
    return false;
}

bool frmCodesMaint::SaveRecord()
{
    bool set = false;
    m_household.trapDb([&] {
        codes().setValue(QStringLiteral("descr"), txtDesc->text());
        set = true;
    });
    // A record whose description could not be set is not stored at all,
    // rather than stored without one.
    return editor().store(set);
}

void frmCodesMaint::cmdAddNew_Click()
{
    const bool starting = !editor().adding();
    editor().addNew();
    if (starting)
        cmdAddNew->setDefault(true);
}

void frmCodesMaint::cmdUpdate_Click()
{
    // After an Update that ends adding, Add New stays the default button.
    editor().update();
}

void frmCodesMaint::cmdCancel_Click()
{
    editor().cancel();
    cmdOK->setDefault(true);
}

void frmCodesMaint::cmdDelete_Click()
{
    if (!m_list)
        return;
    editor().deleteRecord({m_list->deleteQuestion, m_list->deleteTitle},
                          [this](const QVariant &id) { return removeCode(id); });
}

bool frmCodesMaint::removeCode(const QVariant &id)
{
    if (id.isNull())
        return false;
    // The check and the delete are one write transaction: no other program
    // can give an item this code between them. A lock met at its begin is
    // retried as any locked write; a failed commit rolls both back.
    bool inUse = false;
    bool deleted = false;
    bool leftRecordset = false; // the row is gone from rsCodes (not always from the table)
    m_household.withLockRetry([&] {
        Database &inventory = m_household.inventory();
        Transaction transaction(inventory);
        inUse = inventory.scalar(m_list->inUseQuery, {id}).toBool();
        if (inUse)
            return;
        if (!leftRecordset) {
            codes().deleteCurrent();
            leftRecordset = true;
        } else {
            // A try after a failed commit: rsCodes already let the row go.
            inventory.execute(m_list->deleteStatement, {id});
        }
        transaction.commit();
        deleted = true;
    });
    m_household.freeInventoryLocks();
    if (inUse) {
        prompts().message(m_list->inUse, Prompts::Buttons::Ok, Prompts::Icon::None, QStringLiteral("Cannot Delete"));
    }
    if (leftRecordset && !deleted) {
        // The code is still stored but rsCodes no longer holds it: read the
        // list again rather than hide a code that exists.
        reopenCodesAt(id);
        return false;
    }
    return deleted;
}

void frmCodesMaint::cmdFind_Click()
{
    // A cancelled box finds like an empty text: the first code.
    const QString text = prompts()
                             .inputBox(QStringLiteral("Enter the description to find:"), QStringLiteral("Find Code"))
                             .value_or(QString());
    // The text is bound, never part of the statement: quotes are searched
    // for as typed, and only the wildcard characters act as such.
    editor().find(QStringLiteral("wlike(descr, ?)"), {text + QLatin1Char('*')},
                  QStringLiteral("That record was not found."));
}

void frmCodesMaint::cmdOK_Click()
{
    close();
}
