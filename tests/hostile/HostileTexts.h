#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Database;

// A text that has broken programs which paste input into SQL or markup, with
// a short name for failure messages.
struct HostileText {
    const char *name;
    QString text;
};

// Quotes, SQL comment and statement endings, the wildcards of other SQL
// dialects, a backslash, an unclosed bracket and an embedded NUL. None of
// them is a wildcard of ours (an unclosed "[" stands for itself), so each
// must be found exactly as written.
QList<HostileText> sqlTexts();

// Scripts of every kind: combining marks, right-to-left text, non-BMP emoji
// with zero-width joiners, CJK, and letters with case in Greek, Cyrillic and
// Deseret (outside the BMP).
QList<HostileText> unicodeTexts();

// The records of a report's text file, each a list of its cells. A cell
// holding a tab, a line break or a leading quote is quoted ("" standing for
// one quote inside); records end with CR LF.
QList<QStringList> tabRecords(const QString &text);

// "ok" when the database file passes SQLite's own check.
QString integrityOf(Database &db);
QString integrityOf(const QString &databasePath);

// True when text begins with prefix, case folded as the program folds.
bool startsFolded(const QString &text, const QString &prefix);
