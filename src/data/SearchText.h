#pragma once

#include <QByteArray>
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

// True when every item that holds the words of typed also holds those of
// earlier: each earlier word lies inside one of the new words (the user
// typed on), so a search for typed need only look among earlier's items.
bool searchNarrows(QStringView typed, QStringView earlier);
