#include "copies/CopySettings.h"

#include "copies/CopyPlace.h"

#include <QSettings>

namespace {

QString groupOf(const QString &dataFolder)
{
    return QStringLiteral("copies/") + inventoryIdentity(dataFolder);
}

void setOne(const QString &dataFolder, const QString &key, const QVariant &value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Stowbook"),
                       QStringLiteral("Stowbook"));
    settings.beginGroup(groupOf(dataFolder));
    settings.setValue(key, value);
}

} // namespace

CopySettings readCopySettings(const QString &dataFolder)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Stowbook"),
                       QStringLiteral("Stowbook"));
    settings.beginGroup(groupOf(dataFolder));
    CopySettings copies;
    copies.folder = settings.value(QStringLiteral("folder")).toString();
    copies.enabled = settings.value(QStringLiteral("enabled"), false).toBool();
    copies.lastVerified = QDateTime::fromString(settings.value(QStringLiteral("lastVerified")).toString(), Qt::ISODate);
    copies.copiedStamp = settings.value(QStringLiteral("copiedStamp")).toString().toLatin1();
    copies.warnedOn = QDate::fromString(settings.value(QStringLiteral("warnedOn")).toString(), Qt::ISODate);
    return copies;
}

void writeCopySettings(const QString &dataFolder, const CopySettings &copies)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Stowbook"),
                       QStringLiteral("Stowbook"));
    settings.beginGroup(groupOf(dataFolder));
    settings.setValue(QStringLiteral("folder"), copies.folder);
    settings.setValue(QStringLiteral("enabled"), copies.enabled);
    settings.setValue(QStringLiteral("dataFolder"), dataFolder);
    if (copies.lastVerified.isValid())
        settings.setValue(QStringLiteral("lastVerified"), copies.lastVerified.toUTC().toString(Qt::ISODate));
}

void noteVerifiedCopy(const QString &dataFolder, const QDateTime &when)
{
    setOne(dataFolder, QStringLiteral("lastVerified"), when.toUTC().toString(Qt::ISODate));
}

void noteCopiedStamp(const QString &dataFolder, const QByteArray &stamp)
{
    setOne(dataFolder, QStringLiteral("copiedStamp"), QString::fromLatin1(stamp));
}

void noteCopiesWarning(const QString &dataFolder, const QDate &day)
{
    setOne(dataFolder, QStringLiteral("warnedOn"), day.toString(Qt::ISODate));
}
