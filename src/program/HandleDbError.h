#pragma once

#include "data/DbError.h"
#include "program/Globals.h"

#include <utility>

// The one database error handler. Called with the failure of a trapped step;
// when it returns, the caller goes on with its next step. By the number:
//   3045        in-use message, then the program ends;
//   3049        the inventory database is repaired (the damaged file kept
//               aside), reopened exclusively as dbInventory, and rsItems reopened;
//   3168, 3260  one more try of the lock-retry loop (LockRetry set); after 99
//               silent tries the "Locked Record" question: Yes gives 99 more,
//               No ends the program;
//   32755       a cancelled file dialog: KeepExistingFile is set;
//   other       "number, two blanks, text" in a message box.
void HandleDbError(const DbError &error);

// Runs one database step under the error trap: a DbError goes to
// HandleDbError and the caller continues with its next statement. Nothing
// else is caught.
template <class Step>
void trapDb(Step &&step)
{
    try {
        std::forward<Step>(step)();
    } catch (const DbError &error) {
        HandleDbError(error);
    }
}

// The lock-retry protocol around one record write or delete: the write is
// repeated while HandleDbError asks for another try. The caller then frees
// the engine's locks.
template <class Write>
void withLockRetry(Write &&write)
{
    LockRetryCount = 0;
    LockRetry = true;
    while (LockRetry) {
        LockRetry = false;
        trapDb(write);
    }
}
