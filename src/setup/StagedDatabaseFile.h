#pragma once

#include <QString>

// A database file built under a temporary name beside its final place and
// renamed to that place only once it is complete, so a failed build never
// leaves half a database under the real name.
class StagedDatabaseFile {
public:
    // Creates the empty temporary file in the final place's folder (an empty
    // file is an empty SQLite database). Throws SetupError.
    explicit StagedDatabaseFile(const QString &finalPath);
    // Removes the temporary file and its journal files unless placed.
    ~StagedDatabaseFile();
    StagedDatabaseFile(const StagedDatabaseFile &) = delete;
    StagedDatabaseFile &operator=(const StagedDatabaseFile &) = delete;

    const QString &path() const { return m_path; }
    const QString &finalPath() const { return m_finalPath; }

    // Renames the file to its final place; every connection to it must be
    // closed. Never replaces an existing file. Throws SetupError.
    void place();

private:
    QString m_path;
    QString m_finalPath;
    bool m_placed = false;
};
