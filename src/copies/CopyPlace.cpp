#include "copies/CopyPlace.h"

#include "data/Sha256.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

QString inventoryIdentity(const QString &dataFolder)
{
    const QFileInfo info(dataFolder);
    QString path = info.canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(info.absoluteFilePath());
    return QString::fromLatin1(Sha256::hexOf(path.toUtf8()).left(16));
}

CopyPlace::CopyPlace(const QString &copiesFolder, const QString &identity)
    : m_copiesFolder(QDir::cleanPath(QFileInfo(copiesFolder).absoluteFilePath()))
    , m_identity(identity)
{
}

QString CopyPlace::folder() const
{
    return m_copiesFolder + u'/' + CopiesFolderName + u'/' + m_identity;
}

QString CopyPlace::versionsFolder() const
{
    return folder() + QStringLiteral("/versions");
}

QString CopyPlace::filesFolder() const
{
    return folder() + QStringLiteral("/files");
}

QString CopyPlace::versionFolder(const QString &version) const
{
    return versionsFolder() + u'/' + version;
}

QString CopyPlace::storedName(const QByteArray &sha256)
{
    const QString hex = QString::fromLatin1(sha256);
    return QStringLiteral("files/") + hex.left(2) + u'/' + hex;
}

QString CopyPlace::storedFile(const QByteArray &sha256) const
{
    return folder() + u'/' + storedName(sha256);
}

QString CopyPlace::lockFile() const
{
    return folder() + QStringLiteral("/lock");
}

QString CopyPlace::aboutFile() const
{
    return folder() + QStringLiteral("/inventory.json");
}

QString CopyPlace::hashCacheFile() const
{
    return folder() + QStringLiteral("/checksums.json");
}

QString versionNameAt(const QDateTime &utc)
{
    return utc.toUTC().toString(QStringLiteral("yyyy-MM-ddTHHmmss")) + u'Z';
}

std::optional<QDateTime> versionTime(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}T\\d{6})Z(-[1-9]\\d{0,3})?$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    QDateTime time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-ddTHHmmss"));
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

bool isChecksumName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{64}$"));
    return pattern.match(name).hasMatch();
}

bool isIdentityName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{16}$"));
    return pattern.match(name).hasMatch();
}
