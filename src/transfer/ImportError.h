#pragma once

#include <QString>
#include <stdexcept>

// A file that cannot be imported at all, with the reason for the user.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
