#pragma once

#include <QStringList>

class QMimeData;

// The files of a drop from a file manager: its local files, in the order
// given; empty for a drop of anything else.
QStringList droppedFiles(const QMimeData *mime);
