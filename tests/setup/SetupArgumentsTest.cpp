#include "setup/SetupArguments.h"

#include <gtest/gtest.h>

struct AcceptedCase {
    const char *name;
    QStringList arguments;
    QString folder;
    bool demo;
    int items;
    quint32 seed;
};

TEST(SetupArguments, AcceptsEachWayOfWritingAValidCommandLine)
{
    const quint32 defaultSeed = SetupOptions{}.seed;
    const AcceptedCase cases[] = {
        {"folder alone", {"data"}, "data", false, 0, defaultSeed},
        {"demo before folder", {"--demo", "data"}, "data", true, 0, defaultSeed},
        {"demo after folder", {"data", "--demo"}, "data", true, 0, defaultSeed},
        {"items and seed", {"--items", "1000", "--seed", "7", "data"}, "data", false, 1000, 7},
        {"items with =", {"--items=25", "--seed=0", "data"}, "data", false, 25, 0},
        {"largest seed", {"--items", "1", "--seed", "4294967295", "d"}, "d", false, 1, 4294967295u},
        {"folder that looks like an option", {"--demo", "--", "-odd"}, "-odd", true, 0, defaultSeed},
        {"folder with blanks", {"My Inventory/data"}, "My Inventory/data", false, 0, defaultSeed},
    };
    for (const AcceptedCase &c : cases) {
        SCOPED_TRACE(c.name);
        const SetupArguments parsed = parseSetupArguments(c.arguments);
        EXPECT_EQ(parsed.error, QString());
        EXPECT_FALSE(parsed.showHelp);
        EXPECT_EQ(parsed.folder, c.folder);
        EXPECT_EQ(parsed.options.demo, c.demo);
        EXPECT_EQ(parsed.options.generatedItems, c.items);
        EXPECT_EQ(parsed.options.seed, c.seed);
    }
}

TEST(SetupArguments, RefusesABadCommandLineWithAReason)
{
    struct RefusedCase {
        const char *name;
        QStringList arguments;
        const char *reasonMentions;
    };
    const RefusedCase cases[] = {
        {"no folder", {}, "folder"},
        {"only options", {"--demo"}, "folder"},
        {"two folders", {"a", "b"}, "one"},
        {"demo and items", {"--demo", "--items", "5", "d"}, "--demo"},
        {"items without number", {"d", "--items"}, "--items"},
        {"items not a number", {"--items", "many", "d"}, "many"},
        {"items zero", {"--items", "0", "d"}, "--items"},
        {"items negative", {"--items", "-5", "d"}, "--items"},
        {"items too many", {"--items", "10000001", "d"}, "--items"},
        {"items twice", {"--items", "5", "--items", "6", "d"}, "twice"},
        {"seed negative", {"--seed", "-1", "d"}, "--seed"},
        {"seed too large", {"--seed", "4294967296", "d"}, "--seed"},
        {"seed missing", {"d", "--seed"}, "--seed"},
        {"unknown option", {"--demos", "d"}, "--demos"},
        {"import and demo", {"--import", "a.csv", "--demo", "d"}, "not both"},
        {"import and add", {"--import", "a.csv", "--add-items", "b.csv", "d"}, "one file"},
        {"import without file", {"d", "--import"}, "--import"},
        {"rows without import", {"--rows", "good", "d"}, "--rows"},
        {"rows of another kind", {"--import", "a.csv", "--rows", "some", "d"}, "good"},
        {"backup without its file", {"--backup", "d"}, "--backup FOLDER FILE.zip"},
        {"restore of two files", {"--restore", "a.zip", "b.zip", "d"}, "--restore FILE.zip FOLDER"},
        {"verify of nothing", {"--verify"}, "--verify FILE.zip"},
        {"two actions", {"--backup", "--verify", "a.zip"}, "one of"},
        {"backup of a demo", {"--demo", "--backup", "d", "b.zip"}, "do not go with"},
        {"backup of an import", {"--backup", "d", "b.zip", "--import", "a.csv"}, "do not go with"},
    };
    for (const RefusedCase &c : cases) {
        SCOPED_TRACE(c.name);
        const SetupArguments parsed = parseSetupArguments(c.arguments);
        EXPECT_TRUE(parsed.error.contains(QLatin1String(c.reasonMentions))) << parsed.error.toStdString();
    }
}

