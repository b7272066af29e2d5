#include "program/CountText.h"

#include <QLocale>

QString groupedCount(qint64 count)
{
    return QLocale().toString(count);
}

QString countText(qint64 count, const QString &one, const QString &many)
{
    return groupedCount(count) + u' ' + (count == 1 ? one : many);
}
