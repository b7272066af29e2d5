#pragma once

#include <QByteArray>
#include <map>
#include <set>

// Where each row of a table lives in a database file: the pages a reader
// must pass to reach it (the table's root, the interior pages down to its
// leaf, the leaf) and the overflow pages of a long row. Worked out by
// walking the table's b-tree in the file's bytes, independently of SQLite,
// so a test knows which rows a damaged page takes with it.
struct RowPages {
    int pageSize = 0;
    std::map<qint64, std::set<quint32>> pagesOfRow; // rowid -> page numbers (from 1)
    std::set<quint32> leaves;                       // the pages that hold rows
};

// rootPage: the table's root page number (sqlite_master.rootpage). The file
// must hold no log: every page as a reader would see it.
RowPages rowPagesOf(const QByteArray &file, quint32 rootPage);

// The rows none of whose pages is in `destroyed`.
std::set<qint64> rowsOutside(const RowPages &pages, const std::set<quint32> &destroyed);
