#include "itemlist/ItemListModel.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/SearchText.h"
#include "dates/LocaleFormats.h"
#include "items/ItemStatus.h"
#include "program/Household.h"

#include <QLocale>
#include <algorithm>
#include <sqlite3.h>
#include <stdexcept>
#include <tuple>

// Pages read and kept at most, before the cache starts again; the same for
// the searches kept (each one bit per item).
static constexpr int KeptRows = 64 * ItemListModel::PageRows;
static constexpr qsizetype KeptSearches = 256;

namespace {

// The last reading of the items, kept with the household while nothing is
// written, so that the list opened again comes up at once instead of
// reading every item again. Forgotten when the household opens its
// inventory anew; about 30 bytes an item.
class KeptReading : public QObject {
public:
    explicit KeptReading(Household &household) : QObject(&household)
    {
        connect(&household, &Household::reopened, this, [this] {
            counters = {-1, -1};
            texts.reset();
        });
    }
    static KeptReading &of(Household &household)
    {
        if (auto *kept = household.findChild<KeptReading *>(QString(), Qt::FindDirectChildrenOnly))
            return *kept;
        return *new KeptReading(household);
    }

    std::pair<qint64, qint64> counters{-1, -1};
    ListColumn column = ListColumn::Item;
    bool showsDisposed = false;
    bool onlyToComplete = false;
    std::vector<qint64> keys;
    std::vector<std::optional<Money>> totals;
    std::vector<int> ascending;
    // The searched texts of these items, whatever the column.
    std::shared_ptr<ItemTextsReader> texts;
};

// The sum of the amounts; Null when it is beyond the money range.
template <typename Indexes>
std::optional<Money> totalOf(const std::vector<std::optional<Money>> &totals, const Indexes &indexes)
{
    Money total;
    try {
        for (const int index : indexes) {
            if (const std::optional<Money> &amount = totals[std::size_t(index)])
                total += *amount;
        }
    } catch (const std::overflow_error &) {
        return std::nullopt;
    }
    return total;
}

} // namespace

ItemListModel::ItemListModel(Household &household, QObject *parent)
    : QAbstractTableModel(parent)
    , m_household(household)
{
    connect(&household, &Household::reopened, this, &ItemListModel::inventoryReopened);
    // Disposed items come and go with the View menu's choice.
    connect(&household, &Household::disposedShownChanged, this, [this] {
        try {
            refresh();
        } catch (const DbError &error) {
            report(error);
        }
    });
}

ItemListModel::~ItemListModel() = default;

Database &ItemListModel::db() const
{
    return m_household.inventory();
}

void ItemListModel::inventoryReopened()
{
    // Counters of another connection say nothing about this one, and the
    // rows read may have come from the damaged file.
    m_dataVersion = -1;
    m_ownChanges = -1;
    m_rows.clear();
}

std::pair<qint64, qint64> ItemListModel::changeCounters() const
{
    // data_version moves with every commit of another connection,
    // total_changes with every row this connection writes.
    return {db().scalar(QStringLiteral("PRAGMA data_version")).toLongLong(), sqlite3_total_changes64(db().handle())};
}

void ItemListModel::report(const DbError &error) const
{
    // Once is enough: the view asks again for every cell it paints.
    m_failed = true;
    if (m_onError)
        m_onError(error);
}

void ItemListModel::forgetSearches()
{
    m_texts.reset();
    m_textsReader.reset();
    m_searches.clear();
    m_lastSearch.clear();
}

