#include "program/ItemFiles.h"
#include "FileModes.h"
#include "data/DbError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

// A data folder with its images folder, and files put there as a user or an
// older version of the program would.
class ItemFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("images"))); }

    void put(const QString &name, const QByteArray &bytes = "x")
    {
        QFile file(files.folder() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << name.toStdString();
    }
    QStringList listed() const
    {
        return QDir(files.folder()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QByteArray bytesOf(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ItemFiles files{dir.path()};
};

} // namespace

// One rule decides which names are an item's files; the backup, the
// manifest check and setup ask it too, so a name it gets wrong is a
// picture that a backup leaves out or a restore refuses.
TEST(ItemFileNames, AreTheKeyInEightOrMoreDigitsADotAndAnExtension)
{
    const struct {
        const char *name;
        std::optional<qint64> key;
    } rows[] = {
        {"00000042.jpg", 42},
        {"00000042.JPEG", 42},
        {"00000042.tar.gz", 42},      // everything after the first dot is the extension
        {"123456789.png", 123456789}, // keys past eight digits keep them all
        {"000000042.bmp", 42},        // the key is the digits' value
        {"9223372036854775807.png", 9223372036854775807},
        {"99999999999999999999.png", std::nullopt}, // no key is that large
        {"0000042.jpg", std::nullopt},              // seven digits
        {"00000042", std::nullopt},                 // no extension
        {"00000042.", std::nullopt},                // an empty one
        {".00000042.gif", std::nullopt},            // hidden, as a write under way stages it
        {"00000042a.jpg", std::nullopt},
        {"00000042 (copy).jpg", std::nullopt},
        {"+0000042.jpg", std::nullopt},
        {"notes.txt", std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ItemFiles::keyOf(QString::fromLatin1(row.name)), row.key);
    }
    EXPECT_EQ(ItemFiles::baseName(42), QStringLiteral("00000042"));
    EXPECT_EQ(ItemFiles::baseName(123456789), QStringLiteral("123456789"));
    EXPECT_EQ(ItemFiles::fileName(7, QStringLiteral("jpg")), QStringLiteral("00000007.jpg"));
    EXPECT_EQ(ItemFiles::keyOf(ItemFiles::fileName(123456789012LL, QStringLiteral("heic"))), 123456789012LL);
}

// An item's further files have a form of their own that never passes for
// its picture, in this version or an older one.
TEST(ItemFileNames, FurtherFilesAreTheKeyAHyphenAndTheirNumber)
{
    const struct {
        const char *name;
        std::optional<std::pair<qint64, qint64>> further;
    } rows[] = {
        {"00000042-00000107.pdf", std::pair<qint64, qint64>{42, 107}},
        {"123456789-123456789.heic", std::pair<qint64, qint64>{123456789, 123456789}},
        {"00000042-00000107.tar.gz", std::pair<qint64, qint64>{42, 107}},
        {"00000042-107.pdf", std::nullopt}, // numbers in eight digits at least, as keys
        {"0000042-00000107.pdf", std::nullopt},
        {"00000042-00000107", std::nullopt},
        {"00000042-00000107.", std::nullopt},
        {"00000042--00000107.pdf", std::nullopt},
        {"00000042-0000010x.pdf", std::nullopt},
        {".00000042-00000107.pdf.new", std::nullopt},
        {"00000042.jpg", std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = QString::fromLatin1(row.name);
        const std::optional<ItemFiles::FurtherName> got = ItemFiles::furtherOf(name);
        ASSERT_EQ(got.has_value(), row.further.has_value());
        if (got) {
            EXPECT_EQ(got->key, row.further->first);
            EXPECT_EQ(got->number, row.further->second);
            EXPECT_FALSE(ItemFiles::keyOf(name)) << "a further file is never a picture";
        }
        EXPECT_EQ(ItemFiles::isItemFile(name), got.has_value() || ItemFiles::keyOf(name).has_value());
    }
    EXPECT_EQ(ItemFiles::furtherFileName(42, 107, QStringLiteral("pdf")), QStringLiteral("00000042-00000107.pdf"));
}

TEST_F(ItemFilesTest, TheFirstFileOfTheKeyInNameOrderIsTheItemsPictureAndListingsAgree)
{
    EXPECT_EQ(files.folder(), dir.path() + QStringLiteral("/images/"));
    EXPECT_EQ(files.picture(42), QString());
    QDir(files.folder()).mkdir(QStringLiteral("00000042.dir"));
    for (const char *name : {"00000042.png", "00000042.jpg", "000000420.bmp", ".00000042.gif", "00000043.bmp",
                             "readme.txt", "00000042-00000107.pdf", "00000043-00000001.jpg"})
        put(QString::fromLatin1(name));
    EXPECT_EQ(files.picture(42), files.folder() + QStringLiteral("00000042.jpg"));
    EXPECT_EQ(files.picture(420), files.folder() + QStringLiteral("000000420.bmp"));
    const QHash<qint64, QString> pictures = files.pictures();
    EXPECT_EQ(pictures.size(), 3);
    EXPECT_EQ(pictures.value(42), files.picture(42)) << "one listing finds what the lookup of one item finds";
    EXPECT_EQ(pictures.value(43), files.picture(43));
    EXPECT_EQ(files.names(),
              (QStringList{"00000042-00000107.pdf", "00000042.jpg", "00000042.png", "000000420.bmp",
                           "00000043-00000001.jpg", "00000043.bmp"}))
        << "what a backup carries: every item file of either form";

    files.removeFiles(42);
    files.removeFiles(7); // none: nothing happens
    EXPECT_EQ(listed(),
              (QStringList{".00000042.gif", "000000420.bmp", "00000043-00000001.jpg", "00000043.bmp", "readme.txt"}))
        << "every file of the item goes with it, nothing else";
}

TEST_F(ItemFilesTest, AWrittenPictureReplacesTheItemsOtherFilesAndIsItsOwnersAlone)
{
    put(QStringLiteral("00000042.bmp"), "old bitmap");
    put(QStringLiteral("00000042.png"), "old png");
    put(QStringLiteral("00000043.jpg"), "another item");
    const QString written = files.writePicture(42, "new photo", QStringLiteral("jpg"));
    EXPECT_EQ(written, files.folder() + QStringLiteral("00000042.jpg"));
    EXPECT_EQ(files.picture(42), written);
    EXPECT_EQ(bytesOf(written), QByteArray("new photo"));
    EXPECT_EQ(listed(), (QStringList{"00000042.jpg", "00000043.jpg"})) << "no older file, no staging file left";
    EXPECT_EQ(fileModes(files.folder()).value(QStringLiteral("00000042.jpg")), mode_t(0600));
}

TEST_F(ItemFilesTest, AWriteThatFailsKeepsTheOldPictureAndSaysWhichFile)
{
    put(QStringLiteral("00000042.bmp"), "old bitmap");
    // A name the folder cannot take: a folder is in the way of the new file.
    QDir(files.folder()).mkdir(QStringLiteral("00000042.jpg"));
    try {
        files.writePicture(42, "new photo", QStringLiteral("jpg"));
        FAIL() << "the write went through";
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), DbError::PathFileAccess);
        EXPECT_TRUE(error.text().contains(QStringLiteral("00000042.jpg"))) << error.text().toStdString();
    }
    EXPECT_EQ(bytesOf(files.folder() + QStringLiteral("00000042.bmp")), QByteArray("old bitmap"));
    EXPECT_EQ(files.picture(42), files.folder() + QStringLiteral("00000042.bmp"));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("00000042.bmp")}) << "no staging file left behind";
}
