#include "FileIconsByName.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace {

QMimeType typeByName(const QFileInfo &info)
{
    return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

} // namespace

QIcon FileIconsByName::icon(const QFileInfo &info) const
{
    if (!info.isFile())
        return QAbstractFileIconProvider::icon(info);
    const QMimeType type = typeByName(info);
    if (type.isDefault())
        return QAbstractFileIconProvider::icon(File);
    return QIcon::fromTheme(type.iconName(),
                            QIcon::fromTheme(type.genericIconName(), QAbstractFileIconProvider::icon(File)));
}

QString FileIconsByName::type(const QFileInfo &info) const
{
    if (!info.isFile())
        return QAbstractFileIconProvider::type(info);
    const QMimeType type = typeByName(info);
    return type.comment().isEmpty() ? type.name() : type.comment();
}