void ItemListModel::readItems()
{
    // A picture is a file alone: it is looked for again with every reading.
    m_pictured.reset();
    const std::pair<qint64, qint64> counters = changeCounters();
    std::tie(m_dataVersion, m_ownChanges) = counters;
    KeptReading &kept = KeptReading::of(m_household);
    // The same items: nothing written, and disposed items shown or not as then.
    const bool sameItems = kept.counters == counters && kept.showsDisposed == m_household.showsDisposed()
        && kept.onlyToComplete == m_onlyToComplete;
    if (sameItems && kept.column == m_sortColumn) {
        m_keys = kept.keys;
        m_totals = kept.totals;
        m_ascending = kept.ascending;
    } else {
        ListScan scan = scanItems(true);
        m_keys = std::move(scan.keys);
        m_totals = std::move(scan.totals);
        m_ascending = std::move(scan.ascending);
        kept.counters = counters;
        kept.column = m_sortColumn;
        kept.showsDisposed = m_household.showsDisposed();
        kept.onlyToComplete = m_onlyToComplete;
        kept.keys = m_keys;
        kept.totals = m_totals;
        kept.ascending = m_ascending;
        if (!sameItems)
            kept.texts.reset();
    }
    if (!kept.texts && ItemTextsReader::readsBeside(db()))
        kept.texts = std::make_shared<ItemTextsReader>(db().path(), m_keys);
    m_textsReader = kept.texts;
    std::vector<int> all(m_keys.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    m_allTotal = totalOf(m_totals, all);
    orderRows();
}

ListScan ItemListModel::scanItems(bool withTotals)
{
    m_pictured.reset();
    QString listed = keptItemsCondition(m_household, QStringLiteral("i.iteid"));
    if (m_onlyToComplete) {
        const QString toComplete = ItemStatus(db()).toCompleteCondition(QStringLiteral("i.iteid"));
        listed = listed.isEmpty() ? toComplete : QStringLiteral("(%1) and %2").arg(listed, toComplete);
    }
    return scanListItems(db(), m_sortColumn, withTotals, listed,
                         m_sortColumn == ListColumn::Photos ? pictured() : QSet<qint64>());
}

const QSet<qint64> &ItemListModel::pictured() const
{
    if (!m_pictured) {
        m_pictured.emplace();
        const QHash<qint64, QString> pictures = m_household.itemFiles().pictures();
        for (auto it = pictures.constBegin(); it != pictures.constEnd(); ++it)
            m_pictured->insert(it.key());
    }
    return *m_pictured;
}

void ItemListModel::orderRows()
{
    m_ordered = m_ascending;
    if (m_sortOrder == Qt::DescendingOrder)
        std::reverse(m_ordered.begin(), m_ordered.end());
}

const ItemSet &ItemListModel::searchFor(const QString &typed)
{
    if (const auto known = m_searches.constFind(typed); known != m_searches.constEnd()) {
        m_lastSearch = typed;
        return *known;
    }
    if (!m_texts) {
        m_texts = m_textsReader ? m_textsReader->take(db())
                                : std::make_shared<const ItemTexts>(ItemTexts::read(db(), m_keys));
    }
    // A text typed on from the last one finds only items that one found.
    const auto last = m_searches.constFind(m_lastSearch);
    const bool narrows = last != m_searches.constEnd() && searchNarrows(typed, m_lastSearch);
    ItemSet found = m_texts->find(typed, narrows ? &*last : nullptr);
    if (m_searches.size() >= KeptSearches)
        m_searches.clear();
    m_lastSearch = typed;
    return *m_searches.insert(typed, std::move(found));
}

void ItemListModel::applySearch()
{
    m_hits.clear();
    m_hitsTotal = Money();
    if (!searching())
        return;
    const ItemSet &found = searchFor(m_search);
    // The order is the list's; the search only says which items stay.
    m_hits.reserve(found.count);
    for (const int index : m_ordered) {
        if (found.contains(std::size_t(index)))
            m_hits.push_back(index);
    }
    m_hitsTotal = totalOf(m_totals, m_hits);
}

void ItemListModel::refresh()
{
    beginResetModel();
    m_rows.clear();
    forgetSearches();
    m_failed = false;
    try {
        readItems();
        applySearch();
    } catch (...) {
        forgetRows();
        endResetModel();
        throw;
    }
    endResetModel();
}

void ItemListModel::forgetRows()
{
    m_keys.clear();
    m_totals.clear();
    m_ascending.clear();
    m_ordered.clear();
    m_hits.clear();
    forgetSearches();
}

bool ItemListModel::refreshIfChanged()
{
    if (m_dataVersion >= 0 && changeCounters() == std::pair(m_dataVersion, m_ownChanges))
        return false;
    refresh();
    return true;
}

void ItemListModel::setSearch(const QString &typed)
{
    beginResetModel();
    m_search = typed;
    try {
        applySearch();
    } catch (...) {
        m_hits.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

void ItemListModel::setOnlyToComplete(bool only)
{
    if (only == m_onlyToComplete)
        return;
    m_onlyToComplete = only;
    refresh();
}

void ItemListModel::sortBy(ListColumn column, Qt::SortOrder order)
{
    if (column == m_sortColumn && order == m_sortOrder && m_dataVersion >= 0)
        return;
    beginResetModel();
    const bool turnRound = column == m_sortColumn && m_dataVersion >= 0;
    m_sortColumn = column;
    m_sortOrder = order;
    try {
        if (turnRound) {
            // The same column the other way: the order turned round, no reading.
            std::reverse(m_ordered.begin(), m_ordered.end());
            std::reverse(m_hits.begin(), m_hits.end());
        } else if (m_dataVersion < 0) {
            readItems();
            applySearch();
        } else {
            ListScan scan = scanItems(false);
            if (scan.keys != m_keys) {
                // Written by another program since the list was read: read
                // everything, so the searches kept match the items again.
                m_rows.clear();
                forgetSearches();
                readItems();
            } else {
                m_ascending = std::move(scan.ascending);
                orderRows();
            }
            applySearch();
        }
    } catch (...) {
        forgetRows();
        endResetModel();
        throw;
    }
    endResetModel();
}

void ItemListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ListColumnCount)
        return;
    try {
        sortBy(ListColumn(column), order);
    } catch (const DbError &error) {
        report(error);
    }
}

qint64 ItemListModel::keyAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    const std::vector<int> &shown = searching() ? m_hits : m_ordered;
    return m_keys[std::size_t(shown[std::size_t(row)])];
}

