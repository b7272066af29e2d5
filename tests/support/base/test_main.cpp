#include <QGuiApplication>
#include <gtest/gtest.h>

#include "LockHolder.h"
#include "TestProcess.h"

// The window-free programs run under a QGuiApplication: fonts, images and the
// page layout need one, and these programs link no window library.
int main(int argc, char **argv)
{
    if (const int code = runLockHolderRoleIfAsked(); code >= 0)
        return code;
    prepareTestProcess();
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
