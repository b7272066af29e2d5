#include "transfer/import/frmImport.h"

#include "dates/LocaleFormats.h"
#include "help/viewer/HelpKey.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int TopicImport = 50;

// The text of one value as the preview shows it: as the form would.
QString previewText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (value.typeId() == qMetaTypeId<Money>())
        return formatCurrency(value.value<Money>());
    if (value.typeId() == qMetaTypeId<DateValue>())
        return formatShortDate(value.value<DateValue>());
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    QString text = value.toString();
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text.size() > 200 ? text.left(200) + QChar(0x2026) : text;
}

QString recordField(const CsvRecord &record, int column)
{
    if (column >= record.fields.size() || !record.fields[column])
        return QString();
    QString text = *record.fields[column];
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text.size() > 80 ? text.left(80) + QChar(0x2026) : text;
}

} // namespace

frmImport::frmImport(Household &household, ImportPlan plan, const QString &fileName, QWidget *parent)
    : QDialog(parent)
    , m_household(household)
    , m_plan(std::move(plan))
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(Caption);
    setHelpTopic(this, TopicImport);
    setModal(true);

    lblFile = new QLabel(QStringLiteral("File: ") + QDir::toNativeSeparators(fileName));
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmbSeparator = new QComboBox;
    cmbSeparator->setObjectName(QStringLiteral("cmbSeparator"));
    cmbSeparator->addItem(QStringLiteral("Comma ( , )"), int(','));
    cmbSeparator->addItem(QStringLiteral("Semicolon ( ; )"), int(';'));
    cmbSeparator->addItem(QStringLiteral("Tab"), int('\t'));
    cmbEncoding = new QComboBox;
    cmbEncoding->setObjectName(QStringLiteral("cmbEncoding"));
    cmbEncoding->addItem(QStringLiteral("UTF-8"), int(TextEncoding::Utf8));
    cmbEncoding->addItem(QStringLiteral("Windows-1252 (Western)"), int(TextEncoding::Windows1252));
    cmbEncoding->addItem(QStringLiteral("UTF-16"), int(TextEncoding::Utf16));
    cmbNumbers = new QComboBox;
    cmbNumbers->setObjectName(QStringLiteral("cmbNumbers"));
    cmbNumbers->addItem(QStringLiteral("Plain, like 1234.56"), int(NumberStyle::Plain));
    cmbNumbers->addItem(
        QStringLiteral("As this computer writes them, like %1").arg(formatCurrency(Money::fromUnits(12345600))),
        int(NumberStyle::Locale));

    auto *choices = new QHBoxLayout;
    const auto addChoice = [&](const QString &caption, QComboBox *box) {
        auto *label = new QLabel(caption);
        label->setBuddy(box);
        choices->addWidget(label);
        choices->addWidget(box);
        choices->addSpacing(12);
    };
    addChoice(QStringLiteral("&Separator:"), cmbSeparator);
    addChoice(QStringLiteral("&Encoding:"), cmbEncoding);
    addChoice(QStringLiteral("&Numbers:"), cmbNumbers);
    choices->addStretch(1);

    tblColumns = new QTableWidget(0, 4);
    tblColumns->setObjectName(QStringLiteral("tblColumns"));
    tblColumns->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Heading"),
                                           QStringLiteral("Imported as"), QStringLiteral("First value")});
    tblColumns->verticalHeader()->hide();
    tblColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblColumns->setSelectionMode(QAbstractItemView::NoSelection);
    tblColumns->horizontalHeader()->setStretchLastSection(true);

    tblPreview = new QTableWidget;
    tblPreview->setObjectName(QStringLiteral("tblPreview"));
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPreview->setWordWrap(false);

    lstProblems = new QListWidget;
    lstProblems->setObjectName(QStringLiteral("lstProblems"));

    lblSummary = new QLabel;
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    cmdImportAll = new QPushButton(QStringLiteral("Import &All Rows"));
    cmdImportAll->setObjectName(QStringLiteral("cmdImportAll"));
    cmdImportGood = new QPushButton(QStringLiteral("Import &Good Rows Only"));
    cmdImportGood->setObjectName(QStringLiteral("cmdImportGood"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton *button : {cmdImportAll, cmdImportGood, cmdCancel})
        button->setAutoDefault(false);

    auto *columnsBox = new QGroupBox(QStringLiteral("Columns of the file"));
    (new QVBoxLayout(columnsBox))->addWidget(tblColumns);
    auto *previewBox = new QGroupBox(QStringLiteral("The first rows as they will be stored"));
    (new QVBoxLayout(previewBox))->addWidget(tblPreview);
    auto *problemsBox = new QGroupBox(QStringLiteral("Problems"));
    (new QVBoxLayout(problemsBox))->addWidget(lstProblems);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblSummary, 1);
    buttons->addWidget(cmdImportAll);
    buttons->addWidget(cmdImportGood);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblFile);
    layout->addLayout(choices);
    layout->addWidget(columnsBox, 3);
    layout->addWidget(previewBox, 3);
    layout->addWidget(problemsBox, 2);
    layout->addLayout(buttons);
    resize(960, 760);

    showPlan();

    connect(cmbSeparator, &QComboBox::activated, this, &frmImport::cmbSeparator_Click);
    connect(cmbEncoding, &QComboBox::activated, this, &frmImport::cmbEncoding_Click);
    connect(cmbNumbers, &QComboBox::activated, this, &frmImport::cmbNumbers_Click);
    connect(cmdImportAll, &QPushButton::clicked, this, &frmImport::cmdImportAll_Click);
    connect(cmdImportGood, &QPushButton::clicked, this, &frmImport::cmdImportGood_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmImport::cmdCancel_Click);
}

