#include "transfer/import/frmImport.h"

#include "dates/LocaleFormats.h"
#include "help/viewer/HelpKey.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
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

QString grouped(qint64 count)
{
    return QLocale().toString(count);
}

// Which column of the file a field choice maps, as a screen reader says it.
QString columnName(int column, const QString &heading)
{
    if (heading.isEmpty())
        return QStringLiteral("Column %1").arg(column + 1);
    return QStringLiteral("Column %1, %2").arg(column + 1).arg(heading);
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
    lblFile->setWordWrap(true);

    cmbSeparator = new QComboBox;
    cmbSeparator->setObjectName(QStringLiteral("cmbSeparator"));
    cmbSeparator->addItem(QStringLiteral("Comma ( , )"), int(','));
    cmbSeparator->addItem(QStringLiteral("Semicolon ( ; )"), int(';'));
    cmbSeparator->addItem(QStringLiteral("Tab"), int('\t'));
    cmbEncoding = new QComboBox;
    cmbEncoding->setObjectName(QStringLiteral("cmbEncoding"));
    for (const TextEncoding encoding :
         {TextEncoding::Utf8, TextEncoding::Windows1252, TextEncoding::MacRoman, TextEncoding::Utf16})
        cmbEncoding->addItem(encodingName(encoding), int(encoding));
    cmbNumbers = new QComboBox;
    cmbNumbers->setObjectName(QStringLiteral("cmbNumbers"));
    cmbNumbers->addItem(QStringLiteral("Plain, like 1234.56"), int(NumberStyle::Plain));
    cmbNumbers->addItem(QStringLiteral("Decimal point, like 1,234.56"), int(NumberStyle::DecimalPoint));
    cmbNumbers->addItem(QStringLiteral("Decimal comma, like 1.234,56 or 1 234,56"), int(NumberStyle::DecimalComma));
    cmbDates = new QComboBox;
    cmbDates->setObjectName(QStringLiteral("cmbDates"));
    cmbDates->addItem(QStringLiteral("Day first, like 24.12.2019"), int(DateStyle::DayMonthYear));
    cmbDates->addItem(QStringLiteral("Month first, like 12/24/2019"), int(DateStyle::MonthDayYear));
    cmbDates->addItem(QStringLiteral("Year first, like 2019-12-24"), int(DateStyle::YearMonthDay));

    auto *choices = new QGridLayout;
    const auto addChoice = [&](int row, int column, const QString &caption, QComboBox *box) {
        auto *label = new QLabel(caption);
        label->setBuddy(box);
        box->setAccessibleName(QString(caption).remove(u'&').remove(u':'));
        choices->addWidget(label, row, 2 * column);
        choices->addWidget(box, row, 2 * column + 1);
    };
    addChoice(0, 0, QStringLiteral("&Separator:"), cmbSeparator);
    addChoice(0, 1, QStringLiteral("&Encoding:"), cmbEncoding);
    addChoice(1, 0, QStringLiteral("&Numbers:"), cmbNumbers);
    addChoice(1, 1, QStringLiteral("&Dates:"), cmbDates);
    choices->setColumnStretch(4, 1);

    // The columns as rows of their own (not widgets inside a table's
    // cells), so that a screen reader finds every choice.
    m_columnsPage = new QWidget;
    m_columnsPage->setObjectName(QStringLiteral("columnsPage"));
    m_columnsGrid = new QGridLayout(m_columnsPage);
    m_columnsGrid->setContentsMargins(4, 4, 4, 4);
    m_columnsGrid->setVerticalSpacing(2);
    scrColumns = new QScrollArea;
    scrColumns->setObjectName(QStringLiteral("scrColumns"));
    scrColumns->setAccessibleName(QStringLiteral("Columns of the file"));
    scrColumns->setWidgetResizable(true);
    scrColumns->setFocusPolicy(Qt::NoFocus);
    scrColumns->setWidget(m_columnsPage);

    lblFindings = new QLabel;
    lblFindings->setObjectName(QStringLiteral("lblFindings"));
    lblFindings->setWordWrap(true);

    tblPreview = new QTableWidget;
    tblPreview->setObjectName(QStringLiteral("tblPreview"));
    tblPreview->setAccessibleName(QStringLiteral("The first rows as they will be stored"));
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPreview->setWordWrap(false);
    tblPreview->setTabKeyNavigation(false);

    lstProblems = new QListWidget;
    lstProblems->setObjectName(QStringLiteral("lstProblems"));
    lstProblems->setAccessibleName(QStringLiteral("Problems"));
    // A problem reads whole, over two lines when it must.
    lstProblems->setWordWrap(true);
    lstProblems->setResizeMode(QListView::Adjust);
    lstProblems->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

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
    (new QVBoxLayout(columnsBox))->addWidget(scrColumns);
    auto *problemsBox = new QGroupBox(QStringLiteral("Problems"));
    (new QVBoxLayout(problemsBox))->addWidget(lstProblems);
    auto *previewBox = new QGroupBox(QStringLiteral("The first rows as they will be stored"));
    auto *previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(lblFindings);
    previewLayout->addWidget(tblPreview, 1);

    auto *middle = new QHBoxLayout;
    middle->addWidget(columnsBox, 2);
    middle->addWidget(problemsBox, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblSummary, 1);
    buttons->addWidget(cmdImportAll);
    buttons->addWidget(cmdImportGood);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblFile);
    layout->addLayout(choices);
    layout->addLayout(middle, 3);
    layout->addWidget(previewBox, 3);
    layout->addLayout(buttons);

    showPlan();
    // Room for the columns, the problems and the preview, and still inside a
    // laptop screen of 1366 x 768 with its panel (or a smaller screen).
    QSize room(1100, 660);
    if (const QScreen *display = screen())
        room = room.boundedTo(display->availableGeometry().size() - QSize(40, 60));
    resize(room.expandedTo(minimumSizeHint()));

    connect(cmbSeparator, &QComboBox::activated, this, &frmImport::cmbSeparator_Click);
    connect(cmbEncoding, &QComboBox::activated, this, &frmImport::cmbEncoding_Click);
    connect(cmbNumbers, &QComboBox::activated, this, &frmImport::cmbNumbers_Click);
    connect(cmbDates, &QComboBox::activated, this, &frmImport::cmbDates_Click);
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
            // Checked here, under the hourglass, rather than while the window opens.
            plan->summary();
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
    return column >= 0 && std::size_t(column) < m_fieldChoices.size() ? m_fieldChoices[std::size_t(column)] : nullptr;
}

