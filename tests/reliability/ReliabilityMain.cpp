#include "HelperRoles.h"
#include "LockHolder.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

// The test program, which is also every second program the tests need: when
// started with a role in its environment it plays that role and ends.
int main(int argc, char **argv)
{
    if (const int code = runHelperRoleIfAsked(); code >= 0)
        return code;
    if (const int code = runLockHolderRoleIfAsked(); code >= 0)
        return code;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
