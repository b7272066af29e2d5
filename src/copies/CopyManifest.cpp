#include "copies/CopyManifest.h"

#include "copies/CopyPlace.h"
#include "data/Sha256.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString KindKey = QStringLiteral("kind");
const QString KindValue = QStringLiteral("copy");
const QString VersionKey = QStringLiteral("version");
const QString IdentityKey = QStringLiteral("inventory");
const QString FolderKey = QStringLiteral("dataFolder");

} // namespace

QByteArray copyManifestJson(const CopyManifest &manifest)
{
    QJsonObject root = QJsonDocument::fromJson(manifestJson(manifest.contents)).object();
    root.insert(KindKey, KindValue);
    root.insert(VersionKey, manifest.version);
    root.insert(IdentityKey, manifest.identity);
    root.insert(FolderKey, manifest.dataFolder);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<CopyManifest> parseCopyManifest(const QByteArray &json, QString *problem)
{
    std::optional<BackupManifest> contents = parseManifest(json, problem);
    if (!contents)
        return std::nullopt;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const auto refuse = [problem](const QString &why) -> std::optional<CopyManifest> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (root.value(KindKey).toString() != KindValue)
        return refuse(QStringLiteral("the manifest is not that of a copy"));
    CopyManifest manifest;
    manifest.version = root.value(VersionKey).toString();
    if (!versionTime(manifest.version))
        return refuse(QStringLiteral("the manifest's version name is missing or not a version name"));
    manifest.identity = root.value(IdentityKey).toString();
    if (!isIdentityName(manifest.identity))
        return refuse(QStringLiteral("the manifest names no inventory"));
    manifest.dataFolder = root.value(FolderKey).toString();
    manifest.contents = std::move(*contents);
    return manifest;
}

QByteArray manifestChecksumLine(const QByteArray &manifestBytes)
{
    return Sha256::hexOf(manifestBytes) + "  " + CopyManifestName.toLatin1() + '\n';
}