void frmImport::showPlan()
{
    cmbSeparator->setCurrentIndex(cmbSeparator->findData(int(m_plan.separator())));
    cmbEncoding->setCurrentIndex(cmbEncoding->findData(int(m_plan.encoding())));
    cmbNumbers->setCurrentIndex(cmbNumbers->findData(int(m_plan.numberStyle())));
    cmbDates->setCurrentIndex(cmbDates->findData(int(m_plan.dateStyle())));
    showColumns();

    QStringList findings;
    for (const QString &note : {describeNumbers(m_plan), describeDates(m_plan)}) {
        if (!note.isEmpty())
            findings << note;
    }
    lblFindings->setText(findings.join(u'\n'));
    lblFindings->setVisible(!findings.isEmpty());

    const ImportSummary *summary = nullptr;
    QString failure;
    try {
        summary = &m_plan.summary();
    } catch (const ImportError &error) {
        failure = error.message();
    }
    const ImportSummary none;
    showPreview(summary ? *summary : none);
    showProblems(summary ? *summary : none);

    const int rows = summary ? summary->rows : 0;
    const int good = summary ? summary->goodRows : 0;
    const int storable = summary ? summary->storableRows : 0;
    const bool allGood = good == rows && !m_plan.unclosedQuoteLine();
    QString text;
    if (!summary)
        text = failure;
    else if (!m_plan.mapsDescription())
        text = QStringLiteral("Choose the column that holds the item descriptions (Imported as: %1).")
                   .arg(fieldCaption(ItemField::Item));
    else if (rows == 0)
        text = QStringLiteral("The file holds no rows of items.");
    else if (allGood)
        text = QStringLiteral("%1, all good.").arg(countOf(rows, QStringLiteral("row"), QStringLiteral("rows")));
    else
        text = QStringLiteral("%1: %2 good, %3 with problems (%4 of them cannot be imported).")
                   .arg(countOf(rows, QStringLiteral("row"), QStringLiteral("rows")), grouped(good),
                        grouped(rows - good), grouped(rows - storable));
    lblSummary->setText(text);

    const bool canImport = summary && m_plan.mapsDescription() && storable > 0;
    cmdImportAll->setVisible(canImport);
    cmdImportAll->setText(allGood ? QStringLiteral("&Import ")
                                  + (rows == 1 ? QStringLiteral("1 Row") : QStringLiteral("%1 Rows").arg(grouped(rows)))
                                  : QStringLiteral("Import &All Rows (%1)").arg(grouped(storable)));
    cmdImportGood->setVisible(canImport && !allGood && good > 0);
    cmdImportGood->setText(QStringLiteral("Import &Good Rows Only (%1)").arg(grouped(good)));
}

