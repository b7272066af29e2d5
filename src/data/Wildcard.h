#pragma once

#include <QStringView>
#include <utility>
#include <vector>

// The program's wildcard match, as used by "Like" in its statements:
//   *      any run of characters, also none
//   ?      exactly one character
//   #      one digit 0-9
//   [abc]  one of the characters; [a-z] a range; [!a-z] anything but them.
//          A "[" without a closing "]" stands for itself; inside brackets
//          every character but "-" between two others is literal, so "[*]"
//          matches a star. "[]" matches nothing and takes no character.
// The whole text must match. Case is ignored for all of Unicode: text and
// pattern are compared case-folded, character by character (so "ß" matches
// "ß" but not "SS", since folding keeps one character as one).
// Cost grows with text length times pattern length, never exponentially.
class WildcardPattern {
public:
    explicit WildcardPattern(QStringView pattern);
    bool matches(QStringView text) const;
    // The same test on UTF-8 text as SQLite hands it over. Plain ASCII text
    // (the usual case) is matched in place without any copy, which keeps a
    // scan over a whole table cheap.
    bool matchesUtf8(const char *text, qsizetype bytes) const;

private:
    template <class At>
    bool matchFolded(qsizetype length, At at) const;
    struct Token {
        enum class Kind { Literal, AnyOne, Digit, Set, AnyRun } kind;
        char32_t ch = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges; // inclusive, for Set
        bool matches(char32_t c) const;
    };
    std::vector<Token> m_tokens;
};

bool wildcardMatch(QStringView text, QStringView pattern);
