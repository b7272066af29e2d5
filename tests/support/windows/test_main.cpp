#include <QApplication>
#include <gtest/gtest.h>

#include "LockHolder.h"
#include "TestProcess.h"
#include "focus/ButtonPress.h"

int main(int argc, char **argv)
{
    if (const int code = runLockHolderRoleIfAsked(); code >= 0)
        return code;
    prepareTestProcess();
    QApplication app(argc, argv);
    // The windows under test keep the desktop rules of the program.
    installButtonRules(&app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
