#pragma once

#include "data/DbError.h"
#include "itemlist/ItemListQuery.h"

#include <QAbstractTableModel>
#include <QHash>
#include <functional>
#include <optional>
#include <vector>

class Database;
class Household;

// The item list's table of the household's items. Only what a view shows
// is read: at first the
// number of items, their total and the keys of the first rows in order
// (a query that stops early); the keys of the other rows when a row beyond
// them is asked for or a search needs them; each row's columns a page at a
// time when it is painted.
//
// refresh, setSearch and sortBy throw DbError. sort(), which views call,
// and the reading of keys and pages for a view hand failures to the error
// handler instead; showing goes on with empty cells, and nothing more is
// read until the next refresh. Every reading goes to the household's
// inventory database as it is then: when the household opens it anew (a
// repair), the model forgets what it read and refreshIfChanged reads again.
class ItemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ItemListModel(Household &household, QObject *parent = nullptr);

    void setErrorHandler(std::function<void(const DbError &)> handler) { m_onError = std::move(handler); }

    // Reads the items again: for changes made elsewhere.
    void refresh();
    // The same, but only when the items may have changed since the last
    // reading (a write through this connection or any other); true then.
    bool refreshIfChanged();
    // Shows only the items holding every word typed; empty text shows all.
    void setSearch(const QString &typed);
    const QString &search() const { return m_search; }

    void sortBy(ListColumn column, Qt::SortOrder order);

    int shownCount() const { return rowCount(); }
    // Every item, shown or not.
    int itemCount() const { return m_itemCount; }
    // The total value of the shown items; Null when beyond the money range.
    std::optional<Money> shownTotal() const { return searching() ? m_hitsTotal : m_allTotal; }
    // 0 when the row's key cannot be read.
    qint64 keyAt(int row) const;
    // -1 when the item is not shown.
    int rowOfKey(qint64 key) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order) override;

    // Rows read per page, and the keys read before any row beyond them is asked for.
    static constexpr int PageRows = 128;
    static constexpr int FirstKeys = 2 * PageRows;

private:
    bool searching() const { return !m_search.trimmed().isEmpty(); }
    // The household's inventory database; throws 3420 when none is open.
    Database &db() const;
    // The household opened its inventory anew: nothing read before counts.
    void inventoryReopened();
    std::pair<qint64, qint64> changeCounters() const;
    // Reads the number of items, their total and the first keys in order.
    void readFirst();
    // After a failed read the list shows no rows rather than keys that may
    // no longer match.
    void forgetRows();
    // Reads the keys of every item in order, once per order (throws DbError).
    void readAllKeys() const;
    // The same for a view: failures go to the error handler; false then.
    bool readAllKeysForView() const;
    void applySearch();
    // The items the text finds, from an earlier search when there is one.
    const std::vector<ListHit> &searchFor(const QString &typed);
    void report(const DbError &error) const;
    // The row's values, reading its page when needed; null when unreadable.
    const ListRow *rowAt(int row) const;

    Household &m_household;
    std::function<void(const DbError &)> m_onError;
    ListColumn m_sortColumn = ListColumn::Item;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_search;
    int m_itemCount = 0;
    std::optional<Money> m_allTotal;
    // The keys of the items in the list's order: the first ones, or all.
    mutable std::vector<qint64> m_ordered;
    mutable bool m_allKeys = false;
    // While searching: the items found, in order, and their total.
    std::vector<qint64> m_hits;
    std::optional<Money> m_hitsTotal;
    // The searches of this reading, by the text typed, so that typing back
    // reads nothing again; and the last one, which a longer text narrows.
    QHash<QString, std::vector<ListHit>> m_searches;
    std::size_t m_searchedHits = 0;
    QString m_lastSearch;
    mutable QHash<qint64, ListRow> m_rows;
    mutable bool m_failed = false;
    // What the database said about its changes at the last reading.
    qint64 m_dataVersion = -1;
    qint64 m_ownChanges = -1;
};
