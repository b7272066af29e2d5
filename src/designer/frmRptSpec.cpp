#include "designer/frmRptSpec.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "help/viewer/HelpKey.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/FieldOrder.h"
#include "reports/ReportDefaults.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

static frmRptSpec *s_instance = nullptr;
static constexpr int DesignerHelpTopic = 47;

static void tell(const QString &text)
{
    prompts().message(text, Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
}

frmRptSpec *frmRptSpec::showDesigner(Household &household, QWidget *mainWindow)
{
    if (!s_instance) {
        auto *window = new frmRptSpec(household, mainWindow);
        s_instance = window;
        if (!window->Form_Load()) {
            // Without a catalogue there is nothing to design with.
            delete window;
            return nullptr;
        }
    }
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmRptSpec *frmRptSpec::instance()
{
    return s_instance;
}

void frmRptSpec::closeDesigner()
{
    if (s_instance)
        s_instance->close();
}

frmRptSpec::frmRptSpec(Household &household, QWidget *parent) : QMainWindow(parent, Qt::Window), m_household(household)
{
    setObjectName(QStringLiteral("frmRptSpec"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(WindowCaption);
    // F1 anywhere in the designer opens its help page.
    setHelpTopic(this, DesignerHelpTopic);

    buildMenu();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    Tab1 = new QTabWidget(central);
    Tab1->setObjectName(QStringLiteral("Tab1"));
    Tab1->setAccessibleName(QStringLiteral("Report design"));
    Tab1->addTab(buildFieldsPage(), QStringLiteral("Report Fields"));
    Tab1->addTab(buildOptionsPage(), QStringLiteral("Report Options"));
    Tab1->addTab(buildSortingPage(), QStringLiteral("Sorting"));
    layout->addWidget(Tab1);
    auto *buttons = new QHBoxLayout;
    cmdGenerate = new QPushButton(QStringLiteral("Generate Report"), central);
    cmdGenerate->setObjectName(QStringLiteral("cmdGenerate"));
    cmdCancel = new QPushButton(QStringLiteral("E&xit Custom Reports"), central);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addStretch();
    buttons->addWidget(cmdGenerate);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    setCentralWidget(central);

    connect(cmdAdd, &QPushButton::clicked, this, &frmRptSpec::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmRptSpec::cmdRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, &frmRptSpec::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmRptSpec::cmdDown_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmRptSpec::List1_DblClick);
    // A field selected by the keyboard (arrows, Home, End, a letter) shows
    // its details as a click does. The selection, not the current entry:
    // a click makes the entry current before it selects it.
    connect(List2, &QListWidget::itemSelectionChanged, this, &frmRptSpec::List2_Click);
    List2->viewport()->installEventFilter(this);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRptSpec::cmdCancel_Click);
    connect(cmdGenerate, &QPushButton::clicked, this, &frmRptSpec::cmdGenerate_Click);
    connectChangeEvents();
}

frmRptSpec::~frmRptSpec()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void frmRptSpec::buildMenu()
{
    mnuFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFileMenu->setObjectName(QStringLiteral("mnuFileMenu"));
    mnuNew = mnuFileMenu->addAction(QStringLiteral("&New"), this, &frmRptSpec::mnuNew_Click);
    mnuOpen = mnuFileMenu->addAction(QStringLiteral("&Open"), this, &frmRptSpec::mnuOpen_Click);
    mnuSave = mnuFileMenu->addAction(QStringLiteral("&Save"), this, &frmRptSpec::mnuSave_Click);
    mnuSaveAs = mnuFileMenu->addAction(QStringLiteral("Save &As"), this, &frmRptSpec::mnuSaveAs_Click);
    mnuFileMenu->addSeparator();
    mnuExit = mnuFileMenu->addAction(QStringLiteral("E&xit Custom Reports"), this, &frmRptSpec::mnuExit_Click);
}

QWidget *frmRptSpec::buildFieldsPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto *lblAvailable = new QLabel(QStringLiteral("Available Fields"));
    auto *lblChosen = new QLabel(QStringLiteral("Fields to Report"));
    grid->addWidget(lblAvailable, 0, 0);
    grid->addWidget(lblChosen, 0, 2);
    List1 = new QListWidget(page);
    List1->setObjectName(QStringLiteral("List1"));
    List2 = new QListWidget(page);
    List2->setObjectName(QStringLiteral("List2"));
    // The labels name the lists for a screen reader.
    lblAvailable->setBuddy(List1);
    lblChosen->setBuddy(List2);
    List1->setAccessibleName(lblAvailable->text());
    List2->setAccessibleName(lblChosen->text());
    grid->addWidget(List1, 1, 0);
    grid->addWidget(List2, 1, 2);

    // Arrows only: the name says what each does, for a screen reader and as a tip.
    const auto arrow = [page](QStyle::StandardPixmap picture, const char *name, const QString &what) {
        auto *button = new QPushButton(page);
        button->setIcon(page->style()->standardIcon(picture));
        button->setObjectName(QLatin1String(name));
        button->setAccessibleName(what);
        button->setToolTip(what);
        return button;
    };
    cmdAdd = arrow(QStyle::SP_ArrowRight, "cmdAdd", QStringLiteral("Add the field to the report"));
    cmdRemove = arrow(QStyle::SP_ArrowLeft, "cmdRemove", QStringLiteral("Take the field out of the report"));
    cmdUp = arrow(QStyle::SP_ArrowUp, "cmdUp", QStringLiteral("Move the field up"));
    cmdDown = arrow(QStyle::SP_ArrowDown, "cmdDown", QStringLiteral("Move the field down"));
    auto *between = new QVBoxLayout;
    between->addStretch();
    between->addWidget(cmdAdd);
    between->addWidget(cmdRemove);
    between->addStretch();
    grid->addLayout(between, 1, 1);
    auto *beside = new QVBoxLayout;
    beside->addStretch();
    beside->addWidget(cmdUp);
    beside->addWidget(cmdDown);
    beside->addStretch();
    grid->addLayout(beside, 1, 3);

    frame1 = new QGroupBox(QStringLiteral("Details For "), page);
    frame1->setObjectName(QStringLiteral("frame1"));
    buildDetails();
    frame1->hide();
    grid->addWidget(frame1, 2, 0, 1, 4);
    return page;
}

QWidget *frmRptSpec::buildOptionsPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *titleRow = new QHBoxLayout;
    auto *lblTitle = new QLabel(QStringLiteral("Report Title"));
    titleRow->addWidget(lblTitle);
    txtTitle = new QLineEdit(page);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    lblTitle->setBuddy(txtTitle);
    titleRow->addWidget(txtTitle);
    layout->addLayout(titleRow);

    const auto options = [](QGroupBox *frame, const QStringList &captions, auto &buttons, int first) {
        auto *box = new QVBoxLayout(frame);
        for (int i = 0; i < captions.size(); ++i) {
            buttons[std::size_t(first + i)] = new QRadioButton(captions[i], frame);
            box->addWidget(buttons[std::size_t(first + i)]);
        }
    };
    Frame2 = new QGroupBox(QStringLiteral("Report To"), page);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    options(Frame2, {QStringLiteral("Screen/Printer"), QStringLiteral("Text File"), QStringLiteral("Web Table (html)")},
            optReportTo, 1);
    fraOrient = new QGroupBox(QStringLiteral("Report Orientation"), page);
    fraOrient->setObjectName(QStringLiteral("fraOrient"));
    options(fraOrient, {QStringLiteral("Portrait"), QStringLiteral("Landscape")}, optOrient, 0);
    fraFormat = new QGroupBox(QStringLiteral("Report Formatting"), page);
    fraFormat->setObjectName(QStringLiteral("fraFormat"));
    options(fraFormat, {QStringLiteral("Width in Inches"), QStringLiteral("Centimeters")}, optWidth, 0);
    auto *format = static_cast<QVBoxLayout *>(fraFormat->layout());
    auto *pageRow = new QHBoxLayout;
    pageRow->addWidget(new QLabel(QStringLiteral("Page Number")));
    cmbPageNum = new QComboBox(fraFormat);
    cmbPageNum->setObjectName(QStringLiteral("cmbPageNum"));
    pageRow->addWidget(cmbPageNum);
    format->addLayout(pageRow);
    chkDate = new QCheckBox(QStringLiteral("Show Date in Header"), fraFormat);
    chkDate->setObjectName(QStringLiteral("chkDate"));
    format->addWidget(chkDate);
    optWidth[0]->setChecked(true);

    layout->addWidget(Frame2);
    layout->addWidget(fraOrient);
    layout->addWidget(fraFormat);
    layout->addStretch();
    return page;
}

QWidget *frmRptSpec::buildSortingPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto *lblSort1 = new QLabel(QStringLiteral("Primary Sort"));
    grid->addWidget(lblSort1, 0, 0);
    cmbSort1 = new QComboBox(page);
    cmbSort1->setObjectName(QStringLiteral("cmbSort1"));
    grid->addWidget(cmbSort1, 0, 1);
    auto *lblSort2 = new QLabel(QStringLiteral("Secondary Sort"));
    grid->addWidget(lblSort2, 1, 0);
    cmbSort2 = new QComboBox(page);
    cmbSort2->setObjectName(QStringLiteral("cmbSort2"));
    // Named for a screen reader also while no field is chosen.
    lblSort1->setBuddy(cmbSort1);
    lblSort2->setBuddy(cmbSort2);
    cmbSort1->setAccessibleName(lblSort1->text());
    cmbSort2->setAccessibleName(lblSort2->text());
    grid->addWidget(cmbSort2, 1, 1);
    grid->setRowStretch(2, 1);
    cmbSort1->installEventFilter(this);
    cmbSort2->installEventFilter(this);
    return page;
}

