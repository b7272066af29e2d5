#include "program/CommandLine.h"
#include "ProgramRun.h"
#include "launcher/Launcher.h"
#include "program/BuildInfo.h"

#include <gtest/gtest.h>

TEST(CommandLine, DataFolderSwitch)
{
    struct Row {
        QStringList arguments;
        const char *expected;
        const char *why;
    };
    const Row rows[] = {
        {{"-d", "/home/ann/Inv"}, "/home/ann/Inv/", "blank separator, slash appended"},
        {{"-d", "/home/ann/Inv/"}, "/home/ann/Inv/", "a folder already ending in a slash is kept"},
        {{"-d:/srv/inv"}, "/srv/inv/", "any one separator character is skipped"},
        {{"-d"}, "/", "the switch at the very end gives the root"},
        {{"--verbose", "-d", "/a b/c"}, "/a b/c/", "anywhere on the line; blanks in the folder stay"},
        {{"/x/my-data/y"}, "ta/y/", "-d inside another word still counts"},
        {{"-D", "/upper"}, "/cwd/", "upper-case -D is not the switch"},
        {{}, "/cwd/", "no switch: the current directory"},
        {{"-d", "\"/quoted dir\""}, "\"/quoted dir\"/", "nothing is unquoted or trimmed"},
        {{"-d", "/one", "-d", "/two"}, "/one -d /two/", "the first -d takes the rest of the line"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(dataFolderFromCommandLine(commandLineText(row.arguments), QStringLiteral("/cwd")),
                  QString::fromUtf8(row.expected))
            << row.why;
}

TEST(CommandLine, CurrentDirectoryGetsItsSlash)
{
    EXPECT_EQ(dataFolderFromCommandLine(QString(), QStringLiteral("/home/ann")), QStringLiteral("/home/ann/"));
    EXPECT_EQ(dataFolderFromCommandLine(QString(), QStringLiteral("/")), QStringLiteral("/"));
}

// The tools' options as QCommandLineParser reads them, one word at a time
// and in order: what each word became, written "O:name=value" for an option
// ("O:name" when the line ended before its value), "A:text" for an argument
// and "U:text" for a word refused as an option.
TEST(CommandLine, WordsAreReadInOrderWithTheParsersGrammar)
{
    const QList<QCommandLineOption> options{
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
        QCommandLineOption(QStringLiteral("demo")),
        QCommandLineOption(QStringLiteral("items"), QString(), QStringLiteral("N")),
        QCommandLineOption(QStringLiteral("d"), QString(), QStringLiteral("FOLDER")),
    };
    const auto read = [&](const QStringList &arguments) {
        QStringList shown;
        for (const CommandLineWord &word : readCommandLine(options, arguments)) {
            switch (word.kind) {
            case CommandLineWord::Kind::Option:
                shown << QStringLiteral("O:") + word.option + (word.value ? u'=' + *word.value : QString());
                break;
            case CommandLineWord::Kind::Argument:
                shown << QStringLiteral("A:") + word.text;
                break;
            case CommandLineWord::Kind::Unknown:
                shown << QStringLiteral("U:") + word.text;
                break;
            }
        }
        return shown.join(u' ');
    };
    struct Row {
        QStringList arguments;
        const char *expected;
        const char *why;
    };
    const Row rows[] = {
        {{"--items", "5", "data"}, "O:items=5 A:data", "a value is the next word"},
        {{"--items=5", "data"}, "O:items=5 A:data", "or written after ="},
        {{"--items="}, "O:items=", "an empty value is a value, not a missing one"},
        {{"--items", "--demo"}, "O:items=--demo", "the next word is the value whatever it looks like"},
        {{"data", "--items"}, "A:data O:items", "the line ended before the value"},
        {{"-d", "f"}, "O:d=f", "a one-letter option and its value"},
        {{"-df", "-d=g"}, "O:d=f O:d=g", "a one-letter option's value in the same word"},
        {{"data", "-h", "--help"}, "A:data O:help O:help", "both names, after an argument, by the last name"},
        {{"--demo=yes"}, "U:--demo=yes", "a value for an option that takes none"},
        {{"--demos", "-x", "-version", "---", "--=5"},
         "U:--demos U:-x U:-version U:--- U:--=5",
         "refused whole, as typed"},
        {{"-hx"}, "U:-hx", "a word with one unknown letter is refused whole"},
        {{"-", ""}, "A:- A:", "a dash alone and an empty word are arguments"},
        {{"--demo", "--", "--items", "-x", "--"}, "O:demo A:--items A:-x A:--", "after -- every word is an argument"},
        {{}, "", "nothing"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(read(row.arguments), QString::fromUtf8(row.expected)) << row.why;
}

// --help and --version are answered before anything else, run as cron or
// root runs them: the text and nothing of Qt's.
TEST(StowbookProgram, AnswersHelpAndVersionWithItsOwnWordsAlone)
{
    const ProgramResult help = runProgram(QStringLiteral("stowbook"), {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, programUsage().toUtf8());
    EXPECT_EQ(help.err, QByteArray());
    const ProgramResult version = runProgram(QStringLiteral("stowbook"), {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "stowbook " + ProgramVersion.toUtf8() + "\n");
    EXPECT_EQ(version.err, QByteArray());
}

// "-h" is "--help" on all three programs, as people type it: the usage on
// standard output and nothing else; stowbook opens no window on the current
// folder for it.
TEST(Programs, DashHIsHelpOnAllThree)
{
    for (const char *program : {"stowbook", "stowbook-setup", "stowbook-report"}) {
        SCOPED_TRACE(program);
        const ProgramResult help = runProgram(QLatin1String(program), {QStringLiteral("--help")});
        const ProgramResult h = runProgram(QLatin1String(program), {QStringLiteral("-h")});
        EXPECT_EQ(h.exitCode, 0);
        EXPECT_EQ(h.out, help.out);
        EXPECT_TRUE(h.out.toLower().startsWith("usage: " + QByteArray(program) + ' ')) << h.out.toStdString();
        EXPECT_EQ(h.err, QByteArray());
    }
}
