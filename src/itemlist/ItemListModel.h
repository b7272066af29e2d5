#pragma once

#include "data/DbError.h"
#include "itemlist/ItemListQuery.h"

#include <QAbstractTableModel>
#include <QHash>
#include <functional>
#include <optional>
#include <vector>

class Database;

// The item list's table: the keys of the shown items in order, and their
// columns read only for the rows a view asks for, a page at a time, so a
// first screen of a large inventory costs one key query and one page.
//
// Sorting and searching read the keys again (throwing DbError); sort(),
// which views call, hands failures to the error handler instead, as does
// reading a page. Showing goes on with empty cells after a failure, and
// nothing more is read until the next refresh.
class ItemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ItemListModel(Database &db, QObject *parent = nullptr);

    void setErrorHandler(std::function<void(const DbError &)> handler) { m_onError = std::move(handler); }

    // Reads the order and the search again: for changes made elsewhere.
    void refresh();
    // The same, but only when the items may have changed since the last
    // reading (a write through this connection or any other); true then.
    bool refreshIfChanged();
    // Shows only the items holding every word typed; empty text shows all.
    void setSearch(const QString &typed);
    const QString &search() const { return m_search; }

    ListColumn sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    // Sorts by the column: reads the order when the column changes, turns
    // the rows round when only the direction does.
    void sortBy(ListColumn column, Qt::SortOrder order);

    int shownCount() const { return int(m_shown.size()); }
    // Every item, shown or not.
    int itemCount() const { return int(m_ordered.size()); }
    // The total value of the shown items; Null when beyond the money range.
    std::optional<Money> shownTotal() const { return m_shownTotal; }
    qint64 keyAt(int row) const;
    // -1 when the item is not shown.
    int rowOfKey(qint64 key) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order) override;

    // Rows read per page.
    static constexpr int PageRows = 128;

private:
    void readOrder();
    std::pair<qint64, qint64> changeCounters() const;
    void applySearch();
    // The row's values, reading its page when needed; null when unreadable.
    const ListRow *rowAt(int row) const;

    Database &m_db;
    std::function<void(const DbError &)> m_onError;
    ListColumn m_sortColumn = ListColumn::Item;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_search;
    std::vector<qint64> m_ordered; // every item, in the order shown
    std::optional<Money> m_orderedTotal;
    std::vector<qint64> m_shown;   // the items the search lets through, in order
    std::optional<Money> m_shownTotal;
    mutable QHash<qint64, ListRow> m_rows;
    mutable bool m_failed = false;
    // What the database said about its changes at the last reading.
    qint64 m_dataVersion = -1;
    qint64 m_ownChanges = -1;
};
