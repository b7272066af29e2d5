#include "copies/CopySource.h"

#include "data/Inventory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace {

void addState(QCryptographicHash &hash, const QString &name, const QString &path, bool emptyIsNone)
{
    struct stat info {};
    QByteArray line = name.toUtf8() + ' ';
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || (emptyIsNone && info.st_size == 0)) {
        line += "none";
    } else {
        line += QByteArray::number(qint64(info.st_size)) + ' ' + QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.'
            + QByteArray::number(qint64(info.st_mtim.tv_nsec)) + ' ' + QByteArray::number(qint64(info.st_ino));
    }
    hash.addData(line + '\n');
}

} // namespace

QByteArray sourceStamp(const QString &dataFolder)
{
    const QDir data(dataFolder);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &database : {InventoryFileName, CatalogueFileName}) {
        addState(hash, database, data.filePath(database), false);
        const QString log = database + QStringLiteral("-wal");
        addState(hash, log, data.filePath(log), true);
    }
    for (const QString &name : {ClaimantFileName, HelpFileName, ImagesFolderName})
        addState(hash, name, data.filePath(name), false);
    const QStringList reports = data.entryList({QStringLiteral("*.srp"), QStringLiteral("*.rpt")},
                                               QDir::Files | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : reports)
        addState(hash, name, data.filePath(name), false);
    return hash.result().toHex().left(32);
}
