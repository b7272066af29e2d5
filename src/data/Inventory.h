#pragma once

#include <QString>

// File names in the data folder and the statements the program runs on the
// inventory database, in SQLite's dialect. Text order ignores case through
// fold(); the key breaks ties so the order is the same on every run.
inline const QString InventoryFileName = QStringLiteral("stowbook.db");
inline const QString CatalogueFileName = QStringLiteral("rptspec.db");
inline const QString HelpFileName = QStringLiteral("stowbook-help.html");
inline const QString ImagesFolderName = QStringLiteral("images");
// The insurance claim's claimant details (UTF-8 JSON), offered again next time.
inline const QString ClaimantFileName = QStringLiteral("claimant.json");

inline const QString ItemsStatement = QStringLiteral("select * from items order by fold(Item), iteid");
inline const QString CategoriesStatement = QStringLiteral("select * from categories order by fold(catDesc), catid");
inline const QString LocationsStatement = QStringLiteral("select * from locations order by fold(locDesc), locid");

// The schema every new inventory database gets; the repair falls back on it
// when a damaged file's own schema can no longer be read.
QString inventorySchemaSql();
