#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The command line as the program reads it: its arguments (without the
// program's own name) joined by single blanks.
QString commandLineText(const QStringList &arguments);

// The data folder from the command line: the text that begins three
// characters after the hyphen of the first "-d" (case-sensitive, anywhere,
// even inside another word), up to the end, taken unchanged; without "-d" the
// current directory. A "/" is appended when the folder does not end with one,
// so "-d" at the very end gives "/".
QString dataFolderFromCommandLine(const QString &commandLine, const QString &currentDirectory);

// One word of a command line as QCommandLineParser reads it. The parser says
// which options it found, not where; the tools report the first mistake on
// the line and let a later option count over an earlier one, so the words
// are handed over in the order they were typed.
struct CommandLineWord {
    enum class Kind {
        Option,   // one of the options given ("-ab" gives a word for each option in it)
        Argument, // not an option: a name, "-" alone, an empty word, anything after "--"
        Unknown,  // an option the parser does not take: not one of those given, or
                  // written with a value when it takes none ("--demo=yes")
    };
    Kind kind = Kind::Argument;
    // The word as typed: for an option, its own word, without a value that
    // followed as the next word.
    QString text;
    // Option: its last name, as given ("help" for "-h" of {"h", "help"}).
    QString option;
    // Option that takes a value: the value, written in the word ("--items=5",
    // "-dfolder") or as the next word, whatever that word is; none when the
    // command line ended first.
    std::optional<QString> value;
};

// arguments: the command line without the program's name. Long options are
// written "--name", with a value "--name=value" or "--name value"; options
// with a one-letter name "-n", with a value "-nvalue", "-n=value" or
// "-n value". "--" ends the options: every word after it is an argument.
QList<CommandLineWord> readCommandLine(const QList<QCommandLineOption> &options, const QStringList &arguments);

// The option that is the whole command line, as "--home" or "--help" alone
// mean something that the same word among others does not: its last name,
// or an empty text when the command line is anything else.
QString soleOption(const QList<QCommandLineOption> &options, const QStringList &arguments);
