#pragma once

#include "transfer/ItemRowCheck.h"

#include <vector>

class Database;

enum class ImportChoice {
    AllRows,      // every row that has a description, values that could not be read left empty
    GoodRowsOnly, // only the rows without any problem
};

struct ImportOutcome {
    int items = 0;
    int categoriesAdded = 0;
    int locationsAdded = 0;
    // The key each stored row got, with the line the row begins on, in file order.
    std::vector<std::pair<int, qint64>> keys;
};

// Stores the rows as new items, in one transaction (the caller's, when one
// is open): either every chosen row is stored or, when anything fails,
// nothing is. Categories and locations
// are found by their descriptions ignoring case (and blanks around them);
// those not there yet are added, spelled as the first row that names them.
// Throws DbError (3260 when another program holds the lock: nothing is
// stored and the whole import may simply be tried again).
ImportOutcome storeImportedItems(Database &db, const std::vector<CheckedItem> &rows, ImportChoice choice);