// One row per column of the file: its number, its heading, the field it
// goes into and its first value. Made again only when the headings change,
// so that a choice being made keeps its place and the focus.
void frmImport::buildColumns()
{
    for (QWidget *child : m_columnsPage->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        m_columnsGrid->removeWidget(child);
        child->hide();
        child->deleteLater();
    }
    m_fieldChoices.clear();
    m_firstValues.clear();
    const QStringList captions = {QStringLiteral("Column"), QStringLiteral("Heading"), QStringLiteral("Imported as"),
                                  QStringLiteral("First value")};
    for (int c = 0; c < captions.size(); ++c) {
        auto *caption = new QLabel(QStringLiteral("<b>%1</b>").arg(captions[c]));
        m_columnsGrid->addWidget(caption, 0, c);
    }
    const QStringList &headings = m_plan.headings();
    const QFontMetrics metrics(font());
    for (int column = 0; column < headings.size(); ++column) {
        const int row = column + 1;
        m_columnsGrid->addWidget(new QLabel(QString::number(column + 1)), row, 0);
        auto *heading = new QLabel(metrics.elidedText(headings[column], Qt::ElideRight, 220));
        heading->setToolTip(headings[column]);
        m_columnsGrid->addWidget(heading, row, 1);
        auto *choice = new QComboBox;
        choice->setObjectName(QStringLiteral("cmbField%1").arg(column + 1));
        // A screen reader on Linux names a drop-down list by the label it
        // belongs to (elsewhere by its own accessible name): both say which
        // column the choice maps.
        heading->setAccessibleName(columnName(column, headings[column]));
        heading->setBuddy(choice);
        choice->setAccessibleName(columnName(column, headings[column]) + QStringLiteral(", imported as"));
        choice->addItem(QStringLiteral("(not imported)"), int(ItemField::None));
        for (const ItemField field : allItemFields())
            choice->addItem(fieldCaption(field), int(field));
        connect(choice, &QComboBox::activated, this, [this, column] { cmbField_Click(column); });
        m_columnsGrid->addWidget(choice, row, 2);
        m_fieldChoices.push_back(choice);
        auto *value = new QLabel;
        m_columnsGrid->addWidget(value, row, 3);
        m_firstValues.push_back(value);
    }
    m_columnsGrid->setColumnStretch(3, 1);
    m_columnsGrid->setRowStretch(int(headings.size()) + 1, 1);
    m_shownHeadings = headings;
    // Tab goes through the window as it reads: the choices of the file, the
    // columns, the problems, the rows, the buttons.
    QWidget *previous = cmbDates;
    for (QWidget *next : std::vector<QWidget *>(m_fieldChoices.begin(), m_fieldChoices.end()))
        setTabOrder(std::exchange(previous, next), next);
    for (QWidget *next :
         {static_cast<QWidget *>(lstProblems), static_cast<QWidget *>(tblPreview), static_cast<QWidget *>(cmdImportAll),
          static_cast<QWidget *>(cmdImportGood), static_cast<QWidget *>(cmdCancel)})
        setTabOrder(std::exchange(previous, next), next);
}

