#pragma once

#include <QProcess>
#include <QString>

// A second program on the same database file: the test binary started again
// in a helper role. It holds a lock until told to let go, so tests meet real
// locks of another process.
class LockHolder {
public:
    enum class Role {
        Exclusive, // opens the file exclusively
        WriteLock, // opens it shared and holds a write transaction
    };
    LockHolder(Role role, const QString &databasePath);
    ~LockHolder();  // ends the process
    void release(); // lets go of the lock; the process stays
    bool isHolding() const { return m_holding; }

private:
    QProcess m_process;
    bool m_holding = false;
};

// Called first in the test main: runs the helper role when this process was
// started as one, and returns its exit code; -1 otherwise.
int runLockHolderRoleIfAsked();
