#pragma once

#include "transfer/ImportPlan.h"

#include <functional>
#include <optional>

class Database;

enum class ImportChoice {
    AllRows,        // every row that has a description, values that could not be read left empty
    GoodRowsOnly,   // only the rows without any problem
    NoneIfAProblem, // every row, or nothing at all when any row has a problem (ImportRefused)
};

struct ImportOutcome {
    int items = 0;
    int categoriesAdded = 0;
    int locationsAdded = 0;
    // The key of the first item stored; none when no item was.
    std::optional<qint64> firstKey;
    // The rows as they were checked while they were stored.
    ImportSummary summary;
};

// Nothing was stored: the file has problems and the choice was
// NoneIfAProblem. The summary lists them.
class ImportRefused : public ImportError {
public:
    explicit ImportRefused(ImportSummary summary)
        : ImportError(QStringLiteral("The file has rows with problems; nothing was imported."))
        , m_summary(std::move(summary))
    {
    }
    const ImportSummary &summary() const { return m_summary; }

private:
    ImportSummary m_summary;
};

// Called for every item stored, with the key it got.
using StoredItem = std::function<void(const CheckedItem &item, qint64 key)>;

// Reads the plan's file once more and stores its rows as new items as they
// are checked, in one transaction (the caller's, when one is open): either
// every chosen row is stored or, when anything fails, nothing is. The file
// is never held whole, so a file of any size can be imported. Categories and
// locations are found by their descriptions ignoring case (and blanks around
// them); those not there yet are added, spelled as the first row that names
// them. Throws DbError (3260 when another program holds the lock: nothing is
// stored and the whole import may simply be tried again); ImportError when
// the file cannot be read again or has changed since the plan read it;
// ImportRefused as said.
ImportOutcome storeImportedItems(Database &db, const ImportPlan &plan, ImportChoice choice,
                                 const StoredItem &stored = {});
