// Items made from a batch of photos by keys only: the File menu, a
// description for each proposed item with Enter between them, an item split
// at a photo, the batch's category and value, and Add Items.
#include "DesktopFixture.h"

#include "items/ItemAttachments.h"
#include "photoitems/PhotoItems.h"
#include "photoitems/window/frmPhotoItems.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A photo of one colour, written when it was taken (the file's time: these
// photos hold no camera record).
QString takePhoto(const QTemporaryDir &dir, const QString &name, QColor colour, int secondsAfterNine)
{
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, "JPEG"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    EXPECT_TRUE(file.setFileTime(QDateTime(QDate(2026, 12, 6), QTime(9, 0)).addSecs(secondsAfterNine),
                                 QFileDevice::FileModificationTime));
    return path;
}

} // namespace

TEST_F(DesktopTest, PhotosBecomeItemsByKeys)
{
    const qint64 zoo = addCode(QStringLiteral("categories"), QStringLiteral("Zoo Supplies"));
    QTemporaryDir dir;
    const QStringList photos = {
        takePhoto(dir, QStringLiteral("kitchen-1.jpg"), Qt::red, 0),
        takePhoto(dir, QStringLiteral("kitchen-2.jpg"), Qt::darkRed, 20),
        takePhoto(dir, QStringLiteral("tv-front.jpg"), Qt::blue, 300),
        takePhoto(dir, QStringLiteral("tv-label.jpg"), Qt::darkBlue, 330),
        takePhoto(dir, QStringLiteral("lamp.jpg"), Qt::yellow, 350),
        takePhoto(dir, QStringLiteral("chair.jpg"), Qt::green, 900),
    };
    QFile notes(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("the list of rooms\n");
    notes.close();
    frmMain &w = start();
    // The chair was photographed and stored before.
    const qint64 chair =
        addPhotoItems(household, {PhotoItem{QStringLiteral("Chair"), {}, {}, {}, {photos[5]}}}).front();
    const int before = storedCount();
    prompts.answerFiles(QStringList(photos) << notes.fileName());

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *batch = qobject_cast<frmPhotoItems *>(QApplication::activeModalWidget());
        ASSERT_NE(batch, nullptr);
        ASSERT_TRUE(waitUntilActive(batch));
        seen = true;
        // The chair is known and left out; the lamp, taken 20 s after the
        // television's label, is proposed with the television.
        EXPECT_EQ(batch->itemCount(), 3);
        EXPECT_EQ(batch->lblSummary->text(),
                  QStringLiteral("6 photos, 3 items. 1 of the photos the inventory has "
                                 "already. 1 left out. Skipped: notes.txt (not a photo)."));
        EXPECT_EQ(focus(), batch->txtDescription);
        type(QStringLiteral("Kitchen scale"));
        press(Qt::Key_Return);
        type(QStringLiteral("Television"));
        alt('h');
        EXPECT_EQ(focus(), batch->lstPhotos);
        press(Qt::Key_End);
        alt('s');
        EXPECT_EQ(batch->itemCount(), 4);
        EXPECT_EQ(focus(), batch->txtDescription);
        type(QStringLiteral("Desk lamp"));
        press(Qt::Key_Return);
        EXPECT_EQ(batch->lstItems->currentItem()->text(), QStringLiteral("4. (no description) - left out"));
        alt('c');
        type(QStringLiteral("Zoo"));
        EXPECT_EQ(batch->cmbCategory->currentText(), QStringLiteral("Zoo Supplies"));
        alt('v');
        type(QStringLiteral("25"));
        alt('a');
    });
    alt('f');
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_P);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen && !QApplication::activeModalWidget(); }, 10000));

    ASSERT_EQ(storedCount(), before + 3);
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Kitchen scale"));
    ItemAttachments attachments(household);
    struct Expected {
        const char *description;
        QStringList photos;
    };
    for (const Expected &e : {Expected{"Kitchen scale", {photos[0], photos[1]}},
                              Expected{"Television", {photos[2], photos[3]}}, Expected{"Desk lamp", {photos[4]}}}) {
        SCOPED_TRACE(e.description);
        const qint64 key =
            storedText(QStringLiteral("select iteid from items where Item = '%1'").arg(QLatin1String(e.description)))
                .toLongLong();
        ASSERT_GT(key, chair);
        const QVariantMap item = stored(key);
        EXPECT_EQ(item.value(QStringLiteral("catid")).toLongLong(), zoo);
        EXPECT_EQ(item.value(QStringLiteral("estvalue")).value<Money>(), *Money::fromDecimalText(u"25"));
        const QStringList kept = attachments.photoPaths(key);
        ASSERT_EQ(kept.size(), e.photos.size());
        for (qsizetype i = 0; i < kept.size(); ++i) {
            QFile keptFile(kept[i]), original(e.photos[i]);
            ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
            EXPECT_EQ(keptFile.readAll(), original.readAll()) << i;
        }
    }
    EXPECT_EQ(storedText(QStringLiteral("select count(*) from items where Item = 'Chair'")), QStringLiteral("1"));
}