void frmRptSpec::connectChangeEvents()
{
    const auto changed = [this] { markChanged(); };
    connect(txtTitle, &QLineEdit::textChanged, this, changed);
    connect(chkDate, &QCheckBox::stateChanged, this, changed);
    for (QRadioButton *option : optOrient)
        connect(option, &QRadioButton::toggled, this, changed);
    for (QRadioButton *option : optWidth)
        connect(option, &QRadioButton::toggled, this, changed);
    // A destination chosen by code acts like the user's click, so the two
    // formatting frames always follow it.
    for (std::size_t i = 1; i < optReportTo.size(); ++i)
        connect(optReportTo[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                optReportTo_Click();
        });
    for (QComboBox *list : {cmbPageNum, cmbSort1, cmbSort2})
        connect(list, &QComboBox::currentIndexChanged, this, changed);
}

void frmRptSpec::markChanged()
{
    if (!m_filling)
        ReportChanged = true;
}

bool frmRptSpec::Form_Load()
{
    ReportChanged = false;
    ReportFileName.clear();
    try {
        dbRptSpec = m_household.openCatalogue();
    } catch (const DbError &error) {
        tell(QStringLiteral(
                 "The list of report fields (%1) cannot be opened, so custom reports are not available.\n\n%2  %3")
                 .arg(m_household.DataFolder() + CatalogueFileName)
                 .arg(error.number())
                 .arg(error.text()));
        return false;
    }
    cmbPageNum->addItems({QStringLiteral("In Header"), QStringLiteral("At Bottom"), QStringLiteral("No Page Numbers")});
    UseWithFilter = ReportUseWith;
    return ResetDesigner();
}

