#pragma once

#include <QString>
#include <stdexcept>

// Why a backup, a check of one or a restore did not go through: a message
// for the user that names the file and the reason. Whatever the step, a
// failure leaves no partial archive and no partial data folder behind.
class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
