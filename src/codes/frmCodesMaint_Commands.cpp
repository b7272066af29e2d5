// The maintenance window's buttons: moving through the codes, adding,
// renaming, deleting and finding them, and closing the window.
#include "app/Globals.h"
#include "app/Prompts.h"
#include "codes/CodeList.h"
#include "codes/frmCodesMaint.h"
#include "data/HandleDbError.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

void freeLocks()
{
    trapDb([] {
        if (dbInventory)
            dbInventory->freeLocks();
    });
}

Database &inventory()
{
    if (!dbInventory)
        throw DbError(DbError::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
    return *dbInventory;
}

} // namespace

void frmCodesMaint::cmdFirst_Click()
{
    if (codeCount() == 0)
        return;
    trapDb([this] {
        codes().moveFirst();
        ShowRecord();
    });
}

void frmCodesMaint::cmdLast_Click()
{
    if (codeCount() == 0)
        return;
    trapDb([this] {
        codes().moveLast();
        ShowRecord();
    });
}

void frmCodesMaint::cmdNext_Click()
{
    if (codeCount() == 0)
        return;
    trapDb([this] {
        codes().moveNext();
        if (codes().eof()) {
            prompts().beep();
            codes().moveLast();
        }
        ShowRecord();
    });
}

void frmCodesMaint::cmdPrevious_Click()
{
    if (codeCount() == 0)
        return;
    trapDb([this] {
        codes().movePrevious();
        if (codes().bof()) {
            prompts().beep();
            codes().moveFirst();
        }
        ShowRecord();
    });
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
    trapDb([&] {
        codes().setValue(QStringLiteral("descr"), txtDesc->text());
        set = true;
    });
    // A record whose description could not be set is not stored at all,
    // rather than stored without one.
    bool stored = false;
    if (set) {
        withLockRetry([&] {
            codes().update();
            stored = true;
        });
    }
    freeLocks();
    return stored;
}

void frmCodesMaint::cmdAddNew_Click()
{
    if (cmdAddNew->text() == AddNewCaption) {
        Adding = true;
        if (codeCount() == 0)
            EnableDesc();
        else
            trapDb([this] { codes().moveLast(); });
        ClearDesc();
        ShowEditButtons();
        cmdAddNew->setText(AddAnotherCaption);
        cmdAddNew->setDefault(true);
        txtDesc->setFocus();
        return;
    }

    if (!DescEntered())
        return;
    // Beginning a record reserves its key, which takes the write lock for a
    // moment. A code that could not be begun or stored stays typed on
    // screen, so Add Another can simply be pressed again.
    bool begun = false;
    withLockRetry([this, &begun] {
        codes().addNew();
        begun = true;
    });
    if (!begun || !SaveRecord())
        return;
    ClearDesc();
    txtDesc->setFocus();
}

void frmCodesMaint::cmdUpdate_Click()
{
    if (!DescEntered())
        return;
    QVariant id;
    bool begun = false;
    if (Adding) {
        withLockRetry([this, &begun] {
            codes().addNew();
            begun = true;
        });
        if (begun)
            trapDb([&] { id = codes().value(QStringLiteral("id")); });
    } else {
        trapDb([&] {
            codes().edit();
            begun = true;
            id = codes().value(QStringLiteral("id"));
        });
    }
    // Without a begun or stored record the typed text stays on screen, in
    // its state, for another try or Cancel.
    if (!begun || !SaveRecord())
        return;
    if (Adding)
        cmdAddNew->setText(AddNewCaption);

    trapDb([&] {
        codes().findFirst(QStringLiteral("id = ?"), {id});
        if (codes().noMatch())
            codes().moveFirst();
        ShowRecord();
    });
    ShowBrowseButtons();
    Adding = false;
    Changing = false;
}

void frmCodesMaint::cmdCancel_Click()
{
    if (codeCount() > 0) {
        trapDb([this] {
            // A record left begun by a failed Update would otherwise show
            // the typed text instead of the stored one.
            codes().cancelUpdate();
            if (Adding)
                codes().moveLast();
            ShowRecord();
        });
    } else {
        ClearDesc();
        DisableDesc();
    }
    ShowBrowseButtons();
    cmdAddNew->setText(AddNewCaption);
    cmdOK->setDefault(true);
    Changing = false;
    Adding = false;
}

void frmCodesMaint::cmdDelete_Click()
{
    if (codeCount() == 0 || !m_list)
        return;
    if (prompts().message(m_list->deleteQuestion, Prompts::Buttons::YesNo, Prompts::Icon::None, m_list->deleteTitle)
        != Prompts::Answer::Yes)
        return;
    QVariant id;
    trapDb([&] { id = codes().value(QStringLiteral("id")); });
    if (id.isNull())
        return;

    // The check and the delete are one write transaction: no other program
    // can give an item this code between them. A lock met at its begin is
    // retried as any locked write; a failed commit rolls both back.
    bool inUse = false;
    bool deleted = false;
    bool leftRecordset = false; // the row is gone from rsCodes (not always from the table)
    withLockRetry([&] {
        Transaction transaction(inventory());
        inUse = inventory().scalar(m_list->inUseQuery, {id}).toBool();
        if (inUse)
            return;
        if (!leftRecordset) {
            codes().deleteCurrent();
            leftRecordset = true;
        } else {
            // A try after a failed commit: rsCodes already let the row go.
            inventory().execute(m_list->deleteStatement, {id});
        }
        transaction.commit();
        deleted = true;
    });
    freeLocks();
    if (inUse) {
        prompts().message(m_list->inUse, Prompts::Buttons::Ok, Prompts::Icon::None, QStringLiteral("Cannot Delete"));
    }
    if (leftRecordset && !deleted) {
        // The code is still stored but rsCodes no longer holds it: read the
        // list again rather than hide a code that exists.
        reopenCodesAt(id);
        return;
    }
    if (!deleted)
        return;

    if (codeCount() == 0) {
        ClearDesc();
        DisableDesc();
        return;
    }
    trapDb([this] {
        codes().moveNext();
        if (codes().eof())
            codes().movePrevious();
        ShowRecord();
    });
}

void frmCodesMaint::cmdFind_Click()
{
    // A cancelled box finds like an empty text: the first code.
    const QString text = prompts()
                             .inputBox(QStringLiteral("Enter the description to find:"), QStringLiteral("Find Code"))
                             .value_or(QString());
    // The text is bound, never part of the statement: quotes are searched
    // for as typed, and only the wildcard characters act as such.
    bool searched = false;
    bool found = false;
    trapDb([&] {
        codes().findFirst(QStringLiteral("wlike(descr, ?)"), {text + QLatin1Char('*')});
        searched = true;
        found = !codes().noMatch();
        if (found)
            ShowRecord();
    });
    if (searched && !found)
        prompts().message(QStringLiteral("That record was not found."), Prompts::Buttons::Ok, Prompts::Icon::None,
                          QStringLiteral("No Records Match"));
}

void frmCodesMaint::cmdOK_Click()
{
    close();
}
