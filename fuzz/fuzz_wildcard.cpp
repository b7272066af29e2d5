// The wildcard match of the program's "Like": the pattern is the input up to
// the first 0 byte, the text the bytes after it. The match of a text and of
// its UTF-8 bytes must agree, case must not matter, and patterns without
// brackets must match exactly where a plain table-filling match does.
#include "FuzzSupport.h"

#include "data/Wildcard.h"

#include <QList>
#include <vector>

namespace {

// The reference: whether the folded text matches the folded pattern built of
// literals, "*", "?" and "#", by filling the whole table of prefixes.
bool referenceMatch(const QList<uint> &text, const QList<uint> &pattern)
{
    const qsizetype n = text.size();
    const qsizetype m = pattern.size();
    // row[j]: the pattern's first j characters match the text read so far.
    std::vector<char> row(std::size_t(m + 1), 0);
    row[0] = 1;
    for (qsizetype j = 1; j <= m; ++j)
        row[std::size_t(j)] = row[std::size_t(j - 1)] && pattern[j - 1] == U'*';
    for (qsizetype i = 1; i <= n; ++i) {
        std::vector<char> next(std::size_t(m + 1), 0);
        const uint c = text[i - 1];
        for (qsizetype j = 1; j <= m; ++j) {
            const uint p = pattern[j - 1];
            if (p == U'*')
                next[std::size_t(j)] = next[std::size_t(j - 1)] || row[std::size_t(j)];
            else if (p == U'?')
                next[std::size_t(j)] = row[std::size_t(j - 1)];
            else if (p == U'#')
                next[std::size_t(j)] = row[std::size_t(j - 1)] && c >= U'0' && c <= U'9';
            else
                next[std::size_t(j)] = row[std::size_t(j - 1)] && c == p;
        }
        row = std::move(next);
    }
    return row[std::size_t(m)];
}

QString asciiUpper(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return upper;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const qsizetype split = bytes.indexOf('\0');
    const QByteArray patternBytes = split < 0 ? bytes : bytes.left(split);
    const QByteArray textBytes = split < 0 ? QByteArray() : bytes.mid(split + 1);
    const QString pattern = QString::fromUtf8(patternBytes);
    const QString text = QString::fromUtf8(textBytes);

    const WildcardPattern compiled(pattern);
    const bool matched = compiled.matches(text);
    FUZZ_REQUIRE(compiled.matchesUtf8(textBytes.constData(), textBytes.size()) == matched,
                 "the UTF-8 match of \"%1\" against \"%2\" differs", text, pattern);
    FUZZ_REQUIRE(wildcardMatch(text, pattern) == matched, "the one-off match differs");
    FUZZ_REQUIRE(compiled.matches(asciiUpper(text)) == matched, "case matters for \"%1\" against \"%2\"", text,
                 pattern);
    if (!pattern.contains(u'[')) {
        const bool expected = referenceMatch(text.toCaseFolded().toUcs4(), pattern.toCaseFolded().toUcs4());
        FUZZ_REQUIRE(matched == expected, "\"%1\" against \"%2\": %3, expected %4", text, pattern,
                     QString::number(matched), QString::number(expected));
    }
    // A pattern always matches itself when it holds no wildcard character.
    if (!pattern.contains(u'*') && !pattern.contains(u'?') && !pattern.contains(u'#') && !pattern.contains(u'['))
        FUZZ_REQUIRE(WildcardPattern(pattern).matches(pattern), "\"%1\" does not match itself", pattern);
    return 0;
}
