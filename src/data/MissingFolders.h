#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The folders on the way to path, path itself included, that are not there
// yet, absolute and outermost first: made in this order they make path, and
// taken away in the opposite order they leave things as they were. A name on
// the way that is a file or a broken link is listed as well, so that making
// it fails and the message names it. A relative path is taken from the
// current directory.
QStringList missingFolders(const QString &path);

// Folders made on the way to a folder about to be filled, taken away again
// unless the filling went through (keep()).
class MadeFolders {
public:
    MadeFolders() = default;
    ~MadeFolders();
    MadeFolders(const MadeFolders &) = delete;
    MadeFolders &operator=(const MadeFolders &) = delete;

    // Makes the missing folders on the way to path; the one that could not
    // be made, when one could not.
    std::optional<QString> make(const QString &path);
    void keep() { m_kept = true; }

private:
    QStringList m_folders;
    bool m_kept = false;
};