bool frmRptSpec::ResetDesigner()
{
    frame1->hide();
    ShownCriteria = 1;
    ReportCatalogue catalogue;
    try {
        catalogue = ReportCatalogue::load(*dbRptSpec, UseWithFilter);
    } catch (const DbError &error) {
        tell(QStringLiteral("The list of report fields cannot be read, so custom reports are not available.\n\n%1  %2")
                 .arg(error.number())
                 .arg(error.text()));
        return false;
    }
    if (catalogue.isEmpty()) {
        tell(
            QStringLiteral("The list of report fields offers no field for \"%1\", so custom reports are not available.")
                .arg(UseWithFilter));
        return false;
    }
    rsFields = std::move(catalogue);
    MaxSpecId = 0;
    for (const CatalogueField &field : rsFields.fields())
        MaxSpecId = qMax<qint16>(MaxSpecId, qint16(field.specid));

    // Every array anew: nothing of an earlier design survives a reset.
    Design = ReportSpec();
    Design.resizeFields(MaxSpecId);

    List1->clear();
    List2->clear();
    cmbSort1->clear();
    cmbSort2->clear();
    for (const CatalogueField *field : fieldsInCaptionOrder(rsFields)) {
        auto *entry = new QListWidgetItem(field->desc, List1);
        entry->setData(Qt::UserRole, field->specid);
        cmbSort1->addItem(field->desc, field->specid);
        cmbSort2->addItem(field->desc, field->specid);
        if (field->specid >= 1) {
            Design.FieldWidth[field->specid] = float(field->defwidth);
            Design.FieldIsCurrency[field->specid] = field->isCurrency;
        }
    }
    CurrentSpecId = 0;

    chkDate->setChecked(true);
    cmbPageNum->setCurrentIndex(0);
    clearDetails();
    optOrient[0]->setChecked(true);
    optReportTo[1]->setChecked(true);
    txtTitle->setText(DefaultTitle);
    cmbSort1->setCurrentIndex(-1);
    cmbSort2->setCurrentIndex(-1);
    m_unchecked = nullptr;
    m_refused = nullptr;
    ReportChanged = false;
    return true;
}

