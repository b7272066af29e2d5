#include "itemlist/ItemListModel.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/SearchText.h"
#include "dates/LocaleFormats.h"
#include "program/Household.h"

#include <algorithm>
#include <sqlite3.h>
#include <stdexcept>
#include <tuple>

// Pages read and kept at most, before the cache starts again; the same for
// searches and the items they found.
static constexpr int KeptRows = 64 * ItemListModel::PageRows;
static constexpr qsizetype KeptSearches = 64;
static constexpr std::size_t KeptSearchHits = 500'000;

ItemListModel::ItemListModel(Household &household, QObject *parent)
    : QAbstractTableModel(parent)
    , m_household(household)
{
    connect(&household, &Household::reopened, this, &ItemListModel::inventoryReopened);
}

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

void ItemListModel::readFirst()
{
    std::tie(m_dataVersion, m_ownChanges) = changeCounters();
    const ListSummary summary = readListSummary(db());
    m_itemCount = summary.count;
    m_allTotal = summary.total;
    m_ordered = readListKeys(db(), m_sortColumn, m_sortOrder, FirstKeys);
    m_allKeys = int(m_ordered.size()) < FirstKeys;
}

void ItemListModel::readAllKeys() const
{
    if (m_allKeys)
        return;
    m_ordered = readListKeys(db(), m_sortColumn, m_sortOrder);
    m_allKeys = true;
}

bool ItemListModel::readAllKeysForView() const
{
    if (m_failed)
        return false;
    try {
        readAllKeys();
        return true;
    } catch (const DbError &error) {
        report(error);
        return false;
    }
}

const std::vector<ListHit> &ItemListModel::searchFor(const QString &typed)
{
    if (const auto known = m_searches.constFind(typed); known != m_searches.constEnd()) {
        m_lastSearch = typed;
        return *known;
    }
    // A text typed on from the last one finds only items that one found.
    std::vector<qint64> earlier;
    const auto last = m_searches.constFind(m_lastSearch);
    const bool narrows = last != m_searches.constEnd() && searchNarrows(typed, m_lastSearch);
    if (narrows) {
        for (const ListHit &hit : *last)
            earlier.push_back(hit.key);
    }
    std::vector<ListHit> found = searchItems(db(), typed, narrows ? &earlier : nullptr);
    if (m_searchedHits + found.size() > KeptSearchHits || m_searches.size() >= KeptSearches) {
        m_searches.clear();
        m_searchedHits = 0;
    }
    m_searchedHits += found.size();
    m_lastSearch = typed;
    return *m_searches.insert(typed, std::move(found));
}

void ItemListModel::applySearch()
{
    m_hits.clear();
    m_hitsTotal = Money();
    if (!searching())
        return;
    const std::vector<ListHit> &found = searchFor(m_search);
    readAllKeys();
    Money total;
    bool overflow = false;
    // The order is the list's; the search only says which items stay.
    const auto byKey = [](const ListHit &hit, qint64 key) { return hit.key < key; };
    for (const qint64 key : m_ordered) {
        const auto hit = std::lower_bound(found.begin(), found.end(), key, byKey);
        if (hit == found.end() || hit->key != key)
            continue;
        m_hits.push_back(key);
        if (hit->total && !overflow) {
            try {
                total += *hit->total;
            } catch (const std::overflow_error &) {
                overflow = true;
            }
        }
    }
    m_hitsTotal = overflow ? std::nullopt : std::optional<Money>(total);
}

void ItemListModel::refresh()
{
    beginResetModel();
    m_rows.clear();
    m_searches.clear();
    m_searchedHits = 0;
    m_failed = false;
    try {
        readFirst();
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
    m_ordered.clear();
    m_allKeys = true;
    m_hits.clear();
    m_itemCount = 0;
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

void ItemListModel::sortBy(ListColumn column, Qt::SortOrder order)
{
    if (column == m_sortColumn && order == m_sortOrder && m_dataVersion >= 0)
        return;
    beginResetModel();
    const bool turnRound = column == m_sortColumn && m_allKeys && m_dataVersion >= 0;
    m_sortColumn = column;
    m_sortOrder = order;
    try {
        if (turnRound) {
            // The same column the other way: the keys turned round, no reading.
            std::reverse(m_ordered.begin(), m_ordered.end());
            std::reverse(m_hits.begin(), m_hits.end());
        } else if (m_dataVersion < 0) {
            readFirst();
            applySearch();
        } else {
            m_ordered = readListKeys(db(), m_sortColumn, m_sortOrder, FirstKeys);
            m_allKeys = int(m_ordered.size()) < FirstKeys;
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
    if (searching())
        return m_hits[std::size_t(row)];
    if (std::size_t(row) >= m_ordered.size() && !readAllKeysForView())
        return 0;
    return std::size_t(row) < m_ordered.size() ? m_ordered[std::size_t(row)] : 0;
}

int ItemListModel::rowOfKey(qint64 key) const
{
    const std::vector<qint64> &keys = searching() ? m_hits : m_ordered;
    if (const auto it = std::find(keys.begin(), keys.end(), key); it != keys.end())
        return int(it - keys.begin());
    if (searching() || m_allKeys || !readAllKeysForView())
        return -1;
    const auto it = std::find(m_ordered.begin(), m_ordered.end(), key);
    return it == m_ordered.end() ? -1 : int(it - m_ordered.begin());
}

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return searching() ? int(m_hits.size()) : m_itemCount;
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
    if (role == Qt::TextAlignmentRole && column == ListColumn::TotValue)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const ListRow *row = rowAt(index.row());
    if (!row)
        return QVariant();
    const QVariant &value = row->values[std::size_t(index.column())];
    if (value.isNull())
        return QString();
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
