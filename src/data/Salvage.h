#pragma once

#include <QString>
#include <QtGlobal>

struct sqlite3;

struct SalvagedTable {
    int recovered = 0; // rows written to the rebuilt table
    int lost = -1;     // rows known to exist that could not be copied; -1 unknown
};

// Copies every row of `table` that can still be read from the damaged
// database into the same table of the rebuilt one, each under its own key.
// Rows are read in key order; where a read fails (a damaged page), reading
// goes on after the damaged stretch of keys, found by trying the next
// KeysTriedOneByOne keys one at a time and then, for keys far apart, by
// probing ever further ahead and narrowing back to where reading works
// again, so the rows stored after a damaged page are still recovered. The
// effort is bounded: at most MaxDamagedStretches stretches per table, each
// found with at most KeysTriedOneByOne + 130 probes. Failures to write the
// rebuilt file throw DbError.
SalvagedTable salvageTable(sqlite3 *damaged, sqlite3 *rebuilt, const QString &table);

inline constexpr int MaxDamagedStretches = 1000;
inline constexpr quint64 KeysTriedOneByOne = 4096;
