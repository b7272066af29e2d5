#include "claim/window/frmClaim.h"

#include "claim/ClaimDocument.h"
#include "data/Inventory.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "dates/Today.h"
#include "dates/calendar/DateBox.h"
#include "program/ConfirmReplaceFile.h"
#include "program/CountText.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/viewer/frmOutput.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

QPointer<frmClaim> s_instance;

const DateBoxRole LossDateRole{
    QStringLiteral("Select Date of Loss"),
    CalendarPlacement::LeftAlignedBelow,
    QStringLiteral("You must enter a valid Date of Loss, or leave the field blank"),
    true,
    QStringLiteral("Calendar for the date of loss"),
};

const QString LossDateAheadMessage = QStringLiteral(
    "The Date of Loss is after today's date.  Enter the day the loss happened, or leave the field blank.");

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

// A box for a few lines of text.
QPlainTextEdit *textArea(int lines, QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setTabChangesFocus(true);
    box->setFixedHeight(box->fontMetrics().lineSpacing() * lines + 12);
    return box;
}

} // namespace

void frmClaim::fillCodes(QComboBox *list, const QString &statement, const QString &column)
{
    m_household.trapDb([&] {
        if (!m_household.dbInventory())
            return;
        auto codes = m_household.dbInventory()->openRecordset(statement, RecordsetType::Snapshot);
        if (codes->recordCount() > 0) {
            for (codes->moveFirst(); !codes->eof(); codes->moveNext())
                list->addItem(codes->value(column).toString());
        }
    });
}

