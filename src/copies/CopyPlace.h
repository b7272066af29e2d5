#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// Where the copies of one inventory live in a copies folder:
//
//   COPIES/stowbook-copies/<identity>/inventory.json   which data folder this is
//   COPIES/stowbook-copies/<identity>/versions/<name>/  one version: the databases,
//                                                       report files, claimant
//                                                       details, help file and
//                                                       manifest.json
//   COPIES/stowbook-copies/<identity>/files/ab/<sha256> each photo and document,
//                                                       once, by its SHA-256
//
// Several inventories share one copies folder, each under its own identity;
// everything else in the copies folder belongs to someone else and is never
// touched. Version names are the UTC time of the copy, "2026-12-08T093015Z",
// with "-2", "-3"... when two copies fall in one second.
inline const QString CopiesFolderName = QStringLiteral("stowbook-copies");

// The identity of the inventory in the data folder dataFolder: sixteen
// hexadecimal digits of the SHA-256 of its absolute, canonical path, so the
// same folder always copies into the same place and two folders never share
// one.
QString inventoryIdentity(const QString &dataFolder);

class CopyPlace {
public:
    CopyPlace(const QString &copiesFolder, const QString &identity);

    const QString &copiesFolder() const { return m_copiesFolder; }
    const QString &identity() const { return m_identity; }
    // Paths without a trailing "/".
    QString folder() const;
    QString versionsFolder() const;
    QString filesFolder() const;
    QString versionFolder(const QString &version) const;
    // Where the photo or document with that checksum is kept.
    QString storedFile(const QByteArray &sha256) const;
    // The stored file's path inside the copies of this inventory, "files/ab/abcd...".
    static QString storedName(const QByteArray &sha256);
    QString lockFile() const;
    QString aboutFile() const;
    QString hashCacheFile() const;

private:
    QString m_copiesFolder;
    QString m_identity;
};

// The name of a version made at utc (seconds are kept, the rest dropped).
QString versionNameAt(const QDateTime &utc);
// When the version of that name was made; std::nullopt for a name that is
// not a version name of ours.
std::optional<QDateTime> versionTime(const QString &name);
// Whether a name is a SHA-256 in lower-case hexadecimal digits.
bool isChecksumName(const QString &name);
// Whether a name is an identity (sixteen lower-case hexadecimal digits).
bool isIdentityName(const QString &name);

// Names of our own inside an inventory's copies.
inline const QString PinnedMarkerName = QStringLiteral("pinned");
inline const QString StagingPrefix = QStringLiteral(".new-");
inline const QString RetiringPrefix = QStringLiteral(".old-");
inline const QString PartPrefix = QStringLiteral(".part-");
inline const QString StoredLedgerName = QStringLiteral(".stored");
