#include "InventoryRows.h"
#include "TestDataFolder.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "items/ItemAttachments.h"
#include "items/ItemStatus.h"
#include "photoitems/PhotoBatch.h"
#include "photoitems/PhotoCheck.h"
#include "photoitems/PhotoInbox.h"
#include "photoitems/PhotoItems.h"
#include "photoitems/PhotoThumbnail.h"
#include "photoitems/PhotoTimes.h"
#include "program/Household.h"
#include "program/ItemFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
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

// The small copy a camera embeds (here written by exiftool) stands for the
// photo when it shows all of it and fills the box; it is turned as the
// photo is. The photos are red; their embedded copies are not.
TEST(PhotoThumbnail, TheCamerasSmallCopyWhenItWillDo)
{
    struct Case {
        const char *file;
        QSize size;    // as shown, in a 160 x 120 box
        QColor top;    // the colour at the middle of the top edge
        QColor bottom; // ... and of the bottom edge
        bool embeddedCopy;
    };
    for (const Case &c : {
             // Blue and yellow halves side by side, stored on the photo's
             // side (a quarter turn clockwise): blue on top once turned.
             Case{"thumbnail-sideways.jpg", QSize(90, 120), Qt::blue, Qt::yellow, true},
             // 40 x 30 would have to be enlarged: the photo is decoded.
             Case{"thumbnail-too-small.jpg", QSize(160, 120), Qt::red, Qt::red, true},
             // 4:3 for a 16:9 photo: padded, so the photo is decoded.
             Case{"thumbnail-other-shape.jpg", QSize(160, 90), Qt::red, Qt::red, true},
             Case{"camera-original.jpg", QSize(160, 120), {}, {}, false},
         }) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(!embeddedThumbnail(photo(c.file)).isNull(), c.embeddedCopy);
        const QImage shown = readThumbnail(photo(c.file), QSize(160, 120));
        ASSERT_FALSE(shown.isNull());
        EXPECT_EQ(shown.size(), c.size);
        if (!c.top.isValid())
            continue;
        const auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
        };
        const QColor top = shown.pixelColor(shown.width() / 2, 2),
                     bottom = shown.pixelColor(shown.width() / 2, shown.height() - 3);
        EXPECT_TRUE(near(top, c.top)) << top.name().toStdString();
        EXPECT_TRUE(near(bottom, c.bottom)) << bottom.name().toStdString();
    }
    for (const char *file : {"cut-short.jpg", "notes.txt", "no-exif.jpg"})
        EXPECT_TRUE(embeddedThumbnail(photo(file)).isNull()) << file;
}

// Items made from photos without a value wait to be completed; the mark
// lives beside the item, survives its warranty being written and cleared,
// and goes with the item's value.
TEST_F(PhotoItemsTest, ItemsWithoutAValueAreMarkedToComplete)
{
    Database &db = household.inventory();
    const std::vector<qint64> keys = addPhotoItems(
        household,
        {PhotoItem{QStringLiteral("Rug"), {}, {}, std::nullopt, {scratchPhoto(QStringLiteral("r.jpg"), "r")}},
         PhotoItem{QStringLiteral("Vase"), {}, {}, Money::fromUnits(10), {scratchPhoto(QStringLiteral("v.jpg"), "v")}},
         PhotoItem{QStringLiteral("Lamp"), {}, {}, std::nullopt, {scratchPhoto(QStringLiteral("l.jpg"), "l")}}});
    ItemStatus status(db);
    EXPECT_TRUE(status.isToComplete(keys[0]));
    EXPECT_FALSE(status.isToComplete(keys[1])) << "the batch's value is its value";
    EXPECT_TRUE(status.isToComplete(keys[2]));
    EXPECT_EQ(status.toCompleteCount(), 2);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from items where ")
                        + status.toCompleteCondition(QStringLiteral("iteid")))
                  .toInt(),
              2);

    // A warranty written and taken away again leaves the mark.
    WarrantyDisposal warranty;
    warranty.lifetime = true;
    status.store(keys[0], warranty);
    EXPECT_TRUE(status.isToComplete(keys[0]));
    EXPECT_EQ(status.of(keys[0]), warranty);
    status.store(keys[0], WarrantyDisposal());
    EXPECT_TRUE(status.isToComplete(keys[0]));
    // Completed: the mark goes, and the row with it when it held nothing else.
    status.setToComplete(keys[0], false);
    EXPECT_FALSE(status.isToComplete(keys[0]));
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from itemstatus where iteid = ?"), {keys[0]}).toInt(), 0);
    // A disposed item to complete keeps both; it leaves the count of kept items.
    WarrantyDisposal sold;
    sold.disposed = DateValue::fromDate(QDate(2025, 3, 9));
    sold.how = DisposalKind::Sold;
    status.store(keys[2], sold);
    EXPECT_TRUE(status.isToComplete(keys[2]));
    EXPECT_EQ(status.toCompleteCount(status.keptCondition(QStringLiteral("i.iteid"))), 0);
    EXPECT_EQ(status.toCompleteCount(), 1);
}