int frmRptSpec::specIdOf(const QListWidget *list, int row)
{
    return list->item(row)->data(Qt::UserRole).toInt();
}

void frmRptSpec::insertAvailable(const QString &text, int specid)
{
    int row = 0;
    while (row < List1->count() && captionOrderLess(List1->item(row)->text(), specIdOf(List1, row), text, specid))
        ++row;
    auto *entry = new QListWidgetItem(text);
    entry->setData(Qt::UserRole, specid);
    List1->insertItem(row, entry);
}

void frmRptSpec::cmdAdd_Click()
{
    ReportChanged = true;
    QListWidgetItem *picked = List1->currentItem();
    if (!picked || !picked->isSelected()) {
        tell(QStringLiteral("You must select a field from the list of available fields to add to the report."));
        return;
    }
    auto *entry = new QListWidgetItem(picked->text(), List2);
    entry->setData(Qt::UserRole, picked->data(Qt::UserRole));
    delete List1->takeItem(List1->row(picked));
    List1->setCurrentRow(-1);
    List1->clearSelection();
    List2->setCurrentItem(entry);
    frame1->show();
    ShowFieldDetails();
}

void frmRptSpec::List1_DblClick()
{
    cmdAdd_Click();
}

void frmRptSpec::cmdRemove_Click()
{
    ReportChanged = true;
    QListWidgetItem *picked = List2->currentItem();
    if (!picked || !picked->isSelected()) {
        tell(QStringLiteral("You must select a field to remove from the report."));
        return;
    }
    insertAvailable(picked->text(), picked->data(Qt::UserRole).toInt());
    delete List2->takeItem(List2->row(picked));
    List2->setCurrentRow(-1);
    List2->clearSelection();
    frame1->hide();
}

void frmRptSpec::cmdUp_Click()
{
    moveChosen(-1, QStringLiteral("You must select the field to move up in the list"));
}

void frmRptSpec::cmdDown_Click()
{
    moveChosen(+1, QStringLiteral("You must select the field to move down in the list"));
}

void frmRptSpec::moveChosen(int delta, const QString &refusal)
{
    ReportChanged = true;
    QListWidgetItem *picked = List2->currentItem();
    if (!picked || !picked->isSelected()) {
        tell(refusal);
        return;
    }
    const int row = List2->row(picked);
    const int target = row + delta;
    if (List2->count() < 2 || target < 0 || target >= List2->count())
        return;
    List2->insertItem(target, List2->takeItem(row));
    List2->setCurrentRow(target);
    ShowFieldDetails();
}

void frmRptSpec::List2_Click()
{
    ShowFieldDetails();
}

void frmRptSpec::optReportTo_Click()
{
    markChanged();
    const bool screen = optReportTo[1]->isChecked();
    fraOrient->setVisible(screen);
    fraFormat->setVisible(screen);
}

void frmRptSpec::cmdCancel_Click()
{
    close();
}

void frmRptSpec::mnuExit_Click()
{
    close();
}

void frmRptSpec::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        m_closing = true;
        askToSave();
    }
    event->accept();
}
