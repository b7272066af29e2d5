#include "data/BufferedSaveFile.h"
#include "FileModes.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Lines of every length up to a few pieces' worth, so that pieces end
// inside lines: what the report and export writers put in.
QByteArray writeLines(BufferedSaveFile &file, qsizetype totalBytes, bool *allWritten)
{
    QByteArray expected;
    *allWritten = true;
    for (int line = 0; expected.size() < totalBytes; ++line) {
        const QByteArray text = QByteArray(line % 997, char('a' + line % 26)) + "\r\n";
        if (line % 2 == 0) {
            file.append(text);
        } else {
            std::memcpy(file.room(text.size()), text.constData(), std::size_t(text.size()));
            file.used(text.size());
        }
        expected += text;
        if (!file.writeIfFull()) {
            *allWritten = false;
            break;
        }
    }
    return expected;
}

} // namespace

TEST(BufferedSaveFile, ReplacesTheOldFileWithEveryByteWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    putFile(path, "last week's list");

    BufferedSaveFile file(path);
    ASSERT_TRUE(file.open());
    bool allWritten = false;
    QByteArray expected = writeLines(file, 1300 * 1024, &allWritten);
    EXPECT_TRUE(allWritten);
    // One piece larger than the whole buffer.
    const QByteArray large(3 * 1024 * 1024, 'L');
    file.append(large);
    expected += large;
    EXPECT_EQ(fileBytes(path), QByteArray("last week's list")) << "replaced before the end";
    ASSERT_TRUE(file.commit()) << file.errorString().toStdString();
    EXPECT_TRUE(fileBytes(path) == expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.txt")});
}

// A disk that fills up, found while the pieces are written or only when the
// last one is: the old file stays whole, no temporary file is left, the
// reason is the system's, and nothing more is written.
TEST(BufferedSaveFile, AFailureKeepsTheOldFileAndItsReason)
{
    struct Row {
        const char *name;
        qsizetype bytes;
        rlim_t room;
    };
    for (const Row row : {Row{"part way", 2 * 1024 * 1024, 64 * 1024}, Row{"at commit", 100 * 1024, 64 * 1024},
                          Row{"in a last piece smaller than Qt's own buffer", 10 * 1024, 4 * 1024}}) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        putFile(path, "the export of last week");
        {
            BufferedSaveFile file(path);
            ASSERT_TRUE(file.open());
            FileSizeLimit limit(row.room);
            bool allWritten = false;
            writeLines(file, row.bytes, &allWritten);
            EXPECT_FALSE(file.commit());
            EXPECT_FALSE(file.writable());
            EXPECT_EQ(file.errorString(), QString::fromLocal8Bit(std::strerror(EFBIG)));
            file.append("more");
            EXPECT_FALSE(file.writeIfFull());
            EXPECT_FALSE(file.commit());
        }
        EXPECT_EQ(fileBytes(path), QByteArray("the export of last week"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.csv")});
    }
}

// Whatever the umask and whatever the file it replaces, what is written is
// its owner's alone from the first byte: the file being written too (named
// or not, as the system allows), as another user could open it while it is
// written and read it to the end.
TEST(BufferedSaveFile, WhatIsWrittenIsTheOwnersAloneFromTheFirstByte)
{
    UmaskGuard usual(022);
    struct Row {
        const char *name;
        bool buffered;                  // BufferedSaveFile, or a QSaveFile opened with openWhole
        std::optional<mode_t> existing; // the mode of a file it replaces
    };
    for (const Row &row : {Row{"a new export", true, {}}, Row{"an export over one others can read", true, 0644},
                           Row{"a new PDF", false, {}}, Row{"a PDF over one its group can write", false, 0664}}) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("claim"));
        if (row.existing) {
            putFile(path, "old");
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), *row.existing), 0);
        }
        // Every file beside the old one while the new one is written.
        const auto othersWhileWriting = [&] {
            QMap<QString, mode_t> modes = fileModes(dir.path());
            modes.remove(QStringLiteral("./"));
            modes.remove(QStringLiteral("claim"));
            return modes;
        };
        QMap<QString, mode_t> writing;
        if (row.buffered) {
            BufferedSaveFile file(path);
            ASSERT_TRUE(file.open());
            file.append("the valuables");
            writing = othersWhileWriting();
            ASSERT_TRUE(file.commit()) << file.errorString().toStdString();
        } else {
            QSaveFile file(path);
            ASSERT_TRUE(openWhole(file));
            file.write("the valuables");
            struct stat open {};
            ASSERT_EQ(::fstat(file.handle(), &open), 0);
            EXPECT_EQ(open.st_mode & 07777, mode_t(0600)) << "the file being written";
            writing = othersWhileWriting();
            ASSERT_EQ(commitWhole(file), std::nullopt);
        }
        for (auto it = writing.cbegin(); it != writing.cend(); ++it)
            EXPECT_EQ(it.value(), mode_t(0600)) << it.key().toStdString();
        EXPECT_EQ(fileModes(dir.path()).value(QStringLiteral("claim")), mode_t(0600));
        EXPECT_EQ(fileBytes(path), QByteArray("the valuables"));
    }
}
