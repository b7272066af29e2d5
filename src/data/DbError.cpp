#include "data/DbError.h"

#include <utility>

DbError::DbError(int number, QString text) : m_number(number), m_text(std::move(text))
{
    m_what = QByteArray::number(number) + "  " + m_text.toUtf8();
}

DbError DbError::objectClosed()
{
    return DbError(ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

DbError DbError::pathFileAccess(const QString &what)
{
    return DbError(PathFileAccess, QStringLiteral("Path/File access error: ") + what);
}

DbError DbError::overflow()
{
    return DbError(Overflow, QStringLiteral("Overflow"));
}
