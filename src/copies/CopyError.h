#pragma once

#include <QString>
#include <stdexcept>

// Why a copy, a check of the copies or a restore from one did not go
// through: a message for the user that names the folder or file and the
// reason. A failed copy leaves every earlier version as it was, and a failed
// restore leaves no folder behind.
class CopyError : public std::runtime_error {
public:
    explicit CopyError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// A copy stopped because it was asked to (CopyControl::cancelled): no
// version was made, and nothing of it stays in the copies folder.
class CopyCancelled : public CopyError {
public:
    using CopyError::CopyError;
};
