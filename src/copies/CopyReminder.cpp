#include "copies/CopyReminder.h"

#include "data/DateValue.h"
#include "dates/LocaleFormats.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

QString when(const QDateTime &utc)
{
    const QDateTime local = utc.toLocalTime();
    return formatShortDate(DateValue::fromDate(local.date())) + u' '
        + QLocale().toString(local.time(), QLocale::ShortFormat);
}

} // namespace

std::optional<QString> copiesReminder(const CopySettings &copies, const QDateTime &now)
{
    if (!copies.enabled || copies.folder.isEmpty())
        return std::nullopt;
    if (copies.warnedOn.isValid() && copies.warnedOn >= now.toLocalTime().date())
        return std::nullopt;
    const QString folder = QDir::toNativeSeparators(copies.folder);
    const QString since = copies.lastVerified.isValid()
        ? QStringLiteral("The last verified copy of your inventory was made on %1.").arg(when(copies.lastVerified))
        : QStringLiteral("No verified copy of your inventory has been made yet.");
    if (!QFileInfo(copies.folder).isDir())
        return QStringLiteral("Stowbook cannot find the copies folder %1, so it cannot copy your inventory there. "
                              "%2\n\n"
                              "If the folder is on a USB drive, plug the drive in: the next copy is made when you "
                              "close Stowbook. If a sync service (Nextcloud, Syncthing, Dropbox, OneDrive) carries "
                              "it, see that the folder was not moved or renamed. Or choose another folder under "
                              "File > Automatic Copies.")
            .arg(folder, since);
    if (copies.lastVerified.isValid() && copies.lastVerified.secsTo(now) <= qint64(StaleCopyDays) * 24 * 3600)
        return std::nullopt;
    return QStringLiteral("%1 Copies are switched on for the folder %2, but none has been made for more than %3 "
                          "days.\n\n"
                          "Open File > Automatic Copies and choose Copy Now: it says what stops the copy (a full "
                          "or read-only drive, for example). Or choose another folder there.")
        .arg(since, folder)
        .arg(StaleCopyDays);
}
