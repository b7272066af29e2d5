#pragma once

#include <QString>
#include <QStringList>

// Remembers what a setup has made so far, so that a setup that fails part
// way takes it all away again and leaves the folder as it found it.
class CreatedPaths {
public:
    CreatedPaths() = default;
    // Unless kept: removes the recorded files, then the recorded folders
    // that are empty, the newest first.
    ~CreatedPaths();
    CreatedPaths(const CreatedPaths &) = delete;
    CreatedPaths &operator=(const CreatedPaths &) = delete;

    void addFile(const QString &path) { m_files << path; }
    void addFolder(const QString &path) { m_folders << path; }
    void keep() { m_kept = true; }

private:
    QStringList m_files;
    QStringList m_folders;
    bool m_kept = false;
};
