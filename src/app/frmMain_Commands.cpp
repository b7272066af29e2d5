// The command buttons under the record form: moving through the items,
// adding, updating, cancelling, deleting and finding them, and the button
// sets of browsing and editing.
#include "app/frmMain.h"
#include "data/Inventory.h"
#include "focus/ButtonPress.h"
#include "focus/LeaveCheck.h"
#include "help/viewer/HelpKey.h"
#include "items/ItemAttachments.h"
#include "items/ItemSearch.h"
#include "items/ItemStatus.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"
#include "widgets/ElasticContainer.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

namespace {

constexpr int ButtonWidth = 1815; // twips
constexpr int ButtonHeight = 480;

QPushButton *makeButton(ElasticContainer *form, const QString &name, const QString &caption, int left, int top,
                        int topic)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    setHelpTopic(button, topic);
    form->place(button, QRect(left, top, ButtonWidth, ButtonHeight));
    return button;
}

} // namespace

void frmMain::buildCommandButtons()
{
    ElasticContainer *form = Elastic1;
    cmdFirst = makeButton(form, QStringLiteral("cmdFirst"), QStringLiteral("F&irst"), 960, 5520, 15);
    cmdPrevious = makeButton(form, QStringLiteral("cmdPrevious"), QStringLiteral("&Previous"), 3000, 5535, 15);
    cmdNext = makeButton(form, QStringLiteral("cmdNext"), QStringLiteral("&Next"), 5040, 5535, 15);
    cmdLast = makeButton(form, QStringLiteral("cmdLast"), QStringLiteral("&Last"), 7080, 5535, 15);
    cmdAddNew = makeButton(form, QStringLiteral("cmdAddNew"), RecordEditor::AddNewCaption, 960, 6225, 8);
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

    QWidget *order[] = {txtNotes,  cmdFirst, cmdPrevious, cmdNext,   cmdLast,   cmdAddNew,
                        cmdDelete, cmdFind,  cmdCancel,   cmdUpdate, cmdPicture};
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

    m_editor = std::make_unique<RecordEditor>(
        m_household,
        RecordForm{
            .keyColumn = QStringLiteral("iteid"),
            // After Cancel the window always shows the last item.
            .cancelShowsLast = true,
            .records = [this]() -> Recordset & { return m_household.items(); },
            .recordCount = [this] { return m_household.items().recordCount(); },
            .showRecord = [this] { LoadItem(); },
            .clearRecord = [this] { ClearItem(); },
            .enableFields = [this] { EnableFields(); },
            .disableFields = [this] { DisableFields(); },
            .showBrowseButtons = [this] { ShowBrowseButtons(); },
            .showEditButtons = [this] { ShowEditButtons(); },
            .hideAddButton = [this] { cmdAddNew->hide(); },
            .setAddCaption = [this](const QString &caption) { cmdAddNew->setText(caption); },
            .focusFirstField = [this] { txtItem->setFocus(); },
            .readyToStore = [this] { return ItemDescEntered() && fieldsReadyToStore(); },
            .saveRecord = [this] { return SaveItem(); },
        });
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
    // With no item stored there is no shown item to edit.
    const Recordset *rsItems = m_household.rsItems();
    if (rsItems && rsItems->isOpen() && rsItems->recordCount() > 0)
        editor().beginEdit();
}

bool frmMain::ItemDescEntered()
{
    if (!txtItem->text().isEmpty())
        return true;
    prompts().message(QStringLiteral("You must enter a short description or a long description."), Prompts::Buttons::Ok,
                      Prompts::Icon::None, QStringLiteral("No Request Description Entered"));
    txtItem->setFocus();
    return false;
}

void frmMain::cmdFirst_Click()
{
    editor().moveFirst();
}

void frmMain::cmdLast_Click()
{
    editor().moveLast();
}

void frmMain::cmdNext_Click()
{
    editor().moveNext();
}

void frmMain::cmdPrevious_Click()
{
    editor().movePrevious();
}

void frmMain::cmdAddNew_Click()
{
    editor().addNew();
}

void frmMain::cmdUpdate_Click()
{
    editor().update();
}

void frmMain::cmdCancel_Click()
{
    // A picture loaded or pasted but not written goes with the rest of the edit.
    PictureChanged = false;
    editor().cancel();
}

void frmMain::cmdDelete_Click()
{
    const RecordEditor::Question question{QStringLiteral("Are you sure that you want to delete this Inventory Item?"),
                                          QStringLiteral("Delete Inventory Item")};
    editor().deleteRecord(question, [this](const QVariant &iteid) {
        const bool deleted = editor().deleteCurrent();
        // The photos, documents, warranty and disposal go only with their
        // record: a record that stays keeps them.
        if (deleted && !iteid.isNull()) {
            m_household.trapDb([&] { ItemAttachments(m_household).removeAll(iteid.toLongLong()); });
            m_household.trapDb([&] { ItemStatus(m_household.inventory()).remove(iteid.toLongLong()); });
        }
        return true;
    });
}

void frmMain::cmdFind_Click()
{
    const std::optional<QString> text = prompts().inputBox(
        QStringLiteral("Enter the description of the Inventory Item to find:"), QStringLiteral("Find Inventory Item"));
    if (!text || text->isEmpty())
        return;
    // The text is bound, never part of the statement: quotes and the like are
    // searched for as typed, and only the wildcard characters act as such.
    const ItemSearch search = itemDescriptionSearch(*text);
    editor().find(search.condition, search.params, QStringLiteral("That Inventory Item was not found."));
}
