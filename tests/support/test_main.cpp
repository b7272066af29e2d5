#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include "LockHolder.h"

int main(int argc, char **argv)
{
    if (const int code = runLockHolderRoleIfAsked(); code >= 0)
        return code;
    // Tests never open a real screen, and never depend on the machine's locale.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
