// The command buttons under the record form: moving through the items,
// adding, updating, cancelling, deleting and finding them, and the button
// sets of browsing and editing.
#include "app/ElasticContainer.h"
#include "app/Globals.h"
#include "app/Prompts.h"
#include "app/frmMain.h"
#include "app/help/HelpKey.h"
#include "data/HandleDbError.h"
#include "data/Inventory.h"
#include "focus/ButtonPress.h"
#include "focus/LeaveCheck.h"
#include "items/ItemSearch.h"
#include "items/ItemsRecordset.h"
#include "items/PictureFiles.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

namespace {

constexpr int ButtonWidth = 1815;  // twips
constexpr int ButtonHeight = 480;

const QString AddNewCaption = QStringLiteral("&Add New");
const QString AddAnotherCaption = QStringLiteral("&Add Another");

QPushButton *makeButton(ElasticContainer *form, const QString &name, const QString &caption, int left, int top,
                        int topic)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    setHelpTopic(button, topic);
    form->place(button, QRect(left, top, ButtonWidth, ButtonHeight));
    return button;
}

bool hasItems()
{
    return rsItems && rsItems->isOpen() && rsItems->recordCount() > 0;
}

void freeLocks()
{
    trapDb([] {
        if (dbInventory)
            dbInventory->freeLocks();
    });
}

} // namespace

void frmMain::buildCommandButtons()
{
    ElasticContainer *form = Elastic1;
    cmdFirst = makeButton(form, QStringLiteral("cmdFirst"), QStringLiteral("F&irst"), 960, 5520, 15);
    cmdPrevious = makeButton(form, QStringLiteral("cmdPrevious"), QStringLiteral("&Previous"), 3000, 5535, 15);
    cmdNext = makeButton(form, QStringLiteral("cmdNext"), QStringLiteral("&Next"), 5040, 5535, 15);
    cmdLast = makeButton(form, QStringLiteral("cmdLast"), QStringLiteral("&Last"), 7080, 5535, 15);
    cmdAddNew = makeButton(form, QStringLiteral("cmdAddNew"), AddNewCaption, 960, 6225, 8);
    cmdDelete = makeButton(form, QStringLiteral("cmdDelete"), QStringLiteral("&Delete"), 3000, 6225, 14);
    cmdFind = makeButton(form, QStringLiteral("cmdFind"), QStringLiteral("F&ind"), 5040, 6240, 16);
    // Cancel and Update share the places of Delete and Find.
    cmdCancel = makeButton(form, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), 3000, 6240, 12);
    cmdUpdate = makeButton(form, QStringLiteral("cmdUpdate"), QStringLiteral("&Update"), 5040, 6240, 11);
    cmdPicture = makeButton(form, QStringLiteral("cmdPicture"), QStringLiteral("Pi&cture"), 7080, 6225, 10);
    cmdCancel->hide();
    cmdUpdate->hide();
    // Cancel throws the edit away: the field being left is not checked, and
    // Escape presses it as it would in any dialog.
    setDiscardsEdits(cmdCancel);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (cmdCancel->isVisible())
            pressButton(cmdCancel);
    });

    QWidget *order[] = {txtNotes, cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdAddNew,
                        cmdDelete, cmdFind, cmdCancel, cmdUpdate, cmdPicture};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmdFirst, &QPushButton::clicked, this, &frmMain::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmMain::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &frmMain::cmdLast_Click);
    connect(cmdAddNew, &QPushButton::clicked, this, &frmMain::cmdAddNew_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmMain::cmdFind_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmMain::cmdUpdate_Click);
    connect(cmdPicture, &QPushButton::clicked, this, &frmMain::cmdPicture_Click);
}

void frmMain::ShowBrowseButtons()
{
    for (QPushButton *button : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdFind, cmdAddNew, cmdDelete})
        button->show();
    cmdCancel->hide();
    cmdUpdate->hide();
}

void frmMain::ShowEditButtons()
{
    cmdCancel->show();
    cmdUpdate->show();
    for (QPushButton *button : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdFind, cmdDelete})
        button->hide();
}

void frmMain::MakingChange()
{
    if (Changing || Adding || !hasItems())
        return;
    Changing = true;
    ShowEditButtons();
    cmdAddNew->hide();
}

bool frmMain::ItemDescEntered()
{
    if (!txtItem->text().isEmpty())
        return true;
    prompts().message(QStringLiteral("You must enter a short description or a long description."),
                      Prompts::Buttons::Ok, Prompts::Icon::None, QStringLiteral("No Request Description Entered"));
    txtItem->setFocus();
    return false;
}

// The moves run under the error trap too: a failure (the shown row removed
// by another program, say) is reported instead of ending the program.
void frmMain::cmdFirst_Click()
{
    trapDb([this] {
        if (items().recordCount() == 0)
            return;
        items().moveFirst();
        LoadItem();
    });
}

