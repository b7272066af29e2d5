#include "InventoryRows.h"
#include "TestDataFolder.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "items/ItemAttachments.h"
#include "photoitems/PhotoBatch.h"
#include "photoitems/PhotoItems.h"
#include "photoitems/PhotoTimes.h"
#include "program/Household.h"
#include "program/ItemFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString photo(const char *name)
{
    return QStringLiteral(STOWBOOK_PHOTOS_DIR "/") + QString::fromLatin1(name);
}

// Photos taken at the given seconds after a start; -1 for an unknown time.
std::vector<BatchPhoto> takenAt(std::initializer_list<int> seconds)
{
    const QDateTime start(QDate(2026, 12, 1), QTime(10, 0));
    std::vector<BatchPhoto> photos;
    for (const int s : seconds) {
        BatchPhoto photo;
        photo.taken = s < 0 ? QDateTime() : start.addSecs(s);
        photos.push_back(photo);
    }
    return photos;
}

class PhotoItemsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        household.setDataFolder(data.path());
        household.openInventory();
    }
    void TearDown() override { household.closeInventory(); }

    // A photo file of the scratch folder with the given bytes.
    QString scratchPhoto(const QString &name, const QByteArray &bytes)
    {
        QFile file(scratch.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    qint64 itemCount()
    {
        return household.inventory().scalar(QStringLiteral("select count(*) from items")).toLongLong();
    }

    TestDataFolder data;
    QTemporaryDir scratch;
    Household household;
};

} // namespace

// The times as cameras and phones write them, read from files another
// program (exiftool) wrote; without a camera's record, the file's time.
TEST(PhotoTimes, TakenAsTheCameraWroteItElseWhenTheFileWasWritten)
{
    struct Case {
        const char *file;
        QDateTime taken; // invalid: the file's own time
    };
    for (const Case &c : {
             Case{"camera-original.jpg", QDateTime(QDate(2026, 11, 28), QTime(14, 3, 7))},
             Case{"camera-modified-only.jpg", QDateTime(QDate(2025, 6, 1), QTime(9, 30))},
             Case{"no-exif.jpg", {}},
             Case{"cut-short.jpg", {}},
             Case{"notes.txt", {}},
             Case{"missing.jpg", {}},
         }) {
        SCOPED_TRACE(c.file);
        const PhotoTime time = photoTime(photo(c.file));
        EXPECT_EQ(time.byCamera, c.taken.isValid());
        EXPECT_EQ(time.taken, c.taken.isValid() ? c.taken : QFileInfo(photo(c.file)).lastModified());
    }
}

TEST(PhotoBatch, PhotosTakenCloseTogetherMakeOneItem)
{
    struct Case {
        std::vector<BatchPhoto> photos;
        int gap;
        std::vector<int> starts;
    };
    for (const Case &c : {
             Case{takenAt({}), 60, {}},
             Case{takenAt({0}), 60, {0}},
             Case{takenAt({0, 30, 90, 151, 400, 401}), 60, {0, 3, 4}},
             Case{takenAt({0, 30, 90, 151, 400, 401}), 0, {0, 1, 2, 3, 4, 5}},
             // A photo whose time is unknown stands alone.
             Case{takenAt({0, -1, 5}), 60, {0, 1, 2}},
         }) {
        EXPECT_EQ(groupStarts(c.photos, c.gap), c.starts);
    }
}

TEST_F(PhotoItemsTest, ItemsAreStoredWithTheirPhotosAndKnownAfterwards)
{
    const QByteArray front = "front of the television", back = "back with the label";
    const QByteArray lamp = "lamp";
    std::vector<BatchPhoto> batch =
        readPhotos({scratchPhoto(QStringLiteral("b.jpg"), back), scratchPhoto(QStringLiteral("a.jpg"), front),
                    scratchPhoto(QStringLiteral("c.png"), lamp)});
    markKnownPhotos(household, batch);
    for (const BatchPhoto &p : batch) {
        EXPECT_EQ(p.knownItem, 0) << qPrintable(p.path);
        EXPECT_TRUE(p.sha256.isEmpty()) << "read though the inventory has no photo of its size";
    }

    const std::vector<qint64> keys = addPhotoItems(
        household,
        {PhotoItem{QStringLiteral("Television"),
                   1,
                   QVariant(),
                   Money::fromUnits(4'500'000),
                   {scratch.filePath(QStringLiteral("a.jpg")), scratch.filePath(QStringLiteral("b.jpg"))}},
         PhotoItem{QStringLiteral("Lamp"), QVariant(), 2, std::nullopt, {scratch.filePath(QStringLiteral("c.png"))}}});
    ASSERT_EQ(keys.size(), 2u);
    const QVariantMap tv = storedItem(data.file(InventoryFileName), keys[0]);
    EXPECT_EQ(tv.value(QStringLiteral("Item")), QStringLiteral("Television"));
    for (const char *column : {"estvalue", "totvalue"})
        EXPECT_EQ(tv.value(QString::fromLatin1(column)).value<Money>(), Money::fromUnits(4'500'000)) << column;
    EXPECT_EQ(tv.value(QStringLiteral("quantity")).toInt(), 1);
    EXPECT_EQ(tv.value(QStringLiteral("receipt")).toInt(), 0);
    EXPECT_EQ(tv.value(QStringLiteral("catid")).toInt(), 1);
    EXPECT_TRUE(tv.value(QStringLiteral("locid")).isNull());
    EXPECT_TRUE(storedItem(data.file(InventoryFileName), keys[1]).value(QStringLiteral("estvalue")).isNull());

    // The first photo is the picture, the others follow it; bytes kept.
    const QStringList tvPhotos = ItemAttachments(household).photoPaths(keys[0]);
    ASSERT_EQ(tvPhotos.size(), 2);
    EXPECT_EQ(QFileInfo(tvPhotos[0]).fileName(), ItemFiles::fileName(keys[0], QStringLiteral("jpg")));
    for (const auto &[path, bytes] : {std::pair(tvPhotos[0], front), std::pair(tvPhotos[1], back)}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);
    }

    // The same photos offered again are known, the picture and the further one.
    markKnownPhotos(household, batch);
    for (const BatchPhoto &p : batch)
        EXPECT_EQ(p.knownItem, QFileInfo(p.path).fileName() == u"c.png" ? keys[1] : keys[0]) << qPrintable(p.path);
}

// A photo gone before it was stored: nothing of the batch stays, neither the
// items stored before it nor their files.
TEST_F(PhotoItemsTest, AFailureLeavesNoItemAndNoFile)
{
    const qint64 before = itemCount();
    const QStringList filesBefore = household.itemFiles().names();
    EXPECT_THROW(
        addPhotoItems(household,
                      {PhotoItem{QStringLiteral("Chair"),
                                 {},
                                 {},
                                 {},
                                 {scratchPhoto(QStringLiteral("chair.jpg"), "chair"),
                                  scratchPhoto(QStringLiteral("seat.jpg"), "seat")}},
                       PhotoItem{QStringLiteral("Table"), {}, {}, {}, {scratch.filePath(QStringLiteral("gone.jpg"))}}}),
        DbError);
    EXPECT_EQ(itemCount(), before);
    EXPECT_EQ(household.itemFiles().names(), filesBefore);
    EXPECT_TRUE(ItemAttachments(household).recordedPhotos().isEmpty());
}
