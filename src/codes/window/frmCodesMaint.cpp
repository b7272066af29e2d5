// The maintenance window's life: building it, loading it for one list,
// activation, closing, and the small procedures its commands share.
#include "codes/window/frmCodesMaint.h"

#include "codes/CodeList.h"
#include "focus/ButtonPress.h"
#include "focus/LeaveCheck.h"
#include "help/viewer/HelpKey.h"
#include "program/Household.h"
#include "records/RecordEditor.h"
#include "widgets/ElasticContainer.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

namespace {

// The client area the controls were laid out on, in twips.
constexpr int ClientWidthTwips = 6120;
constexpr int ClientHeightTwips = 2280;
constexpr int ButtonWidth = 1320;
constexpr int ButtonHeight = 420;
constexpr int NavigationTop = 960;
constexpr int CommandTop = 1560;
// Left edges of the four button columns.
constexpr int Column[] = {240, 1680, 3120, 4560};

QPointer<frmCodesMaint> s_instance;

QPushButton *makeButton(ElasticContainer *form, const QString &name, const QString &caption, int column, int top)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    form->place(button, QRect(Column[column], top, ButtonWidth, ButtonHeight));
    return button;
}

} // namespace

frmCodesMaint *frmCodesMaint::showCodesMaint(Household &household, QWidget *mainWindow, qint16 CodeListKind)
{
    if (!s_instance) {
        s_instance = new frmCodesMaint(household, mainWindow);
        s_instance->m_codeListKind = CodeListKind;
        s_instance->Form_Load();
    } else if (s_instance->kind() != CodeListKind) {
        s_instance->m_codeListKind = CodeListKind;
        // One window serves both lists. What is under way for the old list
        // is dropped, as Cancel would drop it: closing rsCodes discards a
        // begun record and the load starts the window over in Browse.
        s_instance->releaseCodes();
        s_instance->Form_Load();
    }
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    // A window already shown and active gets no activation from the lines
    // above, and the window manager may deny one; the list must be marked
    // for the main window all the same.
    s_instance->Form_Activate();
    return s_instance;
}

frmCodesMaint *frmCodesMaint::instance()
{
    return s_instance;
}