void frmMain::cmdLast_Click()
{
    trapDb([this] {
        if (items().recordCount() == 0)
            return;
        items().moveLast();
        LoadItem();
    });
}

void frmMain::cmdNext_Click()
{
    trapDb([this] {
        if (items().recordCount() == 0)
            return;
        items().moveNext();
        if (items().eof()) {
            prompts().beep();
            items().moveLast();
        }
        LoadItem();
    });
}

void frmMain::cmdPrevious_Click()
{
    trapDb([this] {
        if (items().recordCount() == 0)
            return;
        items().movePrevious();
        if (items().bof()) {
            prompts().beep();
            items().moveFirst();
        }
        LoadItem();
    });
}

void frmMain::cmdAddNew_Click()
{
    if (cmdAddNew->text() == AddNewCaption) {
        Adding = true;
        bool any = false;
        trapDb([&] {
            any = items().recordCount() > 0;
            if (any)
                items().moveLast();
        });
        if (!any)
            EnableFields(); // they were off because the table was empty
        ShowEditButtons();
        cmdAddNew->setText(AddAnotherCaption);
        ClearItem();
        txtItem->setFocus();
        return;
    }

    if (!ItemDescEntered() || !fieldsReadyToStore())
        return;
    // A record that could not be begun or stored keeps what was typed on
    // screen, so nothing is lost and Add Another can simply be pressed again.
    bool begun = false;
    withLockRetry([&] {
        items().addNew();
        begun = true;
    });
    if (!begun || !SaveItem())
        return;
    ClearItem();
    txtItem->setFocus();
}

void frmMain::cmdUpdate_Click()
{
    if (!ItemDescEntered() || !fieldsReadyToStore())
        return;
    QVariant id;
    bool begun = false;
    if (Adding) {
        // Beginning a row reserves its key, which takes the write lock.
        withLockRetry([&] {
            items().addNew();
            begun = true;
        });
        if (begun)
            trapDb([&] { id = items().value(QStringLiteral("iteid")); });
    } else {
        trapDb([&] {
            id = items().value(QStringLiteral("iteid"));
            items().edit();
            begun = true;
        });
    }
    // Without a begun or stored record the edit stays on screen, in its
    // state, for another try or Cancel.
    if (!begun || !SaveItem())
        return;
    if (Adding)
        cmdAddNew->setText(AddNewCaption);

    trapDb([&] {
        items().findFirst(QStringLiteral("iteid = ?"), {id});
        if (items().noMatch())
            items().moveFirst();
    });
    LoadItem();
    ShowBrowseButtons();
    Adding = false;
    Changing = false;
}

void frmMain::cmdCancel_Click()
{
    // A picture loaded or pasted but not written goes with the rest of the edit.
    PictureChanged = false;
    trapDb([this] {
        if (items().recordCount() > 0) {
            items().moveLast();
            LoadItem();
        } else {
            ClearItem();
            DisableFields();
        }
    });
    ShowBrowseButtons();
    cmdAddNew->setText(AddNewCaption);
    Changing = false;
    Adding = false;
}

void frmMain::cmdDelete_Click()
{
    bool empty = true;
    trapDb([&] { empty = items().bof() && items().eof(); });
    if (empty)
        return;
    if (prompts().message(QStringLiteral("Are you sure that you want to delete this Inventory Item?"),
                          Prompts::Buttons::YesNo, Prompts::Icon::None, QStringLiteral("Delete Inventory Item"))
        != Prompts::Answer::Yes)
        return;

    QVariant id;
    trapDb([&] { id = items().value(QStringLiteral("iteid")); });
    bool deleted = false;
    withLockRetry([&] {
        items().deleteCurrent();
        deleted = true;
    });
    freeLocks();
    // The picture goes only with its record: a record that stays keeps its picture.
    if (deleted && !id.isNull())
        trapDb([&] { deletePictureFile(pictureFolder(), id.toLongLong()); });

    trapDb([this] {
        items().moveNext();
        if (items().recordCount() == 0) {
            ClearItem();
            DisableFields();
            return;
        }
        if (items().eof())
            items().movePrevious();
        LoadItem();
    });
}

void frmMain::cmdFind_Click()
{
    const std::optional<QString> text =
        prompts().inputBox(QStringLiteral("Enter the description of the Inventory Item to find:"),
                           QStringLiteral("Find Inventory Item"));
    if (!text || text->isEmpty())
        return;
    // The text is bound, never part of the statement: quotes and the like are
    // searched for as typed, and only the wildcard characters act as such.
    const ItemSearch search = itemDescriptionSearch(*text);
    bool searched = false;
    bool found = false;
    trapDb([&] {
        items().findFirst(search.condition, search.params);
        searched = true;
        found = !items().noMatch();
    });
    if (found) {
        LoadItem();
    } else if (searched) {
        prompts().message(QStringLiteral("That Inventory Item was not found."), Prompts::Buttons::Ok,
                          Prompts::Icon::None, QStringLiteral("No Records Match"));
    }
}
