#pragma once

#include "data/Money.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The table of contents of a backup archive, stored in it as manifest.json
// (UTF-8 JSON): what made the backup and when, the inventory's item count
// and total value at that moment, and the size and SHA-256 of every other
// member. A restore trusts no byte of the archive that the manifest does not
// vouch for.

// One member of a backup besides the manifest.
struct BackupMember {
    QString name;      // path in the archive, "/" between parts: "images/00000042.jpg"
    qint64 size = 0;   // bytes
    QByteArray sha256; // 64 lower-case hexadecimal digits

    friend bool operator==(const BackupMember &, const BackupMember &) = default;
};

struct BackupManifest {
    QString programVersion;
    QDateTime created; // UTC, to the second
    qint64 itemCount = 0;
    Money totalValue; // the sum of every item's total value
    QList<BackupMember> members;
};

inline const QString ManifestName = QStringLiteral("manifest.json");
// The format this program writes and reads; a later one is refused rather
// than half understood.
inline constexpr int ManifestFormat = 1;
// Room for the entries of several hundred thousand pictures.
inline constexpr qint64 MaxManifestBytes = qint64(64) * 1024 * 1024;

QByteArray manifestJson(const BackupManifest &manifest);
// std::nullopt, with the reason in *problem, when json is not a manifest of
// this format: not JSON, a field missing or of the wrong kind, a member name
// that is not allowed (memberKind) or listed twice, a negative size, a
// checksum that is not 64 hexadecimal digits.
std::optional<BackupManifest> parseManifest(const QByteArray &json, QString *problem);

// What a member of a backup may be. Names are compared exactly; they never
// hold "\", a NUL or control character, "." or ".." parts, hidden parts
// (beginning with "."), an empty part or a leading "/".
enum class MemberKind {
    Inventory,  // stowbook.db
    Catalogue,  // rptspec.db
    Claimant,   // the claimant details
    Help,       // stowbook-help.html
    ReportFile, // a top-level *.srp or *.rpt file
    Picture,    // images/ followed by an item's picture name (eight digits or more, ".", an extension)
};
std::optional<MemberKind> memberKind(const QString &name);

// The picture folder's part of member names, with its "/".
inline const QString PictureMemberPrefix = QStringLiteral("images/");
