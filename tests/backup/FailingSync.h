#pragma once

#include <QString>
#include <QStringList>
#include <cerrno>
#include <functional>

// While an object of this class lives, fsync fails with error for the files
// and folders that failsFor picks by the path the descriptor stands for;
// every other fsync of the process, SQLite's and Qt's too, is the system's.
// The test program defines fsync itself for this (FailingSync.cpp). One at
// a time.
class FailingSync {
public:
    explicit FailingSync(std::function<bool(const QString &path)> failsFor, int error = EIO);
    ~FailingSync();
    FailingSync(const FailingSync &) = delete;
    FailingSync &operator=(const FailingSync &) = delete;

    // The paths whose sync was made to fail, in order.
    QStringList failed() const;
};
