#include "data/Wildcard.h"

#include <QList>
#include <QString>

static QList<uint> foldedCodePoints(QStringView text)
{
    return text.toString().toCaseFolded().toUcs4();
}

bool WildcardPattern::Token::matches(char32_t c) const
{
    switch (kind) {
    case Kind::Literal:
        return c == ch;
    case Kind::AnyOne:
        return true;
    case Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Kind::Set: {
        bool inSet = false;
        for (const auto &[low, high] : ranges) {
            if (c >= low && c <= high) {
                inSet = true;
                break;
            }
        }
        return inSet != negated;
    }
    case Kind::AnyRun:
        break;
    }
    return false;
}

WildcardPattern::WildcardPattern(QStringView pattern)
{
    const QList<uint> p = foldedCodePoints(pattern);
    const qsizetype n = p.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = p[i];
        Token token{Token::Kind::Literal, c, false, {}};
        if (c == U'*') {
            if (!m_tokens.empty() && m_tokens.back().kind == Token::Kind::AnyRun)
                continue; // "**" is the same as "*"
            token.kind = Token::Kind::AnyRun;
        } else if (c == U'?') {
            token.kind = Token::Kind::AnyOne;
        } else if (c == U'#') {
            token.kind = Token::Kind::Digit;
        } else if (c == U'[') {
            qsizetype first = i + 1;
            const bool negated = first < n && p[first] == U'!';
            if (negated)
                ++first;
            qsizetype close = first;
            while (close < n && p[close] != U']')
                ++close;
            if (close < n) {
                token.kind = Token::Kind::Set;
                token.negated = negated;
                for (qsizetype k = first; k < close; ++k) {
                    if (k + 2 < close && p[k + 1] == U'-') {
                        token.ranges.emplace_back(p[k], p[k + 2]); // a reversed range holds nothing
                        k += 2;
                    } else {
                        token.ranges.emplace_back(p[k], p[k]);
                    }
                }
                i = close;
                if (token.ranges.empty() && !negated)
                    continue; // "[]"
            }
            // else: an unclosed "[" is a literal and the rest is read as usual
        }
        m_tokens.push_back(std::move(token));
    }
}

// Greedy matching that, on a mismatch, only ever goes back to the most recent
// star and lets it take one more character: earlier stars never need to be
// revisited, because the later one can absorb whatever they would have.
// at(i) gives the i-th case-folded character of the text.
template <class At>
bool WildcardPattern::matchFolded(qsizetype n, At at) const
{
    const qsizetype m = qsizetype(m_tokens.size());
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starToken = -1;
    qsizetype starText = 0;
    while (t < n) {
        if (p < m && m_tokens[p].kind == Token::Kind::AnyRun) {
            starToken = p++;
            starText = t;
        } else if (p < m && m_tokens[p].matches(at(t))) {
            ++t;
            ++p;
        } else if (starToken >= 0) {
            p = starToken + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < m && m_tokens[p].kind == Token::Kind::AnyRun)
        ++p;
    return p == m;
}

bool WildcardPattern::matches(QStringView textView) const
{
    const QList<uint> text = foldedCodePoints(textView);
    return matchFolded(text.size(), [&text](qsizetype i) { return char32_t(text[i]); });
}

bool WildcardPattern::matchesUtf8(const char *text, qsizetype bytes) const
{
    for (qsizetype i = 0; i < bytes; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return matches(QString::fromUtf8(text, bytes));
    }
    // Case folding of an ASCII character is its lower case, nothing more.
    return matchFolded(bytes, [text](qsizetype i) {
        const char c = text[i];
        return char32_t(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
}

bool wildcardMatch(QStringView text, QStringView pattern)
{
    return WildcardPattern(pattern).matches(text);
}