// The backup commands take their names in the order they are written.
TEST(SetupArguments, BackupRestoreAndVerifyTakeTheirNames)
{
    using Action = SetupArguments::Action;
    struct Case {
        QStringList arguments;
        Action action;
        const char *folder;
        const char *archive;
    };
    const Case cases[] = {
        {{"--backup", "data", "b.zip"}, Action::Backup, "data", "b.zip"},
        {{"data", "--backup", "b.zip"}, Action::Backup, "data", "b.zip"},
        {{"--restore", "b.zip", "new"}, Action::Restore, "new", "b.zip"},
        {{"--verify", "b.zip"}, Action::Verify, "", "b.zip"},
        {{"--verify", "--", "-odd.zip"}, Action::Verify, "", "-odd.zip"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const SetupArguments parsed = parseSetupArguments(c.arguments);
        EXPECT_EQ(parsed.error, QString());
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.folder, QLatin1String(c.folder));
        EXPECT_EQ(parsed.archive, QLatin1String(c.archive));
    }
}

TEST(SetupArguments, ImportOptionsNameTheFileAndWhatBecomesOfBadRows)
{
    const SetupArguments fresh = parseSetupArguments({"--import", "my items.csv", "data"});
    EXPECT_EQ(fresh.error, QString());
    EXPECT_EQ(fresh.options.importFile, QStringLiteral("my items.csv"));
    EXPECT_TRUE(fresh.addItemsFile.isEmpty());
    EXPECT_EQ(fresh.options.problemRows, ProblemRows::Refuse);

    const SetupArguments added = parseSetupArguments({"data", "--add-items=list.csv", "--rows", "good"});
    EXPECT_EQ(added.error, QString());
    EXPECT_EQ(added.addItemsFile, QStringLiteral("list.csv"));
    EXPECT_TRUE(added.options.importFile.isEmpty());
    EXPECT_EQ(added.options.problemRows, ProblemRows::Skip);
    EXPECT_EQ(parseSetupArguments({"--import", "a.csv", "--rows=all", "d"}).options.problemRows, ProblemRows::Keep);
}

TEST(SetupArguments, HelpAndVersionNeedNoFolder)
{
    struct Case {
        const char *option;
        bool help;
        bool version;
    };
    for (const Case &c : {Case{"-h", true, false}, Case{"--help", true, false}, Case{"--version", false, true}}) {
        SCOPED_TRACE(c.option);
        const SetupArguments parsed = parseSetupArguments({QLatin1String(c.option)});
        EXPECT_EQ(parsed.showHelp, c.help);
        EXPECT_EQ(parsed.showVersion, c.version);
        EXPECT_TRUE(parsed.error.isEmpty());
    }
    // The first way in takes --rows too, as its manual page says.
    EXPECT_TRUE(setupUsage().contains(
        QLatin1String("stowbook-setup [--demo | --items N | --import FILE] [--seed S] [--rows good|all] FOLDER\n")));
}

// The refusals of single words, word for word as the setup program prints
// them after "stowbook-setup: ". A value is always the word after its
// option, and the first mistake on the line is the one reported.
TEST(SetupArguments, EachMistakeIsReportedInItsOwnWords)
{
    struct Row {
        QStringList arguments;
        const char *error;
    };
    const Row rows[] = {
        {{"--demos", "d"}, "Unknown option \"--demos\"."},
        {{"-x", "d"}, "Unknown option \"-x\"."},
        {{"-demo", "d"}, "Unknown option \"-demo\"."},
        {{"--demo=yes", "d"}, "Unknown option \"--demo=yes\"."},
        {{"--help=1"}, "Unknown option \"--help=1\"."},
        {{"d", "--items"}, "--items needs the number of items."},
        {{"--items", "lots", "d"}, "--items needs a whole number from 1 to 10000000, not \"lots\"."},
        {{"--items=", "d"}, "--items needs a whole number from 1 to 10000000, not \"\"."},
        {{"--items", "--demo", "d"}, "--items needs a whole number from 1 to 10000000, not \"--demo\"."},
        {{"--items", "5", "--items=6", "d"}, "--items is given twice."},
        {{"d", "--seed"}, "--seed needs a number."},
        {{"--seed", "-1", "d"}, "--seed needs a whole number from 0 to 4294967295, not \"-1\"."},
        {{"--seed=1", "--seed", "1", "d"}, "--seed is given twice."},
        {{"d", "--import"}, "--import needs the CSV file to read."},
        {{"--add-items=", "d"}, "--add-items needs the CSV file to read."},
        {{"--import", "a.csv", "--add-items", "b.csv", "d"}, "Name one file to import, with --import or --add-items."},
        {{"--import", "a.csv", "d", "--rows"}, "--rows needs \"good\" or \"all\"."},
        {{"--import", "a.csv", "--rows", "good", "--rows=all", "d"}, "--rows is given twice."},
        {{"--backup", "--restore", "a.zip", "d"}, "Choose one of --backup, --restore and --verify."},
        {{"--items", "lots", "--bogus", "d"}, "--items needs a whole number from 1 to 10000000, not \"lots\"."},
        {{"--bogus", "--items", "lots", "d"}, "Unknown option \"--bogus\"."},
        {{"--help", "--bogus"}, "Unknown option \"--bogus\"."},
        {{"a", "--", "-b"}, "Name only one data folder, not \"a\", \"-b\"."},
    };
    for (const Row &row : rows)
        EXPECT_EQ(parseSetupArguments(row.arguments).error, QString::fromUtf8(row.error))
            << row.arguments.join(u' ').toStdString();
}