frmClaim *frmClaim::showClaim(Household &household, QWidget *mainWindow)
{
    if (!s_instance) {
        s_instance = new frmClaim(household, mainWindow);
        s_instance->Form_Load();
    }
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmClaim *frmClaim::instance()
{
    return s_instance;
}

frmClaim::frmClaim(Household &household, QWidget *mainWindow)
    : QDialog(mainWindow)
    , m_household(household)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmClaim"));
    setWindowTitle(QStringLiteral("Insurance Claim"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *items = new QGroupBox(QStringLiteral("Items to claim"), this);
    optAll = new QRadioButton(QStringLiteral("&All items"), items);
    optCategory = new QRadioButton(QStringLiteral("Items of the cate&gory"), items);
    cmbCategory = new QComboBox(items);
    optLocation = new QRadioButton(QStringLiteral("Items of the &location"), items);
    cmbLocation = new QComboBox(items);
    optReport = new QRadioButton(QStringLiteral("Items a &report file selects"), items);
    txtReport = new QLineEdit(items);
    cmdBrowseReport = button(QStringLiteral("&Browse..."), items);
    optAll->setChecked(true);
    // Beside their option buttons the lists and the box have no label of
    // their own; a screen reader would give them the group's title.
    cmbCategory->setAccessibleName(QStringLiteral("Category"));
    cmbLocation->setAccessibleName(QStringLiteral("Location"));
    txtReport->setAccessibleName(QStringLiteral("Report file"));
    cmdBrowseReport->setAccessibleName(QStringLiteral("Browse for the report file"));
    auto *itemsLayout = new QGridLayout(items);
    itemsLayout->addWidget(optAll, 0, 0);
    itemsLayout->addWidget(optCategory, 1, 0);
    itemsLayout->addWidget(cmbCategory, 1, 1, 1, 2);
    itemsLayout->addWidget(optLocation, 2, 0);
    itemsLayout->addWidget(cmbLocation, 2, 1, 1, 2);
    itemsLayout->addWidget(optReport, 3, 0);
    itemsLayout->addWidget(txtReport, 3, 1);
    itemsLayout->addWidget(cmdBrowseReport, 3, 2);
    itemsLayout->setColumnStretch(1, 1);

    auto *claimantBox = new QGroupBox(QStringLiteral("Claimant"), this);
    txtName = new QLineEdit(claimantBox);
    txtAddress = textArea(3, claimantBox);
    txtPolicy = new QLineEdit(claimantBox);
    dcLoss = new DateBox(LossDateRole, claimantBox);
    txtIncident = textArea(4, claimantBox);
    auto *claimantLayout = new QFormLayout(claimantBox);
    claimantLayout->addRow(QStringLiteral("&Name:"), txtName);
    claimantLayout->addRow(QStringLiteral("Addre&ss:"), txtAddress);
    claimantLayout->addRow(QStringLiteral("&Policy number:"), txtPolicy);
    claimantLayout->addRow(QStringLiteral("Date of l&oss:"), dcLoss);
    claimantLayout->addRow(QStringLiteral("&Incident:"), txtIncident);

    txtOutput = new QLineEdit(this);
    cmdBrowseOutput = button(QStringLiteral("Bro&wse..."), this);
    cmdBrowseOutput->setAccessibleName(QStringLiteral("Browse for the PDF file"));
    auto *outputLayout = new QHBoxLayout;
    outputLayout->addWidget(txtOutput, 1);
    outputLayout->addWidget(cmdBrowseOutput);
    auto *outputLabel = new QLabel(QStringLiteral("PDF &file:"), this);
    outputLabel->setBuddy(txtOutput);
    auto *outputForm = new QFormLayout;
    outputForm->addRow(outputLabel, outputLayout);

    cmdPreview = button(QStringLiteral("Pre&view"), this);
    cmdWrite = button(QStringLiteral("Write P&DF"), this);
    cmdClose = button(QStringLiteral("&Close"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdPreview);
    buttons->addWidget(cmdWrite);
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(items);
    layout->addWidget(claimantBox);
    layout->addLayout(outputForm);
    layout->addLayout(buttons);
    resize(620, sizeHint().height());

    // Choosing a category, a location or a report file chooses its option.
    connect(cmbCategory, &QComboBox::activated, this, [this] { optCategory->setChecked(true); });
    connect(cmbLocation, &QComboBox::activated, this, [this] { optLocation->setChecked(true); });
    connect(txtReport, &QLineEdit::textEdited, this, [this] { optReport->setChecked(true); });
    connect(cmdBrowseReport, &QPushButton::clicked, this, &frmClaim::cmdBrowseReport_Click);
    connect(cmdBrowseOutput, &QPushButton::clicked, this, &frmClaim::cmdBrowseOutput_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmClaim::cmdPreview_Click);
    connect(cmdWrite, &QPushButton::clicked, this, &frmClaim::cmdWrite_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmClaim::cmdClose_Click);
}

frmClaim::~frmClaim() = default;

void frmClaim::Form_Load()
{
    fillCodes(cmbCategory, CategoriesStatement, QStringLiteral("catDesc"));
    fillCodes(cmbLocation, LocationsStatement, QStringLiteral("locDesc"));
    QString problem;
    m_saved = readClaimantDetails(m_household.DataFolder(), &problem);
    if (!problem.isEmpty())
        prompts().message(QStringLiteral("The claimant details in %1 could not be read (%2). They will be written "
                                         "again when the claim is made.")
                              .arg(QDir::toNativeSeparators(m_household.DataFolder() + ClaimantFileName), problem),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
    txtName->setText(m_saved.name);
    txtAddress->setPlainText(m_saved.address);
    txtPolicy->setText(m_saved.policyNumber);
    dcLoss->setText(m_saved.dateOfLoss.isZero() ? QString() : formatShortDate(m_saved.dateOfLoss));
    txtIncident->setPlainText(m_saved.incident);
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QDir(documents).exists())
        documents = QDir::homePath();
    txtOutput->setText(QDir::toNativeSeparators(QDir(documents).filePath(
        QStringLiteral("Insurance claim %1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)))));
}

ClaimantDetails frmClaim::claimant() const
{
    ClaimantDetails details;
    details.name = txtName->text();
    details.address = txtAddress->toPlainText();
    details.policyNumber = txtPolicy->text();
    if (const std::optional<DateValue> loss = toDate(dcLoss->text()))
        details.dateOfLoss = DateValue::fromDate(loss->date());
    details.incident = txtIncident->toPlainText();
    return details;
}

ClaimSelection frmClaim::selection() const
{
    if (optCategory->isChecked())
        return {ClaimSelection::Kind::Category, cmbCategory->currentText()};
    if (optLocation->isChecked())
        return {ClaimSelection::Kind::Location, cmbLocation->currentText()};
    if (optReport->isChecked()) {
        // A bare name is a report file of the data folder, as on the command line.
        const QString name = QDir::fromNativeSeparators(txtReport->text().trimmed());
        return {ClaimSelection::Kind::ReportFile,
                name.isEmpty() || QDir::isAbsolutePath(name) ? name : QDir(m_household.DataFolder()).filePath(name)};
    }
    return {};
}

void frmClaim::cmdBrowseReport_Click()
{
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Report File");
    dialog.filter = QStringLiteral("Report Files (*.rpt;*.srp)|*.rpt;*.srp|All Files (*.*)|*.*");
    dialog.initialFolder = m_household.DataFolder();
    const std::optional<QString> chosen = prompts().openFileName(dialog);
    if (!chosen || chosen->isEmpty())
        return;
    txtReport->setText(QDir::toNativeSeparators(*chosen));
    optReport->setChecked(true);
}

void frmClaim::cmdBrowseOutput_Click()
{
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Write the Claim to");
    dialog.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*");
    dialog.fileName = txtOutput->text();
    dialog.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> chosen = prompts().saveFileName(dialog);
    if (chosen && !chosen->isEmpty())
        txtOutput->setText(QDir::toNativeSeparators(*chosen));
}

std::optional<QString> frmClaim::lossDateProblem() const
{
    if (dcLoss->text().isEmpty())
        return std::nullopt;
    const std::optional<DateValue> loss = toDate(dcLoss->text());
    if (!loss)
        return LossDateRole.invalidMessage;
    // A loss cannot lie ahead: such a date is a slip of the keyboard, and
    // an insurer would question the claim it stands on.
    if (loss->date() > today().date())
        return LossDateAheadMessage;
    return std::nullopt;
}

bool frmClaim::lossDateReadable()
{
    const std::optional<QString> problem = lossDateProblem();
    if (!problem)
        return true;
    prompts().message(*problem, Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
    dcLoss->setFocus();
    return false;
}

void frmClaim::saveClaimant()
{
    const ClaimantDetails details = claimant();
    if (details == m_saved)
        return;
    QString error;
    if (!writeClaimantDetails(m_household.DataFolder(), details, &error)) {
        prompts().message(QStringLiteral("The claimant details could not be saved in %1 (%2). The claim is made "
                                         "with them all the same.")
                              .arg(QDir::toNativeSeparators(m_household.DataFolder() + ClaimantFileName), error),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
        return;
    }
    m_saved = details;
}

std::optional<QList<ClaimItem>> frmClaim::chosenItems()
{
    const ClaimSelection chosen = selection();
    if (chosen.kind != ClaimSelection::Kind::All && chosen.name.isEmpty()) {
        prompts().message(chosen.kind == ClaimSelection::Kind::ReportFile
                              ? QStringLiteral("Name the report file whose items are claimed.")
                              : QStringLiteral("Choose the category or location whose items are claimed."),
                          Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        return std::nullopt;
    }
    std::optional<QList<ClaimItem>> items;
    QString problem;
    bool read = false;
    {
        const BusyCursor busy;
        m_household.trapDb([&] {
            items = selectClaimItems(m_household, chosen, &problem, claimant().dateOfLoss);
            read = true;
        });
    }
    if (!read)
        return std::nullopt;
    // A report file that cannot be used was told by the report engine.
    if (!items) {
        if (chosen.kind != ClaimSelection::Kind::ReportFile)
            prompts().message(problem, Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        return std::nullopt;
    }
    if (items->isEmpty()) {
        prompts().message(QStringLiteral("No items have been entered that may be included in the claim."),
                          Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        return std::nullopt;
    }
    return items;
}

void frmClaim::cmdPreview_Click()
{
    if (!lossDateReadable())
        return;
    saveClaimant();
    const std::optional<QList<ClaimItem>> items = chosenItems();
    if (!items)
        return;
    try {
        buildClaimDocument(*frmOutput::instance(m_household, m_mainWindow)->PrintPreview, claimant(), selection(),
                           *items, QDate::currentDate());
    } catch (const std::overflow_error &) {
        m_household.HandleDbError(DbError::overflow());
        return;
    }
    frmOutput::showOutput();
}

void frmClaim::cmdWrite_Click()
{
    if (!lossDateReadable())
        return;
    const QString path = QDir::fromNativeSeparators(txtOutput->text().trimmed());
    if (path.isEmpty()) {
        prompts().message(QStringLiteral("Name the PDF file to write the claim to."), Prompts::Buttons::Ok,
                          Prompts::Icon::None, ProgramTitle);
        txtOutput->setFocus();
        return;
    }
    saveClaimant();
    const std::optional<QList<ClaimItem>> items = chosenItems();
    if (!items)
        return;
    if (!ConfirmReplaceFile(path))
        return;
    PageLayout document;
    QString error;
    bool written = false;
    {
        const BusyCursor busy;
        try {
            buildClaimDocument(document, claimant(), selection(), *items, QDate::currentDate());
        } catch (const std::overflow_error &) {
            m_household.HandleDbError(DbError::overflow());
            return;
        }
        written = document.exportPdf(path, &error);
    }
    if (!written) {
        prompts().message(
            QStringLiteral("The file '%1' could not be written.\n\n%2").arg(QDir::toNativeSeparators(path), error),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
        return;
    }
    prompts().message(QStringLiteral("The claim of %1 on %2 was written to %3.")
                          .arg(countText(items->size(), QStringLiteral("item"), QStringLiteral("items")),
                               countText(document.pageCount(), QStringLiteral("page"), QStringLiteral("pages")),
                               QDir::toNativeSeparators(path)),
                      Prompts::Buttons::Ok, Prompts::Icon::Information, ProgramTitle);
}

void frmClaim::cmdClose_Click()
{
    close();
}

void frmClaim::closeEvent(QCloseEvent *event)
{
    // What was typed is kept for next time, as a claim would keep it.
    if (!lossDateProblem())
        saveClaimant();
    event->accept();
}