// An inventory whose warranties were written by the program before the mark
// existed: the table gains the column when the first item is marked, and
// the rows it had keep their values.
TEST_F(PhotoItemsTest, TheMarkJoinsAnOlderStatusTable)
{
    Database &db = household.inventory();
    db.execute(QStringLiteral("CREATE TABLE itemstatus (iteid INTEGER PRIMARY KEY, warrantyend DATETIME, lifetime "
                              "BOOLEAN, warrantydetails TEXT, disposed DATETIME, disposedhow TEXT)"));
    db.execute(QStringLiteral("insert into itemstatus (iteid, warrantydetails) values (41, 'two years')"));
    ItemStatus status(db);
    EXPECT_EQ(status.toCompleteCount(), 0);
    EXPECT_EQ(status.toCompleteCondition(QStringLiteral("iteid")), QStringLiteral("0"));
    EXPECT_FALSE(status.isToComplete(41));
    status.setToComplete(41, false);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from pragma_table_info('itemstatus')")).toInt(), 6)
        << "clearing a mark never made adds nothing";
    status.setToComplete(41, true);
    EXPECT_TRUE(status.isToComplete(41));
    EXPECT_EQ(status.of(41).warrantyDetails, QStringLiteral("two years"));
}

// The inbox offers a photo once nothing writes to it any more; a copy in
// progress (written to a moment ago, or still growing though its time was
// set back) waits, and what sync programs write first is never offered.
TEST(PhotoInbox, OffersOnlyPhotosThatAreDone)
{
    QTemporaryDir inbox;
    const QDateTime now(QDate(2026, 12, 8), QTime(12, 0));
    const auto put = [&](const QString &name, const QByteArray &bytes, int secondsAgo) {
        QFile file(inbox.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
        file.write(bytes);
        file.flush(); // before the time is set: a later write would set it again
        EXPECT_TRUE(file.setFileTime(now.addSecs(-secondsAgo), QFileDevice::FileModificationTime));
    };
    QFile camera(photo("camera-original.jpg"));
    ASSERT_TRUE(camera.open(QIODevice::ReadOnly));
    put(QStringLiteral("IMG_0001.JPG"), camera.readAll(), 3600);
    put(QStringLiteral("IMG_0002.jpg"), "still arriving", 1);
    put(QStringLiteral("IMG_0003.heic"), "first half", 600);
    put(QStringLiteral(".syncthing.IMG_0004.jpg.tmp"), "hidden", 600);
    put(QStringLiteral("IMG_0005.jpg.part"), "partial", 600);
    put(QStringLiteral("clip.mp4"), "no photo", 600);
    QDir(inbox.path()).mkdir(InboxDoneName);

    PhotoInbox look(inbox.path());
    EXPECT_EQ(
        look.look(now),
        (QStringList{inbox.filePath(QStringLiteral("IMG_0001.JPG")), inbox.filePath(QStringLiteral("IMG_0003.heic"))}));
    EXPECT_EQ(look.waiting(), 1);
    // The copier goes on writing and sets the photo's own time again.
    put(QStringLiteral("IMG_0003.heic"), " second half", 600);
    EXPECT_EQ(
        look.look(now.addSecs(10)),
        (QStringList{inbox.filePath(QStringLiteral("IMG_0001.JPG")), inbox.filePath(QStringLiteral("IMG_0002.jpg"))}));
    EXPECT_EQ(look.waiting(), 1);
    EXPECT_EQ(look.look(now.addSecs(20)).size(), 3);
    EXPECT_EQ(look.waiting(), 0);

    EXPECT_TRUE(PhotoInbox(inbox.filePath(QStringLiteral("unplugged"))).look(now).isEmpty());
}

// A photo taken in moves to the done folder; a photo of the same name there
// is never replaced.
TEST(PhotoInbox, MovesToDoneWithoutReplacing)
{
    QTemporaryDir inbox;
    const PhotoInbox box(inbox.path());
    const auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile file(inbox.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const auto read = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    };
    QString error;
    const std::optional<QString> first = box.moveToDone(put(QStringLiteral("IMG_1.jpg"), "first"), &error);
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_EQ(*first, inbox.filePath(QStringLiteral("done/IMG_1.jpg")));
    const std::optional<QString> second = box.moveToDone(put(QStringLiteral("IMG_1.jpg"), "second"), &error);
    ASSERT_TRUE(second) << error.toStdString();
    EXPECT_EQ(*second, inbox.filePath(QStringLiteral("done/IMG_1 (2).jpg")));
    EXPECT_EQ(read(*first), QByteArray("first"));
    EXPECT_EQ(read(*second), QByteArray("second"));
    EXPECT_FALSE(QFile::exists(inbox.filePath(QStringLiteral("IMG_1.jpg"))));
    // A file where the done folder should be: the photo stays, and why is said.
    QTemporaryDir blocked;
    put(QStringLiteral("IMG_2.jpg"), "kept");
    QFile(blocked.filePath(QStringLiteral("done"))).open(QIODevice::WriteOnly);
    QFile::rename(inbox.filePath(QStringLiteral("IMG_2.jpg")), blocked.filePath(QStringLiteral("IMG_2.jpg")));
    EXPECT_FALSE(PhotoInbox(blocked.path()).moveToDone(blocked.filePath(QStringLiteral("IMG_2.jpg")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(read(blocked.filePath(QStringLiteral("IMG_2.jpg"))), QByteArray("kept"));
}

// A folder chosen stands for the files directly in it; hidden files and
// subfolders (the inbox's done folder among them) are left out.
TEST(PhotoInbox, AFolderChosenGivesItsFiles)
{
    QTemporaryDir chosen;
    const QDir dir(chosen.path());
    for (const char *name : {"b.jpg", "a.JPG", ".hidden.jpg", "notes.txt"})
        QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    dir.mkdir(QStringLiteral("done"));
    QFile(dir.filePath(QStringLiteral("done/c.jpg"))).open(QIODevice::WriteOnly);
    const QString single = photo("no-exif.jpg");
    EXPECT_EQ(withFolderFiles({single, chosen.path()}),
              (QStringList{single, dir.filePath(QStringLiteral("a.JPG")), dir.filePath(QStringLiteral("b.jpg")),
                           dir.filePath(QStringLiteral("notes.txt"))}));
    EXPECT_TRUE(withFolderFiles({dir.filePath(QStringLiteral("done/missing"))}).size() == 1)
        << "a path that is no folder is kept, for the batch to name as skipped";
}

// Files as cameras, phones and broken copies leave them: a photo cut short,
// even where what comes before its picture (the camera's small copy) ends
// as a whole photo does, is skipped; a photo followed by more data, as a
// phone's motion photo is, is taken.
TEST(PhotoCheck, FilesCutShortAreSkipped)
{
    struct Case {
        const char *file;
        const char *why;
    };
    for (const Case &c : {
             Case{"camera-original.jpg", ""},
             Case{"thumbnail-sideways.jpg", ""},
             Case{"motion-photo.jpg", ""},
             Case{"room.png", ""},
             Case{"cut-in-scan.jpg", "cut short"},
             Case{"room-cut.png", "cut short"},
             Case{"cut-short.jpg", "not a photo"},
             Case{"notes.txt", "not a photo"},
             Case{"missing.jpg", "not a photo"},
         }) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(whyNotAPhoto(photo(c.file)), QLatin1String(c.why));
    }
}