frmImport::~frmImport() = default;

std::optional<ImportOutcome> frmImport::runImport(Household &household, QWidget *owner, const QString &path)
{
    std::optional<ImportPlan> plan;
    {
        BusyCursor busy;
        try {
            plan = ImportPlan::fromFile(path);
        } catch (const ImportError &error) {
            prompts().message(error.message(), Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
            return std::nullopt;
        }
    }
    frmImport window(household, std::move(*plan), path, owner);
    window.exec();
    return window.outcome();
}

QComboBox *frmImport::fieldChoice(int column) const
{
    return qobject_cast<QComboBox *>(tblColumns->cellWidget(column, 2));
}

void frmImport::showPlan()
{
    cmbSeparator->setCurrentIndex(cmbSeparator->findData(int(m_plan.separator())));
    cmbEncoding->setCurrentIndex(cmbEncoding->findData(int(m_plan.encoding())));
    cmbNumbers->setCurrentIndex(cmbNumbers->findData(int(m_plan.numberStyle())));
    showColumns();
    showPreview();
    showProblems();

    const int rows = int(m_plan.rows().size());
    const int good = m_plan.goodRows();
    const int storable = m_plan.storableRows();
    QString summary;
    if (!m_plan.mapsDescription())
        summary = QStringLiteral("Choose the column that holds the item descriptions (Imported as: %1).")
                      .arg(fieldCaption(ItemField::Item));
    else if (rows == 0)
        summary = QStringLiteral("The file holds no rows of items.");
    else if (good == rows && !m_plan.unclosedQuoteLine())
        summary = QStringLiteral("%1 rows, all good.").arg(rows);
    else
        summary = QStringLiteral("%1 rows: %2 good, %3 with problems (%4 of them cannot be imported).")
                      .arg(rows)
                      .arg(good)
                      .arg(rows - good)
                      .arg(rows - storable);
    lblSummary->setText(summary);

    const bool canImport = m_plan.mapsDescription() && storable > 0;
    const bool allGood = good == rows && !m_plan.unclosedQuoteLine();
    cmdImportAll->setVisible(canImport);
    const auto counted = [](int count) {
        return count == 1 ? QStringLiteral("1 Row") : QStringLiteral("%1 Rows").arg(count);
    };
    cmdImportAll->setText(allGood ? QStringLiteral("&Import ") + counted(rows)
                                  : QStringLiteral("Import &All Rows (%1)").arg(storable));
    cmdImportGood->setVisible(canImport && !allGood && good > 0);
    cmdImportGood->setText(QStringLiteral("Import &Good Rows Only (%1)").arg(good));
}

void frmImport::showColumns()
{
    const QStringList &headings = m_plan.headings();
    const std::vector<CsvRecord> first = m_plan.firstRecords(2);
    tblColumns->setRowCount(int(headings.size()));
    for (int column = 0; column < headings.size(); ++column) {
        tblColumns->setItem(column, 0, new QTableWidgetItem(QString::number(column + 1)));
        tblColumns->setItem(column, 1, new QTableWidgetItem(headings[column]));
        tblColumns->setItem(column, 3,
                            new QTableWidgetItem(first.size() > 1 ? recordField(first[1], column) : QString()));
        auto *choice = new QComboBox;
        choice->setObjectName(QStringLiteral("cmbField%1").arg(column + 1));
        choice->addItem(QStringLiteral("(not imported)"), int(ItemField::None));
        for (const ItemField field : allItemFields())
            choice->addItem(fieldCaption(field), int(field));
        choice->setCurrentIndex(choice->findData(int(m_plan.mapping()[std::size_t(column)])));
        connect(choice, &QComboBox::activated, this, [this, column] { cmbField_Click(column); });
        tblColumns->setCellWidget(column, 2, choice);
    }
    tblColumns->resizeColumnsToContents();
    tblColumns->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
}

void frmImport::showPreview()
{
    std::vector<ItemField> shown;
    for (const ItemField field : allItemFields()) {
        if (std::find(m_plan.mapping().begin(), m_plan.mapping().end(), field) != m_plan.mapping().end())
            shown.push_back(field);
    }
    // Fields the import fills in although no column names them.
    for (const ItemField implied : {ItemField::Quantity, ItemField::EstValue, ItemField::TotValue}) {
        if (std::find(shown.begin(), shown.end(), implied) == shown.end())
            shown.push_back(implied);
    }
    QSet<QString> troubled;
    for (const ImportProblem &problem : m_plan.problems())
        troubled.insert(QStringLiteral("%1/%2").arg(problem.line).arg(int(problem.field)));

    const std::size_t rows = std::min<std::size_t>(PreviewRows, m_plan.rows().size());
    tblPreview->clear();
    tblPreview->setColumnCount(int(shown.size()));
    tblPreview->setRowCount(int(rows));
    QStringList captions;
    for (const ItemField field : shown)
        captions << fieldCaption(field);
    tblPreview->setHorizontalHeaderLabels(captions);
    for (std::size_t r = 0; r < rows; ++r) {
        const CheckedItem &item = m_plan.rows()[r];
        tblPreview->setVerticalHeaderItem(int(r), new QTableWidgetItem(QStringLiteral("Line %1").arg(item.line)));
        for (std::size_t c = 0; c < shown.size(); ++c) {
            auto *cell = new QTableWidgetItem(previewText(item[shown[c]]));
            if (troubled.contains(QStringLiteral("%1/%2").arg(item.line).arg(int(shown[c]))))
                cell->setBackground(QColor(255, 205, 205));
            tblPreview->setItem(int(r), int(c), cell);
        }
    }
    tblPreview->resizeColumnsToContents();
}

void frmImport::showProblems()
{
    lstProblems->clear();
    const std::vector<ImportProblem> &problems = m_plan.problems();
    for (std::size_t i = 0; i < problems.size() && i < std::size_t(ListedProblems); ++i)
        lstProblems->addItem(describeProblem(problems[i]));
    if (problems.size() > std::size_t(ListedProblems))
        lstProblems->addItem(QStringLiteral("... and %1 more.").arg(problems.size() - std::size_t(ListedProblems)));
    if (problems.empty())
        lstProblems->addItem(QStringLiteral("None."));
}

template <class Change>
void frmImport::replan(Change &&change)
{
    const TextEncoding encoding = m_plan.encoding();
    const char separator = m_plan.separator();
    try {
        BusyCursor busy;
        change();
    } catch (const ImportError &error) {
        prompts().message(error.message(), Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
        // Back to what could be read before.
        m_plan.setEncoding(encoding);
        m_plan.setSeparator(separator);
    }
    showPlan();
}

void frmImport::cmbSeparator_Click()
{
    replan([this] { m_plan.setSeparator(char(cmbSeparator->currentData().toInt())); });
}

void frmImport::cmbEncoding_Click()
{
    replan([this] { m_plan.setEncoding(TextEncoding(cmbEncoding->currentData().toInt())); });
}

void frmImport::cmbNumbers_Click()
{
    replan([this] { m_plan.setNumberStyle(NumberStyle(cmbNumbers->currentData().toInt())); });
}

void frmImport::cmbField_Click(int column)
{
    const QComboBox *choice = fieldChoice(column);
    if (!choice)
        return;
    replan([&] { m_plan.setMapping(column, ItemField(choice->currentData().toInt())); });
}

void frmImport::importRows(ImportChoice choice)
{
    if (!m_household.dbInventory())
        return;
    std::optional<ImportOutcome> outcome;
    {
        BusyCursor busy;
        // One transaction: a lock held by another program is tried again
        // as every write is; any other failure stores nothing.
        m_household.withLockRetry(
            [&] { outcome = storeImportedItems(m_household.inventory(), m_plan.rows(), choice); });
        m_household.freeInventoryLocks();
    }
    if (!outcome)
        return;
    m_outcome = outcome;
    QString text = outcome->items == 1 ? QStringLiteral("1 item was imported.")
                                       : QStringLiteral("%1 items were imported.").arg(outcome->items);
    if (outcome->categoriesAdded > 0 || outcome->locationsAdded > 0)
        text += QStringLiteral(" New categories: %1. New locations: %2.")
                    .arg(outcome->categoriesAdded)
                    .arg(outcome->locationsAdded);
    prompts().message(text, Prompts::Buttons::Ok, Prompts::Icon::Information, Caption);
    accept();
}

void frmImport::cmdImportAll_Click()
{
    importRows(ImportChoice::AllRows);
}

void frmImport::cmdImportGood_Click()
{
    importRows(ImportChoice::GoodRowsOnly);
}

void frmImport::cmdCancel_Click()
{
    reject();
}
