#include "FileModes.h"
#include "FolderContents.h"

#include "setup/DataFolderSetup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

// The masks users have: none at all, Debian's usual one, a private one.
TEST(DataFolderPrivacy, EverythingSetupMakesIsTheOwnersAloneWhateverTheUmask)
{
    for (const mode_t mask : {mode_t(0), mode_t(022), mode_t(077)}) {
        SCOPED_TRACE(mask);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString folder = temp.filePath(QStringLiteral("household/data"));
        {
            UmaskGuard guard(mask);
            createDataFolder(folder, SetupOptions{.demo = true});
        }
        const auto modes = fileModes(folder);
        const auto pictures = std::count_if(modes.keyBegin(), modes.keyEnd(), [](const QString &name) {
            return name.startsWith(u"images/") && name.endsWith(u".bmp");
        });
        EXPECT_GT(pictures, 0) << "the pictures are among them";
        EXPECT_TRUE(notPrivate(modes).isEmpty()) << notPrivate(modes).join(u' ').toStdString();
        // The folder on the way is one of the user's ordinary folders.
        EXPECT_EQ(fileModes(temp.filePath(QStringLiteral("household"))).value(QStringLiteral("./")), 0777 & ~mask);
    }
}

TEST(DataFolderPrivacy, AnExistingFolderIsMadePrivateAndGetsItsModeBackWhenSetupFails)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString folder = temp.filePath(QStringLiteral("inventory"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::setPermissions(folder,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                          | QFile::ExeGroup | QFile::ExeOther));
    // A folder where the help file goes makes setup fail after the
    // databases are built and the folder was tightened.
    const QString obstacle = folder + QStringLiteral("/stowbook-help.html");
    ASSERT_TRUE(QDir().mkdir(obstacle));
    const auto contentsBefore = folderContents(folder);
    const auto modesBefore = fileModes(folder);

    EXPECT_THROW(createDataFolder(folder, {}), SetupError);
    EXPECT_EQ(fileModes(folder).value(QStringLiteral("./")), mode_t(0751));
    EXPECT_EQ(fileModes(folder), modesBefore);
    EXPECT_EQ(folderContents(folder), contentsBefore);

    ASSERT_TRUE(QDir().rmdir(obstacle));
    createDataFolder(folder, {});
    const auto modes = fileModes(folder);
    EXPECT_TRUE(notPrivate(modes).isEmpty()) << notPrivate(modes).join(u' ').toStdString();
}
