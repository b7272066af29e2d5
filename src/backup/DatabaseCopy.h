#pragma once

#include "data/Money.h"

#include <QString>

// The databases' side of a backup: consistent copies of files other
// programs may be writing, and checks of copies nobody writes. Every
// function throws DbError (the SQLite failure, mapped as everywhere).

// Copies the database at source into a new file at target with SQLite's
// online backup, in one step: the copy is the database as it was at one
// moment, never a file caught in the middle of a write. The inventory is in
// WAL mode, so the read this takes keeps no writer waiting. Waits up to
// busyMs for a program that holds the file exclusively, then throws. target
// must not exist.
void copyDatabase(const QString &source, const QString &target, int busyMs = 1000);

// The problems PRAGMA integrity_check finds in the database file at path
// (up to ten, one a line), or an empty text when it is sound. The file is
// opened read-only as immutable: nothing is written beside it.
QString integrityProblems(const QString &path);

// An inventory's item count and the sum of its items' total values, exact.
struct InventoryFigures {
    qint64 items = 0;
    Money totalValue;
};
// Read from the inventory database at path, opened as integrityProblems
// opens it. Values that are not amounts are left out of the sum; a sum too
// large for an amount throws DbError 6 (Overflow).
InventoryFigures inventoryFigures(const QString &path);
