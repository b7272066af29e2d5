#include "dates/DateTokens.h"

#include "dates/LocaleText.h"

namespace {

bool isWordChar(QChar c)
{
    return c.isLetter() || c.isMark();
}

bool isGapChar(QChar c)
{
    return isBlank(c) || c == u'/' || c == u'-' || c == u'.' || c == u',' || c == u':';
}

} // namespace

std::optional<QList<DateToken>> tokenizeDate(QStringView text)
{
    QList<DateToken> tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        DateToken token;
        const QChar c = text[i];
        if (digitValueOf(c) >= 0) {
            token.kind = DateToken::Kind::Number;
            for (; i < n && digitValueOf(text[i]) >= 0; ++i) {
                ++token.digits;
                if (token.digits <= 9)
                    token.value = token.value * 10 + digitValueOf(text[i]);
            }
            if (token.digits > 9)
                token.value = -1;
        } else if (isWordChar(c)) {
            token.kind = DateToken::Kind::Word;
            // A dot between letters belongs to the word ("a.m"); a dot after
            // it is a gap ("Mai. 2001").
            for (; i < n && (isWordChar(text[i]) || (text[i] == u'.' && i + 1 < n && isWordChar(text[i + 1]))); ++i)
                token.text += text[i];
        } else if (isGapChar(c)) {
            token.kind = DateToken::Kind::Gap;
            const qsizetype start = i;
            for (; i < n && isGapChar(text[i]); ++i) {
                if (!isBlank(text[i]))
                    token.text += text[i];
            }
            token.minusSign =
                text[i - 1] == u'-' && i - 1 > start && isBlank(text[i - 2]) && i < n && digitValueOf(text[i]) >= 0;
        } else {
            return std::nullopt;
        }
        tokens << token;
    }
    return tokens;
}
