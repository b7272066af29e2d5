#pragma once

#include "backup/BackupManifest.h"
#include "backup/ZipSupport.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// A backup archive opened for reading. Nothing in it is trusted: each
// member's name, kind, size and checksum is checked against the manifest
// before its bytes are used, and reading a member stops at the size the
// manifest gives it.
class BackupArchive {
public:
    // Opens the archive at path. Throws BackupError when it is no readable
    // ZIP archive (missing, damaged, cut short).
    static std::unique_ptr<BackupArchive> open(const QString &path);
    // The same for an archive held in memory; bytes must outlive the archive.
    static std::unique_ptr<BackupArchive> openBytes(const QByteArray &bytes);
    ~BackupArchive();
    BackupArchive(const BackupArchive &) = delete;
    BackupArchive &operator=(const BackupArchive &) = delete;

    // The manifest, after the archive's list of members has been checked
    // against it: every member has a name a backup may hold (no absolute
    // path, no "..", nothing outside the data folder's files), is neither a
    // link nor a folder, is not encrypted, is stored or deflated, appears
    // once, has its own bytes (members side by side fit in the archive: no
    // two share their compressed data, as in a ZIP bomb), and is listed in the manifest with the size the archive gives
    // it; and every member the manifest lists is there. Throws BackupError
    // naming the first member that fails. Reads only the manifest's bytes.
    const BackupManifest &manifest();

    // Reads the member with its checks (size and checksum), handing its
    // bytes in pieces to sink, which returns false to stop (and the read
    // then throws BackupError with the sink's reason). Throws BackupError
    // when the member is larger or smaller than the manifest says, its
    // bytes do not give the manifest's checksum, or the archive is damaged.
    using Sink = std::function<bool(const char *data, qint64 size, QString &reason)>;
    void readMember(const BackupMember &member, const Sink &sink);

    // Checks every member's bytes and each database's soundness: the
    // databases are written into scratchFolder (an existing, private
    // folder) for SQLite's integrity check, and the inventory's item count
    // and total value must be the manifest's. Throws BackupError.
    void verify(const QString &scratchFolder, const std::function<void(double)> &progress = {});

    // Writes every member into folder (existing and empty): pictures into
    // its images folder (made here), the rest at its top, each file new,
    // readable by its owner only, checked again as it is written and synced.
    // Throws BackupError; the caller removes folder then.
    void extractTo(const QString &folder, const std::function<void(double)> &progress = {});

    // The most members an archive may have: a million pictures and more.
    static constexpr qint64 MaxMembers = 2'000'000;

private:
    BackupArchive(zip_t *archive, QString description, qint64 archiveBytes);
    void checkEntries();
    // The integrity check, and the inventory's figures against the manifest.
    void checkDatabase(const QString &path, const QString &name, MemberKind kind, const BackupManifest &contents) const;
    [[noreturn]] void refuse(const QString &why) const;

    ZipArchivePtr m_archive;
    QString m_description; // "the backup /path/x.zip", for messages
    qint64 m_archiveBytes; // the archive's size
    std::optional<BackupManifest> m_manifest;
    QHash<QString, zip_uint64_t> m_index; // member name -> entry
};
