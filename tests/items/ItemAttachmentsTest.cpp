#include "items/ItemAttachments.h"

#include "FileModes.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "items/PictureFiles.h"
#include "program/Household.h"
#include "program/ItemFiles.h"
#include "program/Prompts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// An empty inventory with two items, open as the program has it, and a
// folder of files to attach from, as the user's own documents folder.
class ItemAttachmentsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPrompts(&prompts);
        household.setDataFolder(folder.path());
        household.openInventory();
        household.inventory().execute(QStringLiteral("insert into items (Item) values ('Camera'), ('Bike')"));
    }
    void TearDown() override
    {
        household.closeInventory();
        setPrompts(nullptr);
    }

    QString source(const QString &name, const QByteArray &bytes)
    {
        const QString path = outside.path() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }
    QByteArray bytesOf(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // What is in the images folder, by name.
    QStringList listed() const
    {
        return QDir(household.itemFiles().folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QStringList photoBytes(qint64 iteid)
    {
        QStringList contents;
        for (const QString &path : attachments.photoPaths(iteid))
            contents << QString::fromLatin1(bytesOf(path));
        return contents;
    }
    bool hasTable()
    {
        return household.inventory()
                   .scalar(QStringLiteral("select count(*) from sqlite_master where name = 'itemfiles'"))
                   .toInt()
            == 1;
    }

    ScriptedPrompts prompts;
    TestDataFolder folder;
    QTemporaryDir outside;
    Household household;
    ItemAttachments attachments{household};
};

} // namespace

// A folder that never had a further file reads as having none, and reading
// does not change it: an older data folder stays as it was.
TEST_F(ItemAttachmentsTest, AnOlderInventoryIsReadWithoutChange)
{
    EXPECT_TRUE(attachments.of(1).isEmpty());
    EXPECT_TRUE(attachments.counts().isEmpty());
    EXPECT_TRUE(attachments.photoPaths(1).isEmpty());
    attachments.removeAll(2);
    EXPECT_FALSE(hasTable());
}

// Photos as a person adds them: the first becomes the picture every older
// reader finds, the next ones follow in order; reordering, making one
// first and removing the picture keep every photo's bytes and never leave a
// file without its row or a row without its file.
TEST_F(ItemAttachmentsTest, PhotosKeepTheirBytesAndTheirOrderThroughEveryChange)
{
    const AttachedFile front = attachments.attach(1, AttachedKind::Photo, source("front.JPG", "A"));
    EXPECT_EQ(front.fileid, 0) << "the first photo is the picture, with no row";
    EXPECT_EQ(household.itemFiles().picture(1), household.itemFiles().folder() + QStringLiteral("00000001.jpg"));
    EXPECT_FALSE(hasTable());

    const AttachedFile side = attachments.attach(1, AttachedKind::Photo, source("side.png", "B"));
    const AttachedFile label = attachments.attachPhoto(1, PictureFile{"C", QStringLiteral("png")});
    EXPECT_EQ(side.fileName, ItemFiles::furtherFileName(1, side.fileid, QStringLiteral("png")));
    EXPECT_EQ(side.title, QStringLiteral("side.png"));
    EXPECT_EQ(side.sha256, QString::fromLatin1(QCryptographicHash::hash("B", QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(side.bytes, 1);
    EXPECT_EQ(photoBytes(1), (QStringList{"A", "B", "C"}));

    attachments.movePhoto(label.fileid, 0);
    EXPECT_EQ(photoBytes(1), (QStringList{"A", "C", "B"}));

    attachments.makeFirst(side.fileid);
    EXPECT_EQ(photoBytes(1), (QStringList{"B", "A", "C"})) << "the picture that was first comes right after";
    EXPECT_EQ(household.itemFiles().picture(1), household.itemFiles().folder() + QStringLiteral("00000001.png"));

    attachments.removePicture(1);
    EXPECT_EQ(photoBytes(1), (QStringList{"A", "C"})) << "the next photo takes the picture's place";
    EXPECT_EQ(household.itemFiles().picture(1), household.itemFiles().folder() + QStringLiteral("00000001.jpg"));

    // Every file in the folder is named by a row or is the picture: nothing
    // left over from the swaps, nothing staged.
    QStringList expected{QStringLiteral("00000001.jpg")};
    for (const AttachedFile &file : attachments.of(1))
        expected << file.fileName;
    expected.sort();
    EXPECT_EQ(listed(), expected);
    for (const QString &name : listed())
        EXPECT_EQ(fileModes(household.itemFiles().folder()).value(name), mode_t(0600)) << name.toStdString();

    attachments.removePicture(1);
    attachments.removePicture(1);
    EXPECT_TRUE(attachments.photoPaths(1).isEmpty());
    EXPECT_TRUE(listed().isEmpty());
}

// Documents keep their kind and note, come after the photos, are counted per
// item and go with their item; the other item's files stay.
TEST_F(ItemAttachmentsTest, DocumentsAreKeptWithTheirKindAndGoWithTheirItem)
{
    const AttachedFile receipt =
        attachments.attach(1, AttachedKind::Receipt, source("Rechnung März.pdf", "%PDF-1.4"), QStringLiteral("shop"));
    const AttachedFile manual = attachments.attach(1, AttachedKind::Manual, source("manual", "text"));
    attachments.attach(1, AttachedKind::Photo, source("a.jpg", "A"));
    attachments.attach(1, AttachedKind::Photo, source("b.jpg", "B"));
    const AttachedFile bike = attachments.attach(2, AttachedKind::Warranty, source("card.tiff", "W"));
    EXPECT_TRUE(manual.fileName.endsWith(QStringLiteral(".bin"))) << "a name without extension still follows the rule";
    EXPECT_TRUE(receipt.fileName.endsWith(QStringLiteral(".pdf")));

    const QList<AttachedFile> files = attachments.of(1);
    ASSERT_EQ(files.size(), 3);
    EXPECT_TRUE(files[0].isPhoto()) << "photos first";
    EXPECT_EQ(files[1].fileid, receipt.fileid);
    EXPECT_EQ(files[1].kind, AttachedKind::Receipt);
    EXPECT_EQ(files[1].title, QStringLiteral("Rechnung März.pdf"));
    EXPECT_EQ(files[1].note, QStringLiteral("shop"));
    EXPECT_EQ(files[2].fileid, manual.fileid);
    EXPECT_EQ(bytesOf(household.itemFiles().folder() + files[1].fileName), QByteArray("%PDF-1.4"));

    attachments.describe(manual.fileid, AttachedKind::Warranty, QStringLiteral("until 2029"));
    EXPECT_EQ(attachments.of(1)[2].kind, AttachedKind::Warranty);
    EXPECT_EQ(attachments.of(1)[2].note, QStringLiteral("until 2029"));

    const QHash<qint64, ItemAttachments::Counts> counts = attachments.counts();
    EXPECT_EQ(counts.value(1).furtherPhotos, 1);
    EXPECT_EQ(counts.value(1).documents, 2);
    EXPECT_EQ(counts.value(2).documents, 1);

    attachments.remove(receipt.fileid);
    EXPECT_EQ(attachments.of(1).size(), 2);
    EXPECT_FALSE(QFile::exists(household.itemFiles().folder() + receipt.fileName));

    attachments.removeAll(1);
    EXPECT_TRUE(attachments.of(1).isEmpty());
    EXPECT_EQ(listed(), QStringList{bike.fileName});
    EXPECT_EQ(attachments.of(2).size(), 1);
}

// What cannot be attached is refused with the file's name, and nothing of
// it stays: no row, no file, no staging file.
TEST_F(ItemAttachmentsTest, AFileThatCannotBeAttachedLeavesNothingBehind)
{
    attachments.attach(1, AttachedKind::Photo, source("a.jpg", "A"));
    const QString large = source("scan.pdf", "x");
    ASSERT_TRUE(QFile::resize(large, MaxAttachedFileBytes + 1)); // sparse: no disk is filled
    const struct {
        const char *name;
        QString path;
        const char *says;
    } rows[] = {
        {"too large", large, "is larger than 200 MB"},
        {"missing", outside.path() + QStringLiteral("/gone.pdf"), "gone.pdf"},
        {"a folder", outside.path(), "could not be"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            attachments.attach(1, AttachedKind::Receipt, row.path);
            ADD_FAILURE() << "attached";
        } catch (const DbError &error) {
            EXPECT_EQ(error.number(), DbError::PathFileAccess);
            EXPECT_TRUE(error.text().contains(QLatin1String(row.says))) << error.text().toStdString();
        }
        EXPECT_TRUE(attachments.of(1).isEmpty());
        EXPECT_EQ(listed(), QStringList{QStringLiteral("00000001.jpg")});
    }
}

// What is attached is stored for every reader, not only for the connection
// that wrote it: another program (or this one started again) finds it.
TEST_F(ItemAttachmentsTest, WhatIsAttachedIsCommitted)
{
    attachments.attach(1, AttachedKind::Photo, source("a.jpg", "A"));
    const AttachedFile receipt = attachments.attach(1, AttachedKind::Receipt, source("r.pdf", "R"));
    const AttachedFile side = attachments.attach(1, AttachedKind::Photo, source("b.jpg", "B"));
    attachments.makeFirst(side.fileid);
    const std::unique_ptr<Database> other = Database::open(folder.path() + InventoryFileName);
    EXPECT_EQ(
        other->scalar(QStringLiteral("select count(*) from itemfiles where fileid = ?"), {receipt.fileid}).toInt(), 1);
    EXPECT_EQ(other->scalar(QStringLiteral("select count(*) from itemfiles where kind = 'photo'")).toInt(), 1);
}
