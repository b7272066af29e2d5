#include "backup/BackupManifest.h"

#include "data/Inventory.h"
#include "program/ItemFiles.h"
#include "program/Prompts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace {

const QString FormatKey = QStringLiteral("format");
const QString ProgramKey = QStringLiteral("program");
const QString VersionKey = QStringLiteral("programVersion");
const QString CreatedKey = QStringLiteral("created");
const QString ItemCountKey = QStringLiteral("itemCount");
const QString TotalValueKey = QStringLiteral("totalValue");
const QString MembersKey = QStringLiteral("members");
const QString NameKey = QStringLiteral("name");
const QString SizeKey = QStringLiteral("size");
const QString Sha256Key = QStringLiteral("sha256");

// JSON numbers are doubles: counts and sizes stay exact up to 2^53.
constexpr double LargestExactCount = 9007199254740992.0;

bool isPlainPart(QStringView part)
{
    if (part.isEmpty() || part.startsWith(u'.') || part.size() > 255)
        return false;
    for (const QChar c : part) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == u'\\' || c == u'/')
            return false;
    }
    return true;
}

std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number < 0 || number > LargestExactCount || number != std::floor(number))
        return std::nullopt;
    return qint64(number);
}

} // namespace

std::optional<MemberKind> memberKind(const QString &name)
{
    if (name.startsWith(PictureMemberPrefix)) {
        const QStringView rest = QStringView(name).mid(PictureMemberPrefix.size());
        if (isPlainPart(rest) && ItemFiles::isItemFile(rest))
            return MemberKind::Picture;
        return std::nullopt;
    }
    if (!isPlainPart(name))
        return std::nullopt;
    if (name == InventoryFileName)
        return MemberKind::Inventory;
    if (name == CatalogueFileName)
        return MemberKind::Catalogue;
    if (name == ClaimantFileName)
        return MemberKind::Claimant;
    if (name == HelpFileName)
        return MemberKind::Help;
    if (name.endsWith(QStringLiteral(".srp"), Qt::CaseInsensitive)
        || name.endsWith(QStringLiteral(".rpt"), Qt::CaseInsensitive))
        return MemberKind::ReportFile;
    return std::nullopt;
}

QByteArray manifestJson(const BackupManifest &manifest)
{
    QJsonArray members;
    for (const BackupMember &member : manifest.members) {
        members.append(QJsonObject{
            {NameKey, member.name}, {SizeKey, double(member.size)}, {Sha256Key, QString::fromLatin1(member.sha256)}});
    }
    const QJsonObject root{
        {ProgramKey, ProgramTitle},
        {FormatKey, ManifestFormat},
        {VersionKey, manifest.programVersion},
        {CreatedKey, manifest.created.toUTC().toString(Qt::ISODate)},
        {ItemCountKey, double(manifest.itemCount)},
        // As text: an amount is exact to the ten-thousandth, a JSON number is not.
        {TotalValueKey, manifest.totalValue.toDecimalText()},
        {MembersKey, members},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<BackupManifest> parseManifest(const QByteArray &json, QString *problem)
{
    const auto refuse = [problem](const QString &why) -> std::optional<BackupManifest> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (json.size() > MaxManifestBytes)
        return refuse(QStringLiteral("the manifest is larger than %1 bytes").arg(MaxManifestBytes));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("the manifest is not readable JSON (%1 at byte %2)")
                          .arg(error.errorString())
                          .arg(error.offset));
    if (!document.isObject())
        return refuse(QStringLiteral("the manifest is not a JSON object"));
    const QJsonObject root = document.object();
    if (root.value(ProgramKey).toString() != ProgramTitle)
        return refuse(QStringLiteral("the archive was not made by %1").arg(ProgramTitle));
    const QJsonValue format = root.value(FormatKey);
    if (!format.isDouble() || format.toDouble() != ManifestFormat)
        return refuse(QStringLiteral("the manifest has format %1; this program reads format %2")
                          .arg(format.toVariant().toString())
                          .arg(ManifestFormat));

    BackupManifest manifest;
    manifest.programVersion = root.value(VersionKey).toString();
    manifest.created = QDateTime::fromString(root.value(CreatedKey).toString(), Qt::ISODate);
    if (!manifest.created.isValid())
        return refuse(QStringLiteral("the manifest's date of creation is missing or not a date"));
    const std::optional<qint64> items = wholeNumber(root.value(ItemCountKey));
    if (!items)
        return refuse(QStringLiteral("the manifest's item count is missing or not a count"));
    manifest.itemCount = *items;
    const std::optional<Money> total = Money::fromDecimalText(root.value(TotalValueKey).toString());
    if (!total)
        return refuse(QStringLiteral("the manifest's total value is missing or not an amount"));
    manifest.totalValue = *total;

    const QJsonValue members = root.value(MembersKey);
    if (!members.isArray())
        return refuse(QStringLiteral("the manifest lists no members"));
    static const QRegularExpression hexDigest(QStringLiteral("^[0-9a-f]{64}$"));
    QSet<QString> seen;
    for (const QJsonValue &entry : members.toArray()) {
        if (!entry.isObject())
            return refuse(QStringLiteral("a member of the manifest is not a JSON object"));
        const QJsonObject object = entry.toObject();
        BackupMember member;
        member.name = object.value(NameKey).toString();
        if (!memberKind(member.name))
            return refuse(
                QStringLiteral("the manifest names a member \"%1\" that a backup never holds").arg(member.name));
        if (seen.contains(member.name))
            return refuse(QStringLiteral("the manifest lists \"%1\" twice").arg(member.name));
        seen.insert(member.name);
        const std::optional<qint64> size = wholeNumber(object.value(SizeKey));
        if (!size)
            return refuse(
                QStringLiteral("the size of \"%1\" in the manifest is not a count of bytes").arg(member.name));
        member.size = *size;
        const QString digest = object.value(Sha256Key).toString();
        if (!hexDigest.match(digest).hasMatch())
            return refuse(QStringLiteral("the checksum of \"%1\" in the manifest is not a SHA-256").arg(member.name));
        member.sha256 = digest.toLatin1();
        manifest.members.append(member);
    }
    return manifest;
}
