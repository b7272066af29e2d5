#include "claim/window/frmReadiness.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/SqliteSupport.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "program/ConfirmReplaceFile.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/viewer/frmOutput.h"

#include <QDate>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

QPointer<frmReadiness> s_instance;

constexpr int CategoryKeyRole = Qt::UserRole;

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmReadiness *frmReadiness::showReadiness(Household &household, QWidget *mainWindow)
{
    if (!s_instance) {
        s_instance = new frmReadiness(household, mainWindow);
        s_instance->Form_Load();
    }
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmReadiness *frmReadiness::instance()
{
    return s_instance;
}

frmReadiness::frmReadiness(Household &household, QWidget *mainWindow)
    : QDialog(mainWindow)
    , m_household(household)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmReadiness"));
    setWindowTitle(QStringLiteral("Claim Readiness"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    txtReceiptAbove = new QLineEdit(this);
    auto *receiptLabel = new QLabel(QStringLiteral("A &receipt is needed for items worth more than:"), this);
    receiptLabel->setBuddy(txtReceiptAbove);
    lstSerial = new QListWidget(this);
    lstSerial->setAccessibleName(QStringLiteral("Categories whose items usually have a serial number"));
    auto *serialLabel =
        new QLabel(QStringLiteral("Items of the &ticked categories usually have a serial number:"), this);
    serialLabel->setBuddy(lstSerial);
    lblSummary = new QLabel(this);
    lblSummary->setWordWrap(true);

    cmdPreview = button(QStringLiteral("Pre&view"), this);
    cmdWriteCsv = button(QStringLiteral("Write &CSV..."), this);
    cmdClose = button(QStringLiteral("C&lose"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdPreview);
    buttons->addWidget(cmdWriteCsv);
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(receiptLabel);
    layout->addWidget(txtReceiptAbove);
    layout->addWidget(serialLabel);
    layout->addWidget(lstSerial, 1);
    layout->addWidget(lblSummary);
    layout->addLayout(buttons);
    resize(480, 460);

    connect(cmdPreview, &QPushButton::clicked, this, &frmReadiness::cmdPreview_Click);
    connect(cmdWriteCsv, &QPushButton::clicked, this, &frmReadiness::cmdWriteCsv_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmReadiness::cmdClose_Click);
}

frmReadiness::~frmReadiness() = default;

void frmReadiness::Form_Load()
{
    m_household.trapDb([&] {
        const ReadinessChoices kept = readReadinessChoices(m_household);
        txtReceiptAbove->setText(formatCurrency(kept.receiptAbove));
        Statement categories(m_household.inventory().handle(),
                             QStringLiteral("select catid, catDesc from categories order by fold(catDesc), catid"));
        while (categories.step(SqlContext::Read)) {
            auto *entry = new QListWidgetItem(categories.rawValue(1).toString(), lstSerial);
            entry->setData(CategoryKeyRole, categories.int64Value(0));
            entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            entry->setCheckState(kept.serialCategories.contains(categories.int64Value(0)) ? Qt::Checked
                                                                                          : Qt::Unchecked);
        }
        if (lstSerial->count() > 0)
            lstSerial->setCurrentRow(0);
    });
}

std::optional<ReadinessChoices> frmReadiness::choices()
{
    ReadinessChoices chosen;
    const std::optional<Money> above = toMoney(txtReceiptAbove->text().trimmed());
    if (!above || *above < Money()) {
        prompts().message(QStringLiteral("Enter the value above which an item needs a receipt, such as %1.")
                              .arg(formatCurrency(Money::fromUnits(500 * Money::Scale))),
                          Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        txtReceiptAbove->setFocus();
        txtReceiptAbove->selectAll();
        return std::nullopt;
    }
    chosen.receiptAbove = *above;
    for (int row = 0; row < lstSerial->count(); ++row) {
        const QListWidgetItem *entry = lstSerial->item(row);
        if (entry->checkState() == Qt::Checked)
            chosen.serialCategories.insert(entry->data(CategoryKeyRole).toLongLong());
    }
    return chosen;
}

std::optional<Readiness> frmReadiness::check(const ReadinessChoices &choices)
{
    std::optional<Readiness> readiness;
    const BusyCursor busy;
    m_household.trapDb([&] {
        writeReadinessChoices(m_household, choices);
        try {
            readiness = checkReadiness(m_household, choices);
        } catch (const std::overflow_error &) {
            m_household.HandleDbError(DbError::overflow());
        }
    });
    if (readiness)
        showSummary(*readiness);
    return readiness;
}

void frmReadiness::showSummary(const Readiness &readiness)
{
    QStringList counts;
    for (int s = 0; s < ShortfallCount; ++s)
        counts << QStringLiteral("%1: %2").arg(shortfallName(Shortfall(s))).arg(readiness.counts[size_t(s)]);
    counts << QStringLiteral("%1: %2").arg(ToCompleteGroup).arg(readiness.toComplete);
    const std::optional<double> share = readiness.documentedShare();
    lblSummary->setText(
        counts.join(QStringLiteral(", ")) + QStringLiteral(".\n")
        + (share
               ? QStringLiteral("%1 % of the value is fully documented.").arg(QLocale().toString(*share * 100, 'f', 1))
               : QStringLiteral("No item has a value yet.")));
}

void frmReadiness::cmdPreview_Click()
{
    const std::optional<ReadinessChoices> chosen = choices();
    if (!chosen)
        return;
    const std::optional<Readiness> readiness = check(*chosen);
    if (!readiness)
        return;
    buildReadinessDocument(*frmOutput::instance(m_household, m_mainWindow)->PrintPreview, *readiness, *chosen,
                           QDate::currentDate());
    frmOutput::showOutput();
}

void frmReadiness::cmdWriteCsv_Click()
{
    const std::optional<ReadinessChoices> chosen = choices();
    if (!chosen)
        return;
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Write the Claim Readiness to");
    dialog.filter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.fileName = QStringLiteral("Claim readiness.csv");
    const std::optional<QString> path = prompts().saveFileName(dialog);
    if (!path || path->isEmpty() || !ConfirmReplaceFile(*path))
        return;
    const std::optional<Readiness> readiness = check(*chosen);
    if (!readiness)
        return;
    QString error;
    if (!writeReadinessCsv(*path, *readiness, &error)) {
        prompts().message(
            QStringLiteral("The file '%1' could not be written.\n\n%2").arg(QDir::toNativeSeparators(*path), error),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
        return;
    }
    prompts().message(
        QStringLiteral("The items that would weaken a claim were written to %1.").arg(QDir::toNativeSeparators(*path)),
        Prompts::Buttons::Ok, Prompts::Icon::Information, ProgramTitle);
}

void frmReadiness::cmdClose_Click()
{
    close();
}
