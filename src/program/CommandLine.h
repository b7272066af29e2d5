#pragma once

#include <QString>
#include <QStringList>

// The command line as the program reads it: its arguments (without the
// program's own name) joined by single blanks.
QString commandLineText(const QStringList &arguments);

// The data folder from the command line: the text that begins three
// characters after the hyphen of the first "-d" (case-sensitive, anywhere,
// even inside another word), up to the end, taken unchanged; without "-d" the
// current directory. A "/" is appended when the folder does not end with one,
// so "-d" at the very end gives "/".
QString dataFolderFromCommandLine(const QString &commandLine, const QString &currentDirectory);
