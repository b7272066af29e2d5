#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Every file and folder under folder, keyed by its path relative to it
// (folders end with "/" and have empty contents), with each file's bytes.
// Hidden files count, so left-over temporary files show.
QMap<QString, QByteArray> folderContents(const QString &folder);
