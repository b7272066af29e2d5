#include "program/TextFields.h"

qint16 CountFields(const QString &text, QChar delimiter)
{
    if (text.isEmpty() || text.size() > MaxFieldText)
        return 0;
    return qint16(text.count(delimiter) + 1);
}

QString GetField(const QString &text, QChar delimiter, qint16 n)
{
    if (n < 1 || text.size() > MaxFieldText)
        return QString();
    qsizetype start = 0;
    for (qint16 i = 1; i < n; ++i) {
        const qsizetype next = text.indexOf(delimiter, start);
        if (next < 0)
            return QString();
        start = next + 1;
    }
    const qsizetype end = text.indexOf(delimiter, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}
