#include "program/CommandLine.h"

QString commandLineText(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

QString dataFolderFromCommandLine(const QString &commandLine, const QString &currentDirectory)
{
    QString folder;
    const qsizetype hyphen = commandLine.indexOf(QStringLiteral("-d"), 0, Qt::CaseSensitive);
    if (hyphen >= 0)
        folder = commandLine.mid(hyphen + 3); // skips "-d" and one separator character
    else
        folder = currentDirectory;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
