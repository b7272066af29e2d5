#include "copies/CopySettings.h"

#include "copies/CopyPlace.h"

#include <QSettings>

namespace {

QString groupOf(const QString &dataFolder)
{
    return QStringLiteral("copies/") + inventoryIdentity(dataFolder);
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
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Stowbook"),
                       QStringLiteral("Stowbook"));
    settings.beginGroup(groupOf(dataFolder));
    settings.setValue(QStringLiteral("lastVerified"), when.toUTC().toString(Qt::ISODate));
}