frmCodesMaint::frmCodesMaint(Household &household, QWidget *parent) : QDialog(parent), m_household(household)
{
    setObjectName(QStringLiteral("frmCodesMaint"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Elastic1 = new ElasticContainer(ClientWidthTwips, ClientHeightTwips, this);
    Elastic1->setObjectName(QStringLiteral("Elastic1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Elastic1);

    // The window is laid out for the location list; loading it for
    // categories changes the texts and topics.
    txtDesc = new QLineEdit;
    txtDesc->setObjectName(QStringLiteral("txtDesc"));
    txtDesc->setMaxLength(DescriptionLimit);
    lblDesc = new QLabel;
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    lblDesc->setBuddy(txtDesc);
    Elastic1->place(lblDesc, QRect(240, 120, 5640, 300));
    Elastic1->place(txtDesc, QRect(240, 420, 5640, 360));

    cmdFirst = makeButton(Elastic1, QStringLiteral("cmdFirst"), QStringLiteral("&First"), 0, NavigationTop);
    cmdPrevious = makeButton(Elastic1, QStringLiteral("cmdPrevious"), QStringLiteral("&Previous"), 1, NavigationTop);
    cmdNext = makeButton(Elastic1, QStringLiteral("cmdNext"), QStringLiteral("&Next"), 2, NavigationTop);
    cmdLast = makeButton(Elastic1, QStringLiteral("cmdLast"), QStringLiteral("&Last"), 3, NavigationTop);
    cmdAddNew = makeButton(Elastic1, QStringLiteral("cmdAddNew"), RecordEditor::AddNewCaption, 0, CommandTop);
    // Cancel and Update share the places of Delete and Find.
    cmdDelete = makeButton(Elastic1, QStringLiteral("cmdDelete"), QStringLiteral("&Delete"), 1, CommandTop);
    cmdCancel = makeButton(Elastic1, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), 1, CommandTop);
    cmdFind = makeButton(Elastic1, QStringLiteral("cmdFind"), QStringLiteral("&Find"), 2, CommandTop);
    cmdUpdate = makeButton(Elastic1, QStringLiteral("cmdUpdate"), QStringLiteral("&Update"), 2, CommandTop);
    cmdOK = makeButton(Elastic1, QStringLiteral("cmdOK"), QStringLiteral("&Ok"), 3, CommandTop);

    QWidget *order[] = {txtDesc,   cmdFirst,  cmdPrevious, cmdNext,   cmdLast, cmdAddNew,
                        cmdDelete, cmdCancel, cmdFind,     cmdUpdate, cmdOK};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    const CodeList *design = codeListFor(2);
    setWindowTitle(design->caption);
    lblDesc->setText(design->label);
    setHelpTopics(design->helpTopic);
    ShowBrowseButtons();
    cmdOK->setDefault(true);
    setDiscardsEdits(cmdCancel);
    resize(sizeHint());

    m_editor = std::make_unique<RecordEditor>(
        m_household,
        RecordForm{
            .keyColumn = QStringLiteral("id"),
            // Cancel of a rename shows the code as stored, where it was.
            .cancelShowsLast = false,
            .records = [this]() -> Recordset & { return codes(); },
            .recordCount = [this] { return codeCount(); },
            .showRecord = [this] { ShowRecord(); },
            .clearRecord = [this] { ClearDesc(); },
            .enableFields = [this] { EnableDesc(); },
            .disableFields = [this] { DisableDesc(); },
            .showBrowseButtons = [this] { ShowBrowseButtons(); },
            .showEditButtons = [this] { ShowEditButtons(); },
            .hideAddButton = [this] { cmdAddNew->hide(); },
            .setAddCaption = [this](const QString &caption) { cmdAddNew->setText(caption); },
            .focusFirstField = [this] { txtDesc->setFocus(); },
            .readyToStore = [this] { return DescEntered(); },
            .saveRecord = [this] { return SaveRecord(); },
        });

    connect(txtDesc, &QLineEdit::textChanged, this, &frmCodesMaint::txtDesc_Change);
    connect(cmdFirst, &QPushButton::clicked, this, &frmCodesMaint::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmCodesMaint::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmCodesMaint::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &frmCodesMaint::cmdLast_Click);
    connect(cmdAddNew, &QPushButton::clicked, this, &frmCodesMaint::cmdAddNew_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmCodesMaint::cmdUpdate_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCodesMaint::cmdCancel_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmCodesMaint::cmdDelete_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmCodesMaint::cmdFind_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmCodesMaint::cmdOK_Click);
}

frmCodesMaint::~frmCodesMaint()
{
    // Deleted with its owner rather than closed: the locks go all the same.
    releaseCodes();
}

qint16 frmCodesMaint::kind() const
{
    return m_list ? m_list->kind : 0;
}

void frmCodesMaint::setHelpTopics(int topic)
{
    setHelpTopic(this, topic);
    for (QWidget *control : std::initializer_list<QWidget *>{txtDesc, cmdAddNew, cmdCancel, cmdUpdate, cmdFirst,
                                                             cmdPrevious, cmdNext, cmdLast, cmdDelete, cmdFind, cmdOK})
        setHelpTopic(control, topic);
}

void frmCodesMaint::Form_Load()
{
    m_list = codeListFor(m_codeListKind);
    // Loaded again for another list, the window starts as if just opened.
    ShowBrowseButtons();
    cmdAddNew->setText(RecordEditor::AddNewCaption);
    cmdOK->setDefault(true);
    if (!m_list) {
        ClearDesc();
        DisableDesc();
        editor().reset();
        return;
    }
    setWindowTitle(m_list->caption);
    lblDesc->setText(m_list->label);
    setHelpTopics(m_list->helpTopic);
    openCodes();
    if (codeCount() == 0) {
        ClearDesc();
        DisableDesc();
    } else {
        EnableDesc();
        m_household.trapDb([this] {
            codes().moveFirst();
            ShowRecord();
        });
    }
    editor().reset();
}

void frmCodesMaint::openCodes()
{
    m_household.trapDb(
        [this] { rsCodes = m_household.inventory().openRecordset(m_list->statement, RecordsetType::Dynaset); });
}

void frmCodesMaint::Form_Activate()
{
    // Whatever happens here, the main window reads its list again when it
    // is next activated.
    if (kind() == 1 || kind() == 2)
        emit m_household.codeListChanged(kind());
}

void frmCodesMaint::Form_Unload()
{
    releaseCodes();
}

void frmCodesMaint::releaseCodes()
{
    m_household.freeInventoryLocks();
    if (rsCodes)
        rsCodes->close();
    rsCodes.reset();
}

void frmCodesMaint::reject()
{
    // Escape cancels an edit or an addition, as the Cancel button does; it
    // never closes the window, which would drop the edit without a word.
    if (cmdCancel->isVisible())
        pressButton(cmdCancel);
}

void frmCodesMaint::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmCodesMaint::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmCodesMaint::closeEvent(QCloseEvent *event)
{
    // QDialog's own handling would only hide the window and keep rsCodes.
    Form_Unload();
    event->accept();
}

Recordset &frmCodesMaint::codes()
{
    followRepair();
    if (!rsCodes || !rsCodes->isOpen())
        throw DbError::objectClosed();
    return *rsCodes;
}

int frmCodesMaint::codeCount()
{
    followRepair();
    return rsCodes && rsCodes->isOpen() ? rsCodes->recordCount() : 0;
}

void frmCodesMaint::followRepair()
{
    // A repair replaces the inventory's connection, which closes every
    // recordset on the old one; the list is read again from the rebuilt
    // file, at the code that was shown, as the items are.
    if (!rsCodes || rsCodes->isOpen() || !m_household.dbInventory() || !m_household.dbInventory()->isOpen() || !m_list)
        return;
    rsCodes.reset();
    openCodes();
    if (!rsCodes || !rsCodes->isOpen() || rsCodes->recordCount() == 0)
        return;
    m_household.trapDb([this] {
        rsCodes->moveFirst();
        if (m_shownId.isValid()) {
            rsCodes->findFirst(QStringLiteral("id = ?"), {m_shownId});
            if (rsCodes->noMatch())
                rsCodes->moveFirst();
        }
    });
}

void frmCodesMaint::reopenCodesAt(const QVariant &id)
{
    rsCodes.reset();
    openCodes();
    if (codeCount() == 0) {
        ClearDesc();
        DisableDesc();
        return;
    }
    m_household.trapDb([&] {
        codes().findFirst(QStringLiteral("id = ?"), {id});
        if (codes().noMatch())
            codes().moveFirst();
        ShowRecord();
    });
}

// Throws when the record cannot be read; the box then keeps its text.
void frmCodesMaint::ShowRecord()
{
    const QString text = codes().value(QStringLiteral("descr")).toString();
    m_shownId = codes().value(QStringLiteral("id"));
    const RecordEditor::Filling filling(editor());
    // A description longer than the limit (written by another program) is
    // shown whole rather than cut, so a rename starts from all of it.
    txtDesc->setMaxLength(std::max(DescriptionLimit, int(std::min<qsizetype>(text.size(), INT_MAX))));
    txtDesc->setText(text);
    // A long description is shown from its beginning, not its end.
    txtDesc->setCursorPosition(0);
}

void frmCodesMaint::ClearDesc()
{
    const RecordEditor::Filling filling(editor());
    txtDesc->clear();
    txtDesc->setMaxLength(DescriptionLimit);
}

void frmCodesMaint::EnableDesc()
{
    txtDesc->setEnabled(true);
}

void frmCodesMaint::DisableDesc()
{
    txtDesc->setEnabled(false);
}

void frmCodesMaint::BeginEdit()
{
    editor().beginEdit();
}

void frmCodesMaint::txtDesc_Change()
{
    BeginEdit();
}

void frmCodesMaint::ShowBrowseButtons()
{
    for (QPushButton *button : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdOK, cmdFind, cmdDelete, cmdAddNew})
        button->show();
    cmdCancel->hide();
    cmdUpdate->hide();
}

void frmCodesMaint::ShowEditButtons()
{
    cmdCancel->show();
    cmdUpdate->show();
    for (QPushButton *button : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdOK, cmdFind, cmdDelete})
        button->hide();
}
