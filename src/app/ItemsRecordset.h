#pragma once

#include "data/DbError.h"
#include "program/Globals.h"

// rsItems for the item editor's steps. When the inventory could not be opened
// (or reopened after a repair) there is none: the step then fails with 3420
// like any use of a closed recordset, and the error trap reports it.
inline Recordset &items()
{
    if (!rsItems)
        throw DbError::objectClosed();
    return *rsItems;
}
