#pragma once

#include <QString>
#include <QStringList>

// The folders on the way to path, path itself included, that are not there
// yet, absolute and outermost first: made in this order they make path, and
// taken away in the opposite order they leave things as they were. A name on
// the way that is a file or a broken link is listed as well, so that making
// it fails and the message names it. A relative path is taken from the
// current directory.
QStringList missingFolders(const QString &path);
