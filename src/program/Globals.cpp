#include "program/Globals.h"

void resetGlobals()
{
    // The recordset before the database it belongs to.
    rsItems.reset();
    dbInventory.reset();
    DataFolder.clear();
    HelpFilePath.clear();
    CatListChanged = true;
    LocListChanged = true;
    CodeListKind = 0;
    ReportUseWith = QStringLiteral("items");
    HeaderShade = 0;
    BodyShade = qRgb(200, 200, 200);
    PictureChanged = false;
    PickedDate = DateValue();
    LastChosenFolder.clear();
    LockRetry = false;
    LockRetryCount = 0;
    KeepExistingFile = false;
}
