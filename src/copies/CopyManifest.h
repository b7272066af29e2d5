#pragma once

#include "backup/BackupManifest.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The manifest of one version, its manifest.json: the backup's manifest
// (program, date, item count, total value, every member's size and SHA-256)
// with the version's name and the inventory's identity and data folder.
// The databases are files in the version's folder; every other member (the
// report files, claimant details, help file and, named "images/" and the
// item file's name, each photo and document) is kept once in the copies'
// files folder under the SHA-256 the member gives, whatever number of
// versions refer to it.
struct CopyManifest {
    QString version;
    QString identity;
    QString dataFolder;
    BackupManifest contents;
};

inline const QString CopyManifestName = QStringLiteral("manifest.json");
// The manifest's own SHA-256, in the form sha256sum writes and checks
// ("<64 digits>  manifest.json"): a damaged manifest is found, not believed.
inline const QString ManifestChecksumName = QStringLiteral("manifest.sha256");
QByteArray manifestChecksumLine(const QByteArray &manifestBytes);

QByteArray copyManifestJson(const CopyManifest &manifest);
// std::nullopt, with the reason in *problem, when json is not a copy's
// manifest: what parseManifest refuses, or the version or identity missing.
std::optional<CopyManifest> parseCopyManifest(const QByteArray &json, QString *problem);
// Whether a member is kept in the files folder (all but the databases).
inline bool isStoredMember(const BackupMember &member)
{
    const std::optional<MemberKind> kind = memberKind(member.name);
    return kind != MemberKind::Inventory && kind != MemberKind::Catalogue;
}
