#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>
#include <vector>

// How the item list's search compares texts: case is folded for all of
// Unicode, and accents and other combining marks are dropped after the
// compatibility decomposition, so "Café", "CAFE" and "café" read alike and
// a ligature or a full-width letter reads as its plain letters. Letters
// that carry no separate mark ("ø", "ł") stay themselves.
QString searchFold(QStringView text);

// Appends a stored text (UTF-8, as SQLite holds it) folded as above, as
// UTF-8. Plain ASCII, nearly every stored text, is only lowered.
void appendSearchFolded(QByteArray &out, const char *utf8, qsizetype bytes);

// The words of a typed search, each folded as above, as UTF-8; blanks of
// any kind separate words and empty words are dropped.
std::vector<QByteArray> searchWords(QStringView typed);

// A search over several texts: true when every word occurs in at least one
// of them (each word inside one text, in any order, anywhere in it).
class WordSearch {
public:
    explicit WordSearch(QStringView typed);
    bool isEmpty() const { return m_words.empty(); }
    std::size_t wordCount() const { return m_words.size(); }

    // Starts a new row of texts; the words of the mask (bit w for word w,
    // the first 64 words) count as found already.
    void beginRow(quint64 found = 0);
    // The first 64 words one text holds, as a mask (for texts met in many rows).
    quint64 wordsIn(const char *utf8, qsizetype bytes);
    // Looks for the words not yet found in one more text (UTF-8, as SQLite
    // holds it; nullptr for Null). True once every word has been found.
    bool addText(const char *utf8, qsizetype bytes);
    bool allFound() const { return m_found == m_words.size(); }

private:
    // Folds one text into m_folded.
    void fold(const char *utf8, qsizetype bytes);

    std::vector<QByteArray> m_words;
    std::vector<char> m_seen;
    std::size_t m_found = 0;
    QByteArray m_folded; // reused for each text
};

// True when every item that holds the words of typed also holds those of
// earlier: each earlier word lies inside one of the new words (the user
// typed on), so a search for typed need only look among earlier's items.
bool searchNarrows(QStringView typed, QStringView earlier);
