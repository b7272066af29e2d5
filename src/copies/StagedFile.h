#pragma once

#include "data/Sha256.h"

#include <QByteArray>
#include <QString>

// A file of the copies made whole before it has its name: written under a
// hidden name (".part-" and six characters) in a folder of the copy's own,
// in large blocks, with its size and SHA-256 counted on the way; synced and
// closed by finish(); then renamed to its final name by commitAs(), and the
// folder that received it synced. Dropped unfinished, it is removed. Every
// failure throws CopyError naming the file and the system's reason.
class StagedFile {
public:
    // Makes the hidden file in folder, its owner's alone.
    explicit StagedFile(const QString &folder);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    void write(const char *data, qint64 size);
    // Reads the file at source in large blocks and writes it here. what
    // names the source in messages.
    void copyFrom(const QString &source);
    // Writes what is buffered, syncs and closes.
    void finish();
    // Only after finish(): the file takes finalPath's name, and the folder
    // of finalPath is synced unless the caller syncs it once for many
    // files. An existing file of that name is replaced.
    void commitAs(const QString &finalPath, bool sync = true);

    qint64 size() const { return m_size; }
    // After finish(): the SHA-256 of everything written, lower-case hex.
    const QByteArray &sha256() const { return m_digest; }
    const QString &path() const { return m_path; }

    // What is gathered before one write to the disk.
    static constexpr qint64 BlockBytes = 4 * 1024 * 1024;

private:
    void flush();
    [[noreturn]] void fail(const QString &what, int error);

    QString m_path;
    int m_handle = -1;
    QByteArray m_buffer;
    qint64 m_used = 0;
    qint64 m_size = 0;
    Sha256 m_hash;
    QByteArray m_digest;
    bool m_committed = false;
};

// Reads the file at path in large blocks: its size and SHA-256, or
// std::nullopt with the system's reason in *problem when it cannot be read.
struct FileDigest {
    qint64 size = 0;
    QByteArray sha256;
};
std::optional<FileDigest> digestOf(const QString &path, QString *problem);
// The same for many files at once, read and hashed on a few threads (one
// per core, at most four): hashing, not the disk, is what keeps one thread
// waiting. The digests and problems are in the order of paths.
struct DigestResult {
    std::optional<FileDigest> digest;
    QString problem;
};
QList<DigestResult> digestsOf(const QStringList &paths);

// Makes the folder (one level) for its owner alone when it is not there.
// Throws CopyError when it cannot be made or is something else.
void makePrivateFolder(const QString &path);
// Syncs a folder's list of names; throws CopyError naming it.
void syncFolder(const QString &path);
