#include <QApplication>
#include <gtest/gtest.h>

#include "LockHolder.h"
#include "TestProcess.h"

int main(int argc, char **argv)
{
    if (const int code = runLockHolderRoleIfAsked(); code >= 0)
        return code;
    prepareTestProcess();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
