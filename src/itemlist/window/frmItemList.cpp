#include "itemlist/window/frmItemList.h"

#include "dates/LocaleFormats.h"
#include "help/viewer/HelpKey.h"
#include "itemlist/ItemListModel.h"
#include "program/CountText.h"
#include "program/Household.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QPointer<frmItemList> s_instance;

constexpr int TopicItemList = 52;

} // namespace

frmItemList *frmItemList::showItemList(Household &household, QWidget *owner, ShowItem showItem)
{
    if (!s_instance) {
        s_instance = new frmItemList(household, owner, std::move(showItem));
        s_instance->Form_Load();
    }
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmItemList *frmItemList::instance()
{
    return s_instance;
}

frmItemList::frmItemList(Household &household, QWidget *owner, ShowItem showItem)
    // No parent: a window with one stays in front of it, and would hide the
    // item it was asked to show there.
    : QDialog(nullptr)
    , m_household(household)
    , m_owner(owner)
    , m_showItem(std::move(showItem))
{
    if (owner)
        connect(owner, &QObject::destroyed, this, [this] { delete this; });
    setObjectName(QStringLiteral("frmItemList"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(Caption);
    setHelpTopic(this, TopicItemList);
    // A list wants room: minimise and maximise like a main window.
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    txtSearch = new QLineEdit;
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setPlaceholderText(QStringLiteral("Words from any field of the items"));
    txtSearch->setClearButtonEnabled(true);
    // The clear button shows only its icon; its text is what a screen reader says.
    for (QAction *action : txtSearch->actions())
        action->setText(QStringLiteral("Clear the search"));
    auto *lblSearch = new QLabel(QStringLiteral("&Search:"));
    lblSearch->setBuddy(txtSearch);
    chkToComplete = new QCheckBox(QStringLiteral("Only Items &to Complete"));
    chkToComplete->setObjectName(QStringLiteral("chkToComplete"));
    chkToComplete->setAccessibleName(QStringLiteral("Only items to complete"));
    chkToComplete->setToolTip(QStringLiteral("The items made from photos whose value is still to be typed"));

    grdItems = new QTableView;
    grdItems->setObjectName(QStringLiteral("grdItems"));
    grdItems->setAccessibleName(QStringLiteral("Items"));
    grdItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdItems->setSelectionMode(QAbstractItemView::SingleSelection);
    grdItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdItems->setAlternatingRowColors(true);
    grdItems->setWordWrap(false);
    // Tab goes on to the buttons; the arrows move through the cells.
    grdItems->setTabKeyNavigation(false);
    grdItems->verticalHeader()->hide();
    grdItems->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdItems->horizontalHeader()->setStretchLastSection(false);
    grdItems->horizontalHeader()->setSectionsMovable(false);

    lblSummary = new QLabel;
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    cmdShow = new QPushButton(QStringLiteral("S&how Item"));
    cmdShow->setObjectName(QStringLiteral("cmdShow"));
    cmdShow->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("&Close"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(lblSearch);
    searchRow->addWidget(txtSearch, 1);
    searchRow->addWidget(chkToComplete);
    auto *bottomRow = new QHBoxLayout;
    bottomRow->addWidget(lblSummary, 1);
    bottomRow->addWidget(cmdShow);
    bottomRow->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(grdItems, 1);
    layout->addLayout(bottomRow);
    resize(1290, 600);

    connect(txtSearch, &QLineEdit::textChanged, this, &frmItemList::txtSearch_Change);
    connect(chkToComplete, &QCheckBox::toggled, this, &frmItemList::chkToComplete_Click);
    connect(grdItems, &QTableView::doubleClicked, this, &frmItemList::grdItems_DblClick);
    connect(cmdShow, &QPushButton::clicked, this, &frmItemList::cmdShow_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmItemList::cmdClose_Click);
    grdItems->installEventFilter(this);
    grdItems->viewport()->installEventFilter(this);
    txtSearch->installEventFilter(this);
    // A width the user drags a column to is kept as its share.
    connect(grdItems->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (m_sharing)
            return;
        for (int column = 0; column < ListColumnCount && column < int(m_columnWidths.size()); ++column)
            m_columnWidths[std::size_t(column)] = grdItems->columnWidth(column);
    });
}

frmItemList::~frmItemList() = default;

void frmItemList::Form_Load()
{
    if (!m_household.dbInventory())
        return;
    m_model = new ItemListModel(m_household, this);
    m_model->setErrorHandler([this](const DbError &error) { m_household.HandleDbError(error); });
    m_household.trapDb([this] { m_model->refresh(); });
    grdItems->setModel(m_model);
    // The indicator first: turning sorting on sorts by it, which costs
    // nothing for the order the model has already.
    grdItems->horizontalHeader()->setSortIndicator(int(ListColumn::Item), Qt::AscendingOrder);
    grdItems->setSortingEnabled(true);
    // The item the user is on stays chosen while the list is sorted or
    // searched anew (each of which puts the view back to no row).
    connect(grdItems->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &now) {
        if (now.isValid())
            m_currentKey = m_model->keyAt(now.row());
    });
    // The model reads the items again when disposed items are shown or
    // hidden (it listens first); the count and total follow.
    connect(&m_household, &Household::disposedShownChanged, this, [this] {
        selectKey(m_currentKey, false);
        showSummary();
    });
    // A new order is seen from its beginning, the chosen item kept.
    connect(grdItems->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] {
        selectKey(m_currentKey, false);
        grdItems->scrollToTop();
    });
    const int widths[ListColumnCount] = {210, 105, 100, 105, 95, 105, 95, 105, 55, 75, 95};
    // No column narrower than its heading (a larger font must not cut it);
    // the description gives up what that takes, so the total value stays
    // in view.
    int description = widths[0];
    for (int column = 1; column < ListColumnCount; ++column) {
        const int width = std::max(widths[column], grdItems->horizontalHeader()->sectionSizeHint(column));
        description -= width - widths[column];
        grdItems->setColumnWidth(column, width);
    }
    grdItems->setColumnWidth(0, std::max(description, grdItems->horizontalHeader()->sectionSizeHint(0)));
    m_columnWidths.clear();
    for (int column = 0; column < ListColumnCount; ++column)
        m_columnWidths.push_back(grdItems->columnWidth(column));
    shareColumnWidths();
    grdItems->verticalHeader()->setDefaultSectionSize(grdItems->fontMetrics().height() + 6);
    selectKey(0);
    showSummary();
}

void frmItemList::Form_Activate()
{
    if (!m_model || !m_household.dbInventory())
        return;
    const qint64 key = m_currentKey;
    bool reread = false;
    // Nothing is read when nothing was written since the list was read.
    m_household.trapDb([&] { reread = m_model->refreshIfChanged(); });
    if (!reread)
        return;
    selectKey(key);
    showSummary();
}

void frmItemList::txtSearch_Change()
{
    if (!m_model)
        return;
    const qint64 key = m_currentKey;
    m_household.trapDb([this] { m_model->setSearch(txtSearch->text()); });
    selectKey(key);
    showSummary();
}

void frmItemList::chkToComplete_Click()
{
    if (!m_model)
        return;
    const qint64 key = m_currentKey;
    m_household.trapDb([this] { m_model->setOnlyToComplete(chkToComplete->isChecked()); });
    selectKey(key);
    showSummary();
}

void frmItemList::grdItems_DblClick()
{
    const qint64 key = currentKey();
    if (key == 0 || !m_owner)
        return;
    if (m_showItem(key)) {
        m_owner->raise();
        m_owner->activateWindow();
    }
}

void frmItemList::cmdShow_Click()
{
    grdItems_DblClick();
}

void frmItemList::cmdClose_Click()
{
    close();
}

QString frmItemList::summaryText() const
{
    if (!m_model)
        return QString();
    const int shown = m_model->shownCount();
    const int all = m_model->itemCount();
    const QString count = shown == all ? countText(shown, QStringLiteral("item"), QStringLiteral("items"))
                                       : groupedCount(shown) + QStringLiteral(" of ")
            + countText(all, QStringLiteral("item"), QStringLiteral("items"));
    const std::optional<Money> total = m_model->shownTotal();
    return count + QStringLiteral(", total value ")
        + (total ? formatCurrency(*total) : QStringLiteral("too large to add up"));
}

void frmItemList::showSummary()
{
    lblSummary->setText(summaryText());
}

qint64 frmItemList::currentKey() const
{
    if (!m_model)
        return 0;
    const QModelIndex current = grdItems->currentIndex();
    return current.isValid() ? m_model->keyAt(current.row()) : 0;
}

void frmItemList::selectKey(qint64 key, bool showRow)
{
    if (!m_model || m_model->rowCount() == 0)
        return;
    int row = key == 0 ? -1 : m_model->rowOfKey(key);
    if (row < 0)
        row = 0;
    const QModelIndex index = m_model->index(row, 0);
    grdItems->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (showRow)
        grdItems->scrollTo(index);
}

void frmItemList::shareColumnWidths()
{
    // Room beyond the columns' own widths goes to them in proportion to
    // those; with less room they keep them and the view scrolls.
    qint64 own = 0;
    for (const int width : m_columnWidths)
        own += width;
    const int room = grdItems->viewport()->width();
    if (own <= 0 || room <= 0)
        return;
    const QScopedValueRollback<bool> sharing(m_sharing, true);
    // Each column ends where its share of the room so far ends, so the
    // rounding spreads over them and they fill the view exactly.
    qint64 ownSoFar = 0;
    int endSoFar = 0;
    for (int column = 0; column < int(m_columnWidths.size()); ++column) {
        const int width = m_columnWidths[std::size_t(column)];
        ownSoFar += width;
        const int end = room > own ? int((ownSoFar * room + own / 2) / own) : int(ownSoFar);
        grdItems->setColumnWidth(column, end - endSoFar);
        endSoFar = end;
    }
}

bool frmItemList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grdItems->viewport() && event->type() == QEvent::Resize)
        shareColumnWidths();
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            grdItems_DblClick();
            return true;
        }
        // From the search box the arrows move through the list.
        if (watched == txtSearch
            && (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown || key == Qt::Key_PageUp)) {
            grdItems->setFocus();
            QCoreApplication::sendEvent(grdItems, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmItemList::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}
