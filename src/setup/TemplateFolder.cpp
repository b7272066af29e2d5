#include "setup/TemplateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString templateFolder()
{
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/stowbook"));
    if (QFileInfo(installed).isDir())
        return installed;
    return QStringLiteral(STOWBOOK_SOURCE_SHARE);
}
