#include "launcher/Launcher.h"
#include "ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Launcher, OnlyTheWholeCommandLineHomeIsTheMenuStart)
{
    struct Case {
        QStringList arguments;
        bool home;
    };
    const Case cases[] = {
        {{QStringLiteral("--home")}, true},
        {{}, false},                                               // the current directory, as always
        {{QStringLiteral("-d"), QStringLiteral("--home")}, false}, // a folder named --home
        {{QStringLiteral("--home"), QStringLiteral("extra")}, false},
        {{QStringLiteral("--HOME")}, false},
        {{QStringLiteral("-home")}, false},
        {{QStringLiteral("--home=1")}, false},
        {{QStringLiteral("home")}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isHomeStart(c.arguments), c.home) << c.arguments.join(u' ').toStdString();
}

TEST(Launcher, TheHomeFolderIsInTheDocumentsFolderTheDesktopNames)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(temp.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp.filePath(QStringLiteral("config"))));
    QDir().mkpath(temp.filePath(QStringLiteral("config")));
    QFile dirs(temp.filePath(QStringLiteral("config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
    dirs.close();

    const QString folder = homeDataFolder();
    qputenv("HOME", oldHome);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_EQ(folder, temp.filePath(QStringLiteral("Papiere/Stowbook")));
}

// What the menu entry finds in the user's folder. Only a folder without any
// inventory is offered a new one: an inventory that is a link, even one
// whose target is gone (a disk not mounted yet), is the user's, and laying
// out a new one there would put an empty inventory over the way to it.
TEST(Launcher, OnlyAFolderWithoutAnyInventoryIsOfferedANewOne)
{
    struct Case {
        const char *name;
        const char *linkTarget; // nullptr: no link; relative to the temporary folder
        bool fileThere;         // a file stowbook.db of its own
        bool asked;
    };
    const Case cases[] = {
        {"an inventory", nullptr, true, false},
        {"a link to an inventory elsewhere", "elsewhere.db", false, false},
        {"a link whose target is gone", "unmounted/stowbook.db", false, false},
        {"nothing", nullptr, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString folder = temp.filePath(QStringLiteral("Stowbook"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString inventory = folder + QStringLiteral("/stowbook.db");
        QFile elsewhere(temp.filePath(QStringLiteral("elsewhere.db")));
        ASSERT_TRUE(elsewhere.open(QIODevice::WriteOnly));
        elsewhere.close();
        if (c.fileThere) {
            QFile own(inventory);
            ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        }
        if (c.linkTarget) {
            ASSERT_TRUE(QFile::link(temp.filePath(QLatin1String(c.linkTarget)), inventory));
        }

        ScriptedPrompts prompts;
        if (c.asked)
            prompts.answer(Prompts::Answer::Cancel);
        const HomeStart start = prepareHomeStart(folder);
        EXPECT_EQ(prompts.messages().size(), c.asked ? 1u : 0u);
        EXPECT_EQ(start.arguments.has_value(), !c.asked);
        if (start.arguments) {
            EXPECT_EQ(*start.arguments, (QStringList{QStringLiteral("-d"), folder}));
        }
        if (c.linkTarget) {
            EXPECT_EQ(QFileInfo(inventory).symLinkTarget(), temp.filePath(QLatin1String(c.linkTarget)))
                << "the link is left as it was";
        }
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System),
                  c.asked || (!c.linkTarget && !c.fileThere) ? QStringList{}
                                                             : QStringList{QStringLiteral("stowbook.db")})
            << "nothing set up beside it";
    }
}
