#pragma once

#include "setup/DataFolderSetup.h"
#include "transfer/ItemImport.h"

#include <QString>

class Database;
class QTextStream;

// Reads a CSV file of items (see transfer/ImportPlan.h) and stores its rows
// in db, in one transaction. With ProblemRows::Refuse any problem stops it
// before anything is stored; the SetupError then lists the problems. Says
// on out (when given) which column went into which field and what was
// stored. Throws SetupError.
ImportOutcome importItemsFile(Database &db, const QString &path, ProblemRows problemRows, QTextStream *out);

// Adds the items of a CSV file to the inventory of an existing data folder:
// "stowbook-setup --add-items FILE DIR". Throws SetupError.
void addItemsToFolder(const QString &folder, const QString &path, ProblemRows problemRows, QTextStream &out);
