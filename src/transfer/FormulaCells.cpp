#include "transfer/FormulaCells.h"

static bool isFormulaStart(char16_t c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

bool needsFormulaGuard(QByteArrayView utf8)
{
    qsizetype i = 0;
    while (i < utf8.size() && utf8[i] == '\'')
        ++i;
    return i < utf8.size() && isFormulaStart(char16_t(static_cast<unsigned char>(utf8[i])));
}

bool needsFormulaGuard(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    return i < text.size() && isFormulaStart(text[i].unicode());
}

QString withoutFormulaGuard(const QString &text)
{
    if (text.startsWith(u'\'') && needsFormulaGuard(QStringView(text)))
        return text.mid(1);
    return text;
}