// The copies' command lines: --copy with or without --to, and --restore of
// a copies folder with --version naming the version, which must not turn
// "--version" alone into anything but showing the program's version.
TEST(SetupArguments, CopiesCommandLines)
{
    using Action = SetupArguments::Action;
    struct Row {
        QStringList arguments;
        Action action;
        const char *folder;
        const char *archive;
        const char *copies;
        const char *version;
        const char *error;
    };
    const Row rows[] = {
        {{"--copy", "d"}, Action::Copy, "d", "", "", "", ""},
        {{"--copy", "d", "--to", "/media/usb"}, Action::Copy, "d", "", "/media/usb", "", ""},
        {{"--to=/media/usb", "--copy", "d"}, Action::Copy, "d", "", "/media/usb", "", ""},
        {{"--restore", "c", "d", "--version", "2026-12-08"}, Action::Restore, "d", "c", "", "2026-12-08", ""},
        {{"--version", "2026-12-08T093015Z", "--restore", "c", "d"},
         Action::Restore,
         "d",
         "c",
         "",
         "2026-12-08T093015Z",
         ""},
        {{"--restore", "c", "d"}, Action::Restore, "d", "c", "", "", ""},
        {{"--restore", "c", "d", "--version"},
         Action::Restore,
         "",
         "",
         "",
         "",
         "--version needs the version to restore, such as 2026-12-08."},
        {{"--copy"}, Action::Copy, "", "", "", "", "Use --copy FOLDER [--to COPIES]."},
        {{"--copy", "d", "e"}, Action::Copy, "", "", "", "", "Use --copy FOLDER [--to COPIES]."},
        {{"--copy", "d", "--to"}, Action::Copy, "", "", "", "", "--to needs the copies folder."},
        {{"--copy", "d", "--to", "a", "--to", "b"}, Action::Copy, "", "", "", "", "--to is given twice."},
        {{"--backup", "d", "f.zip", "--to", "c"}, Action::Backup, "", "", "", "", "--to goes with --copy."},
        {{"--copy", "--backup", "d"},
         Action::Copy,
         "",
         "",
         "",
         "",
         "Choose either --copy or --backup, --restore or --verify."},
        // The version to keep is the second name, a version's name or a day.
        {{"--pin", "c", "2026-12-08T093015Z"}, Action::Pin, "", "c", "", "2026-12-08T093015Z", ""},
        {{"--unpin", "c", "2026-12-08"}, Action::Unpin, "", "c", "", "2026-12-08", ""},
        {{"--pin", "c"}, Action::Pin, "", "", "", "", "Use --pin COPIES VERSION."},
        {{"--unpin", "c", "v", "w"}, Action::Unpin, "", "", "", "", "Use --unpin COPIES VERSION."},
        {{"--pin", "--unpin", "c", "v"},
         Action::Pin,
         "",
         "",
         "",
         "",
         "Choose one of --pin, --unpin, --copy, --backup, --restore and --verify."},
        {{"--pin", "c", "v", "--to", "d"}, Action::Pin, "", "", "", "", "--to goes with --copy."},
        {{"--copy", "--demo", "d"},
         Action::Copy,
         "",
         "",
         "",
         "",
         "--demo, --items, --seed, --import, --add-items and --rows do not go with a backup."},
    };
    for (const Row &row : rows) {
        const SetupArguments parsed = parseSetupArguments(row.arguments);
        const std::string line = row.arguments.join(u' ').toStdString();
        EXPECT_EQ(parsed.error, QString::fromUtf8(row.error)) << line;
        if (!parsed.error.isEmpty())
            continue;
        EXPECT_EQ(parsed.action, row.action) << line;
        EXPECT_EQ(parsed.folder, QString::fromUtf8(row.folder)) << line;
        EXPECT_EQ(parsed.archive, QString::fromUtf8(row.archive)) << line;
        EXPECT_EQ(parsed.copiesFolder, QString::fromUtf8(row.copies)) << line;
        EXPECT_EQ(parsed.versionChoice, QString::fromUtf8(row.version)) << line;
        EXPECT_FALSE(parsed.showVersion) << line;
    }
    EXPECT_TRUE(parseSetupArguments({QStringLiteral("--version")}).showVersion);
}