int ItemListModel::rowOfKey(qint64 key) const
{
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    if (at == m_keys.end() || *at != key)
        return -1;
    const int index = int(at - m_keys.begin());
    const std::vector<int> &shown = searching() ? m_hits : m_ordered;
    const auto it = std::find(shown.begin(), shown.end(), index);
    return it == shown.end() ? -1 : int(it - shown.begin());
}

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(searching() ? m_hits.size() : m_ordered.size());
}

int ItemListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ListColumnCount;
}

const ListRow *ItemListModel::rowAt(int row) const
{
    const qint64 key = keyAt(row);
    if (key == 0)
        return nullptr;
    if (auto it = m_rows.constFind(key); it != m_rows.constEnd())
        return &*it;
    if (m_failed)
        return nullptr;
    if (m_rows.size() > KeptRows)
        m_rows.clear();
    const int first = row - row % PageRows;
    const int last = std::min(rowCount(), first + PageRows);
    std::vector<qint64> page;
    for (int r = first; r < last; ++r)
        page.push_back(keyAt(r));
    try {
        m_rows.insert(readListRows(db(), page));
    } catch (const DbError &error) {
        report(error);
        return nullptr;
    }
    const auto it = m_rows.constFind(key);
    return it == m_rows.constEnd() ? nullptr : &*it;
}

QVariant ItemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ListColumnCount)
        return QVariant();
    const auto column = ListColumn(index.column());
    if (role == Qt::TextAlignmentRole
        && (column == ListColumn::TotValue || column == ListColumn::Photos || column == ListColumn::Documents))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const ListRow *row = rowAt(index.row());
    if (!row)
        return QVariant();
    const QVariant &value = row->values[std::size_t(index.column())];
    if (value.isNull())
        return QString();
    if (column == ListColumn::Photos || column == ListColumn::Documents) {
        int count = value.toInt();
        // The picture is the first photo, though no row of itemfiles names it.
        if (column == ListColumn::Photos && pictured().contains(keyAt(index.row())))
            ++count;
        return count == 0 ? QString() : QLocale().toString(count);
    }
    if (value.typeId() == qMetaTypeId<DateValue>())
        return formatShortDate(value.value<DateValue>());
    if (value.typeId() == qMetaTypeId<Money>())
        return formatCurrency(value.value<Money>());
    QString text = value.toString();
    if (role == Qt::DisplayRole) {
        // One line per item: line breaks in a text show as blanks.
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(u'\n', u' ').replace(u'\r', u' ');
    }
    return text;
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ListColumnCount)
        return listColumnCaption(ListColumn(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}
