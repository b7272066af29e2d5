#include "itemlist/ItemListModel.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "dates/LocaleFormats.h"

#include <algorithm>
#include <sqlite3.h>
#include <tuple>
#include <stdexcept>

// Pages read and kept at most, before the cache starts again.
static constexpr int KeptRows = 64 * ItemListModel::PageRows;

ItemListModel::ItemListModel(Database &db, QObject *parent) : QAbstractTableModel(parent), m_db(db)
{
}

std::pair<qint64, qint64> ItemListModel::changeCounters() const
{
    // data_version moves with every commit of another connection,
    // total_changes with every row this connection writes.
    return {m_db.scalar(QStringLiteral("PRAGMA data_version")).toLongLong(), sqlite3_total_changes64(m_db.handle())};
}

void ItemListModel::readOrder()
{
    std::tie(m_dataVersion, m_ownChanges) = changeCounters();
    ListOrder order = readListOrder(m_db, m_sortColumn);
    if (m_sortOrder == Qt::DescendingOrder)
        std::reverse(order.keys.begin(), order.keys.end());
    m_ordered = std::move(order.keys);
    m_orderedTotal = order.total;
}

void ItemListModel::applySearch()
{
    if (m_search.trimmed().isEmpty()) {
        m_shown = m_ordered;
        m_shownTotal = m_orderedTotal;
        return;
    }
    const QHash<qint64, std::optional<Money>> hits = searchItems(m_db, m_search);
    std::vector<qint64> shown;
    shown.reserve(std::size_t(hits.size()));
    Money total;
    bool overflow = false;
    // The order is the list's; the search only says which items stay.
    for (const qint64 key : m_ordered) {
        const auto hit = hits.constFind(key);
        if (hit == hits.constEnd())
            continue;
        shown.push_back(key);
        if (*hit && !overflow) {
            try {
                total += **hit;
            } catch (const std::overflow_error &) {
                overflow = true;
            }
        }
    }
    m_shown = std::move(shown);
    m_shownTotal = overflow ? std::nullopt : std::optional<Money>(total);
}

void ItemListModel::refresh()
{
    beginResetModel();
    m_rows.clear();
    m_failed = false;
    try {
        readOrder();
        applySearch();
    } catch (...) {
        m_ordered.clear();
        m_shown.clear();
        endResetModel();
        throw;
    }
    endResetModel();
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
        m_shown.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

void ItemListModel::sortBy(ListColumn column, Qt::SortOrder order)
{
    if (column == m_sortColumn && order == m_sortOrder && !m_ordered.empty())
        return;
    beginResetModel();
    const bool reread = column != m_sortColumn || m_ordered.empty();
    m_sortColumn = column;
    if (reread) {
        m_sortOrder = order;
        try {
            readOrder();
            applySearch();
        } catch (...) {
            m_ordered.clear();
            m_shown.clear();
            endResetModel();
            throw;
        }
    } else {
        // The same column the other way: the rows turned round, no reading.
        m_sortOrder = order;
        std::reverse(m_ordered.begin(), m_ordered.end());
        std::reverse(m_shown.begin(), m_shown.end());
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
        if (m_onError)
            m_onError(error);
    }
}

qint64 ItemListModel::keyAt(int row) const
{
    if (row < 0 || std::size_t(row) >= m_shown.size())
        return 0;
    return m_shown[std::size_t(row)];
}

int ItemListModel::rowOfKey(qint64 key) const
{
    const auto it = std::find(m_shown.begin(), m_shown.end(), key);
    return it == m_shown.end() ? -1 : int(it - m_shown.begin());
}

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ItemListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ListColumnCount;
}

const ListRow *ItemListModel::rowAt(int row) const
{
    const qint64 key = keyAt(row);
    if (auto it = m_rows.constFind(key); it != m_rows.constEnd())
        return &*it;
    if (m_failed)
        return nullptr;
    if (m_rows.size() > KeptRows)
        m_rows.clear();
    const int first = row - row % PageRows;
    const int last = std::min(int(m_shown.size()), first + PageRows);
    const std::vector<qint64> page(m_shown.begin() + first, m_shown.begin() + last);
    try {
        m_rows.insert(readListRows(m_db, page));
    } catch (const DbError &error) {
        // Once is enough: the view asks again for every cell it paints.
        m_failed = true;
        if (m_onError)
            m_onError(error);
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
