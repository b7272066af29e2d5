#pragma once

#include <QString>

// A count as the messages write it: grouped as the locale groups the
// amounts beside it ("20,000"), with its noun in the singular for one
// ("1 item", "20,000 items").
QString groupedCount(qint64 count);
QString countText(qint64 count, const QString &one, const QString &many);
