#pragma once

#include <QMap>
#include <QString>
#include <sys/types.h>

// The permission bits (mode & 07777) of folder itself (key "./") and of
// everything under it, hidden files included, keyed by the path relative to
// folder; folders end with "/".
QMap<QString, mode_t> fileModes(const QString &folder);

// Sets the process's umask while it lives.
class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask);
    ~UmaskGuard();
    UmaskGuard(const UmaskGuard &) = delete;
    UmaskGuard &operator=(const UmaskGuard &) = delete;

private:
    mode_t m_previous;
};

// The entries whose mode is not 0700 for a folder or 0600 for a file, as
// "name 0755" lines: empty when everything is private.
QStringList notPrivate(const QMap<QString, mode_t> &modes);
