#include "LockHolder.h"

#include "data/Database.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <string>

namespace {
const char *const RoleVariable = "STOWBOOK_TEST_LOCK_ROLE";
const char *const PathVariable = "STOWBOOK_TEST_LOCK_PATH";

bool readLine(QProcess &process, const QByteArray &expected)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(30000))
            return false;
    }
    return process.readLine().trimmed() == expected;
}
} // namespace

LockHolder::LockHolder(Role role, const QString &databasePath)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(RoleVariable),
               role == Role::Exclusive ? QStringLiteral("exclusive") : QStringLiteral("write"));
    env.insert(QString::fromLatin1(PathVariable), databasePath);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QCoreApplication::applicationFilePath(), {});
    if (!m_process.waitForStarted(30000) || !readLine(m_process, "ready"))
        throw std::runtime_error("the lock holder did not start");
    m_holding = true;
}

void LockHolder::release()
{
    if (!m_holding)
        return;
    m_process.write("release\n");
    m_process.waitForBytesWritten(30000);
    if (!readLine(m_process, "released"))
        ADD_FAILURE() << "the lock holder did not let go";
    m_holding = false;
}

LockHolder::~LockHolder()
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(30000))
        m_process.kill();
}

int runLockHolderRoleIfAsked()
{
    const QByteArray role = qgetenv(RoleVariable);
    if (role.isEmpty())
        return -1;
    const QString path = QString::fromLocal8Bit(qgetenv(PathVariable));
    try {
        auto db = Database::open(path, role == "exclusive" ? OpenMode::Exclusive : OpenMode::Shared);
        if (role == "write")
            db->execute(QStringLiteral("BEGIN IMMEDIATE"));
        std::cout << "ready" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
            if (line == "release") {
                if (role == "write")
                    db->execute(QStringLiteral("ROLLBACK"));
                else
                    db->close();
                std::cout << "released" << std::endl;
            }
        }
        return 0;
    } catch (const DbError &error) {
        std::cerr << "lock holder: " << error.what() << std::endl;
        return 3;
    }
}
