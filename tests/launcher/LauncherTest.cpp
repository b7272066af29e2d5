#include "launcher/Launcher.h"

#include <QDir>
#include <QFile>
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
