#include "ProgramRun.h"
#include "launcher/Launcher.h"
#include "program/BuildInfo.h"
#include "program/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, DataFolderSwitch)
{
    struct Row { QStringList arguments; const char *expected; const char *why; };
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