void frmImport::showColumns()
{
    if (m_shownHeadings != m_plan.headings() || m_fieldChoices.empty())
        buildColumns();
    const std::vector<CsvRecord> &first = m_plan.firstRecords();
    const QFontMetrics metrics(font());
    for (std::size_t column = 0; column < m_fieldChoices.size(); ++column) {
        QComboBox *choice = m_fieldChoices[column];
        choice->setCurrentIndex(choice->findData(int(m_plan.mapping()[column])));
        const QString value = first.size() > 1 ? recordField(first[1], int(column)) : QString();
        m_firstValues[column]->setText(metrics.elidedText(value, Qt::ElideRight, 300));
        m_firstValues[column]->setToolTip(value);
    }
}

void frmImport::showPreview(const ImportSummary &summary)
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
    const std::vector<CheckedItem> &rows = summary.firstRows;
    tblPreview->clear();
    tblPreview->setColumnCount(int(shown.size()));
    tblPreview->setRowCount(int(rows.size()));
    QStringList captions;
    for (const ItemField field : shown)
        captions << fieldCaption(field);
    tblPreview->setHorizontalHeaderLabels(captions);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const CheckedItem &item = rows[r];
        tblPreview->setVerticalHeaderItem(int(r), new QTableWidgetItem(QStringLiteral("Line %1").arg(item.line)));
        for (std::size_t c = 0; c < shown.size(); ++c) {
            auto *cell = new QTableWidgetItem(previewText(item[shown[c]]));
            if (item.isTroubled(shown[c]))
                cell->setBackground(QColor(255, 205, 205));
            tblPreview->setItem(int(r), int(c), cell);
        }
    }
    tblPreview->resizeColumnsToContents();
}

void frmImport::showProblems(const ImportSummary &summary)
{
    lstProblems->clear();
    for (const ImportProblem &problem : summary.problems)
        lstProblems->addItem(describeProblem(problem));
    const qint64 more = summary.problemCount - qint64(summary.problems.size());
    if (more > 0)
        lstProblems->addItem(QStringLiteral("... and %1 more.").arg(grouped(more)));
    if (summary.problemCount == 0)
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
        m_plan.summary();
    } catch (const ImportError &error) {
        prompts().message(error.message(), Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
        // Back to what could be read before.
        try {
            m_plan.setEncoding(encoding);
            m_plan.setSeparator(separator);
        } catch (const ImportError &) {
            // The file itself is gone or changed: the window says so below.
        }
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

void frmImport::cmbDates_Click()
{
    replan([this] { m_plan.setDateStyle(DateStyle(cmbDates->currentData().toInt())); });
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
    QString failure;
    {
        BusyCursor busy;
        // One transaction: a lock held by another program is tried again
        // as every write is; any other failure stores nothing.
        try {
            m_household.withLockRetry([&] { outcome = storeImportedItems(m_household.inventory(), m_plan, choice); });
        } catch (const ImportError &error) {
            failure = error.message();
        }
        m_household.freeInventoryLocks();
    }
    if (!failure.isEmpty()) {
        prompts().message(failure + QStringLiteral(" Nothing was imported."), Prompts::Buttons::Ok,
                          Prompts::Icon::Exclamation, Caption);
        return;
    }
    if (!outcome)
        return;
    m_outcome = outcome;
    QString text = outcome->items == 1 ? QStringLiteral("1 item was imported.")
                                       : QStringLiteral("%1 items were imported.").arg(grouped(outcome->items));
    if (outcome->categoriesAdded > 0 || outcome->locationsAdded > 0)
        text += QStringLiteral(" New categories: %1. New locations: %2.")
                    .arg(grouped(outcome->categoriesAdded), grouped(outcome->locationsAdded));
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
