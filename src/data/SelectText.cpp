#include "data/SelectText.h"

#include <QChar>
#include <QString>
#include <vector>

namespace {
struct SqlToken {
    enum class Kind { Word, Number, Comma, Semicolon, Other } kind;
    qsizetype start;
    qsizetype end;
};
} // namespace

static bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

static bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The tokens outside parentheses; quoted texts, bracketed names and comments
// are passed over whole.
static std::vector<SqlToken> topLevelTokens(QStringView sql)
{
    std::vector<SqlToken> tokens;
    const qsizetype n = sql.size();
    int depth = 0;
    qsizetype i = 0;
    auto skipQuoted = [&](QChar close) {
        ++i;
        while (i < n) {
            if (sql[i] == close) {
                // A doubled closing quote stands for itself (not for "]").
                if (close != u']' && i + 1 < n && sql[i + 1] == close) {
                    i += 2;
                    continue;
                }
                ++i;
                return;
            }
            ++i;
        }
    };
    while (i < n) {
        const QChar c = sql[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            continue;
        }
        if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            i += 2;
            while (i < n && !(sql[i] == u'*' && i + 1 < n && sql[i + 1] == u'/'))
                ++i;
            i = qMin(n, i + 2);
            continue;
        }
        SqlToken::Kind kind = SqlToken::Kind::Other;
        if (c == u'\'' || c == u'"' || c == u'`') {
            skipQuoted(c);
        } else if (c == u'[') {
            skipQuoted(u']');
        } else if (c == u'(') {
            ++depth;
            ++i;
            continue;
        } else if (c == u')') {
            --depth;
            ++i;
            continue;
        } else if (isWordStart(c)) {
            while (i < n && isWordPart(sql[i]))
                ++i;
            kind = SqlToken::Kind::Word;
        } else if (c.isDigit()) {
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'.'))
                ++i;
            kind = SqlToken::Kind::Number;
        } else {
            kind = c == u',' ? SqlToken::Kind::Comma : c == u';' ? SqlToken::Kind::Semicolon : SqlToken::Kind::Other;
            ++i;
        }
        if (depth == 0)
            tokens.push_back({kind, start, i});
    }
    return tokens;
}

std::optional<SelectText> splitSelect(QStringView sql)
{
    const std::vector<SqlToken> tokens = topLevelTokens(sql);
    auto isWord = [&](std::size_t k, const char *word) {
        return k < tokens.size() && tokens[k].kind == SqlToken::Kind::Word
            && sql.mid(tokens[k].start, tokens[k].end - tokens[k].start)
                   .compare(QLatin1String(word), Qt::CaseInsensitive)
            == 0;
    };
    if (!isWord(0, "select"))
        return std::nullopt;
    SelectText parts;
    parts.listStart = tokens[0].end;
    std::size_t k = 1;
    while (k < tokens.size() && !isWord(k, "from"))
        ++k;
    if (k == tokens.size())
        return std::nullopt;
    parts.fromStart = tokens[k].start;

    auto endsClause = [&](std::size_t t) {
        return tokens[t].kind == SqlToken::Kind::Semicolon || isWord(t, "limit") || isWord(t, "having")
            || isWord(t, "window") || isWord(t, "order") || isWord(t, "group") || isWord(t, "union")
            || isWord(t, "except") || isWord(t, "intersect");
    };
    for (; k + 1 < tokens.size(); ++k) {
        if (!(isWord(k, "order") || isWord(k, "group")) || !isWord(k + 1, "by"))
            continue;
        std::size_t t = k + 2;
        while (t < tokens.size() && !endsClause(t)) {
            // One term: a lone number, perhaps with its direction, names a column by place.
            const std::size_t termStart = t;
            while (t < tokens.size() && tokens[t].kind != SqlToken::Kind::Comma && !endsClause(t))
                ++t;
            std::size_t termEnd = t;
            if (termEnd - termStart == 2 && (isWord(termEnd - 1, "asc") || isWord(termEnd - 1, "desc")))
                --termEnd;
            if (termEnd - termStart == 1 && tokens[termStart].kind == SqlToken::Kind::Number)
                parts.numberedOrderTerm = true;
            if (t < tokens.size() && tokens[t].kind == SqlToken::Kind::Comma)
                ++t;
        }
        k = t - 1;
    }
    return parts;
}
