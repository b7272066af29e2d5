#pragma once

#include <QByteArray>
#include <QString>

// A short fingerprint of what a copy of the data folder would read: the
// size and modification time of the databases and their write-ahead logs,
// the claimant details, the help and report files, and the items' folder
// (item files are written under another name and renamed in, which changes
// the folder). Equal fingerprints: nothing was written since; a different
// one says a copy is due, and the copy itself decides whether anything it
// keeps changed. An empty log counts as none: opening the inventory makes
// one, and that is no change.
QByteArray sourceStamp(const QString &dataFolder);
