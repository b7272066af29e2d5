#include "HelperRoles.h"
#include "LockHolder.h"
#include "TestProcess.h"

#include <QApplication>
#include <gtest/gtest.h>

// The test program, which is also every second program the tests need: when
// started with a role in its environment it plays that role and ends.
int main(int argc, char **argv)
{
    if (const int code = runHelperRoleIfAsked(); code >= 0)
        return code;
    if (const int code = runLockHolderRoleIfAsked(); code >= 0)
        return code;
    prepareTestProcess();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
