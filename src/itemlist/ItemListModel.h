#pragma once

#include "data/DbError.h"
#include "itemlist/ItemListQuery.h"
#include "itemlist/ItemTexts.h"
#include "itemlist/ItemTextsReader.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Database;
class Household;

// The item list's table of the household's items. One reading of the items
// gives their number, their total and their order (kept with the household
// while nothing is written, so the list opened again needs no reading);
// each row's columns are read a page at a time when it is painted. The
// searched texts of every item are read once, on another thread while the
// list is looked at, and searches look through them in memory (see
// ItemTexts); the items each text typed found are kept, so typing back and
// typing on look at little.
//
// refresh, setSearch and sortBy throw DbError. sort(), which views call,
// and the reading of pages for a view hand failures to the error handler
// instead; showing goes on with empty cells, and nothing more is read
// until the next refresh. Every reading goes to the household's inventory
// database as it is then: when the household opens it anew (a repair), the
// model forgets what it read and refreshIfChanged reads again.
class ItemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ItemListModel(Household &household, QObject *parent = nullptr);
    ~ItemListModel() override;

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

    // Lists only the items still to complete (ItemStatus), or every item
    // again; reads the items again when it changes. Throws DbError.
    void setOnlyToComplete(bool only);
    bool onlyToComplete() const { return m_onlyToComplete; }

    int shownCount() const { return rowCount(); }
    // Every item, shown or not.
    int itemCount() const { return int(m_keys.size()); }
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

    // Rows read per page.
    static constexpr int PageRows = 128;

private:
    bool searching() const { return !m_search.trimmed().isEmpty(); }
    // The household's inventory database; throws 3420 when none is open.
    Database &db() const;
    // The household opened its inventory anew: nothing read before counts.
    void inventoryReopened();
    std::pair<qint64, qint64> changeCounters() const;
    // Reads the items, their total and their order.
    void readItems();
    // One reading of the items listed, in the sort column's order.
    ListScan scanItems(bool withTotals);
    // The items that have a picture, read once a reading when first needed.
    const QSet<qint64> &pictured() const;
    // After a failed read the list shows no rows rather than keys that may
    // no longer match.
    void forgetRows();
    // The shown order from the ascending one and the direction.
    void orderRows();
    void applySearch();
    // The items the text finds, from an earlier search when there is one.
    const ItemSet &searchFor(const QString &typed);
    void forgetSearches();
    void report(const DbError &error) const;
    // The row's values, reading its page when needed; null when unreadable.
    const ListRow *rowAt(int row) const;

    Household &m_household;
    std::function<void(const DbError &)> m_onError;
    ListColumn m_sortColumn = ListColumn::Item;
    bool m_onlyToComplete = false;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_search;
    // Every item by its key, ascending (the items' indexes), with its total.
    std::vector<qint64> m_keys;
    std::vector<std::optional<Money>> m_totals;
    std::optional<Money> m_allTotal;
    // The items' indexes in the column's ascending order, and in the shown one.
    std::vector<int> m_ascending;
    std::vector<int> m_ordered;
    // While searching: the indexes of the items found, in the shown order,
    // and their total.
    std::vector<int> m_hits;
    std::optional<Money> m_hitsTotal;
    // The texts searched: read on another thread from the reading on
    // (ItemTextsReader), taken at the first search; where no second
    // connection may read, read then.
    std::shared_ptr<ItemTextsReader> m_textsReader;
    std::shared_ptr<const ItemTexts> m_texts;
    // The searches of this reading, by the text typed, so that typing back
    // looks at nothing again; and the last one, which a longer text narrows.
    QHash<QString, ItemSet> m_searches;
    QString m_lastSearch;
    mutable QHash<qint64, ListRow> m_rows;
    mutable std::optional<QSet<qint64>> m_pictured;
    mutable bool m_failed = false;
    // What the database said about its changes at the last reading.
    qint64 m_dataVersion = -1;
    qint64 m_ownChanges = -1;
};
