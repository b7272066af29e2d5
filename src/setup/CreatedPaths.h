#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>
#include <utility>
#include <vector>

// Remembers what a setup has made so far, so that a setup that fails part
// way takes it all away again and leaves the folder as it found it.
class CreatedPaths {
public:
    CreatedPaths() = default;
    // Unless kept: removes the recorded files, then the recorded folders
    // that are empty, the newest first, then gives the folders that were
    // there before their old modes back.
    ~CreatedPaths();
    CreatedPaths(const CreatedPaths &) = delete;
    CreatedPaths &operator=(const CreatedPaths &) = delete;

    void addFile(const QString &path) { m_files << path; }
    void addFolder(const QString &path) { m_folders << path; }
    void addModeChange(const QString &path, mode_t oldMode) { m_modes.emplace_back(path, oldMode); }
    void keep() { m_kept = true; }

private:
    QStringList m_files;
    QStringList m_folders;
    std::vector<std::pair<QString, mode_t>> m_modes;
    bool m_kept = false;
};
