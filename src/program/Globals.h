#pragma once

#include "data/Database.h"
#include "data/DateValue.h"
#include "data/Recordset.h"

#include <QRgb>
#include <QString>
#include <memory>

// The program-wide values, set by the main window's load and living for the
// whole run. Tests reset them with resetGlobals().
inline QString DataFolder;          // always ends with "/"
inline QString HelpFilePath;        // DataFolder + "stowbook-help.html"
inline std::unique_ptr<Database> dbInventory;
inline std::unique_ptr<Recordset> rsItems;
inline bool CatListChanged = true;
inline bool LocListChanged = true;
inline qint16 CodeListKind = 0;     // 1 categories, 2 locations
inline QString ReportUseWith = QStringLiteral("items");
inline QRgb HeaderShade = 0;
inline QRgb BodyShade = qRgb(200, 200, 200);
inline bool PictureChanged = false;
inline DateValue PickedDate;        // handed to and back from the calendar
inline QString LastChosenFolder;    // where the last file dialog's file was; empty before one

// The lock-retry protocol (see HandleDbError).
inline bool LockRetry = false;
inline qint16 LockRetryCount = 0;
// Set when the user declines to replace a file or cancels a file dialog
// opened under the error trap; a caller that sees it set skips its file.
inline bool KeepExistingFile = false;

// Closes rsItems and dbInventory and puts every value back to its start value.
void resetGlobals();
