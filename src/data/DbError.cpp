#include "data/DbError.h"

#include <utility>

DbError::DbError(int number, QString text)
    : m_number(number), m_text(std::move(text))
{
    m_what = QByteArray::number(number) + "  " + m_text.toUtf8();
}
