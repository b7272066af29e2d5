#pragma once

#include <QMap>
#include <QString>

struct RepairReport {
    QString damagedCopy;              // where the damaged file was kept
    QMap<QString, int> rowsRecovered; // per table
    QMap<QString, int> rowsLost;      // rows known to exist but unreadable, per table (best effort)
    bool headerRebuilt = false;       // the file had lost its header; one was worked out from its pages
};

// The engine's repair of a damaged database file that is not open. The
// damaged file is first copied aside beside it under a dated name
// ("stowbook.db" -> "stowbook-damaged-20261207-093015.db") and is never
// changed; then a clean file is rebuilt in its place from every row that can
// still be read, keeping each row's key. The tables come from the damaged
// file's own schema where it can be read, else from fallbackSchemaSql.
// A file that lost only its header gets one worked out from its pages, and
// a file cut short is read only as far as its whole pages go (LostHeader.h).
// The rebuilt file is written beside and renamed over the old one, so a
// failure part way leaves the old file as it was. Throws DbError on failure.
RepairReport repairDatabase(const QString &path, const QString &fallbackSchemaSql);
