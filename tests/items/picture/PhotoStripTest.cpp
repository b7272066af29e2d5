#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "items/ItemAttachments.h"
#include "items/PictureFiles.h"
#include "items/picture/PhotoStrip.h"
#include "items/picture/frmImage.h"
#include "program/Household.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

// A photo told apart from the others by its width.
QString photoOfWidth(const QString &path, int width)
{
    QImage picture(width, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    EXPECT_TRUE(picture.save(path, "JPG")) << path.toStdString();
    return path;
}

class PhotoStripTest : public ItemWindowTest {
protected:
    frmImage &openPictures(frmMain &w)
    {
        w.cmdPicture_Click();
        auto *window = qobject_cast<frmImage *>(w.secondaryWindow(frmMain::Secondary::Picture));
        EXPECT_TRUE(window && window->isVisible());
        return *window;
    }
    // The widths of the item's photos in their stored order, the picture first.
    QList<int> storedWidths(qint64 iteid)
    {
        QList<int> widths;
        for (const QString &path : ItemAttachments(household).photoPaths(iteid))
            widths << pictureFileSize(path).width();
        return widths;
    }
    // What the strip shows, read from the files it names.
    static QList<int> shownWidths(const frmImage &window)
    {
        QList<int> widths;
        for (const PhotoStrip::Photo &photo : window.photoStrip->photos())
            widths << pictureFileSize(photo.path).width();
        return widths;
    }
    // Drops files on a widget as a file manager does.
    static void dropFiles(QWidget *target, const QStringList &paths)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        mime.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
};

} // namespace

// A person builds up an item's photos in the strip: adds files (one that is
// no picture is refused), drops one from a file manager, moves one with the
// keys, makes one first and removes the picture; after every step what is
// stored is what the strip shows, the picture is the file every older
// reader finds, and nothing half-written is left.
TEST_F(PhotoStripTest, ThePhotosOfAnItemAreBuiltUpInTheStripAndStoredAsShown)
{
    const qint64 id = addItem({{"Item", "Bike"}});
    photoOfWidth(folder().path() + ImagesFolderName + QStringLiteral("/00000001.jpg"), 40);
    frmMain &w = start();
    frmImage &window = openPictures(w);
    ASSERT_EQ(shownWidths(window), QList<int>{40});
    EXPECT_TRUE(window.cmdAddPhotos->isEnabled());
    EXPECT_FALSE(window.cmdMakeFirst->isEnabled()) << "the picture is first already";

    prompts.answerFile(photoOfWidth(folder().file("side.jpg"), 50));
    QTest::mouseClick(window.cmdAddPhotos, Qt::LeftButton);
    prompts.answerFile(photoOfWidth(folder().file("label.jpg"), 60));
    QTest::mouseClick(window.cmdAddPhotos, Qt::LeftButton);
    EXPECT_EQ(prompts.calls().back().dialog.title, QStringLiteral("Add Photos"));
    QFile notes(folder().file("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("no picture") > 0);
    notes.close();
    prompts.answerFile(notes.fileName());
    prompts.answer(Prompts::Answer::Ok);
    QTest::mouseClick(window.cmdAddPhotos, Qt::LeftButton);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.startsWith(QStringLiteral("The file '")));
    EXPECT_EQ(storedWidths(id), (QList<int>{40, 50, 60}));
    EXPECT_EQ(window.picture().width(), 60) << "the photo just added is shown";

    dropFiles(window.photoStrip->viewport(), {photoOfWidth(folder().file("back.jpg"), 70)});
    EXPECT_EQ(storedWidths(id), (QList<int>{40, 50, 60, 70}));
    EXPECT_EQ(shownWidths(window), storedWidths(id));

    window.photoStrip->setFocus();
    window.photoStrip->setCurrentRow(3);
    QTest::keyClick(window.photoStrip, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(window.photoStrip, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(storedWidths(id), (QList<int>{40, 70, 50, 60}));
    EXPECT_EQ(window.photoStrip->currentPhoto(), 1) << "the moved photo stays chosen";

    window.photoStrip->setCurrentRow(2);
    QTest::mouseClick(window.cmdMakeFirst, Qt::LeftButton);
    EXPECT_EQ(storedWidths(id), (QList<int>{50, 40, 70, 60}));
    EXPECT_EQ(pictureFileSize(household.itemFiles().picture(id)).width(), 50);
    EXPECT_EQ(window.focusWidget(), window.photoStrip) << "the keys go on in the strip";

    window.photoStrip->setCurrentRow(0);
    prompts.answer(Prompts::Answer::No);
    QTest::keyClick(window.photoStrip, Qt::Key_Delete);
    EXPECT_EQ(storedWidths(id), (QList<int>{50, 40, 70, 60})) << "No keeps the photo";
    prompts.answer(Prompts::Answer::Yes);
    QTest::keyClick(window.photoStrip, Qt::Key_Delete);
    EXPECT_EQ(prompts.messages().back().title, QStringLiteral("Remove Photo"));
    EXPECT_EQ(storedWidths(id), (QList<int>{40, 70, 60}));
    EXPECT_EQ(shownWidths(window), storedWidths(id));

    QImage copied(80, 30, QImage::Format_RGB32);
    copied.fill(Qt::yellow);
    QGuiApplication::clipboard()->setImage(copied);
    QTest::keyClick(window.photoStrip, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(storedWidths(id), (QList<int>{40, 70, 60, 80})) << "a pasted picture is one more photo";

    QStringList expected{ItemFiles::fileName(id, QStringLiteral("jpg"))};
    for (const AttachedFile &file : ItemAttachments(household).of(id))
        expected << file.fileName;
    expected.sort();
    EXPECT_EQ(QDir(household.itemFiles().folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);

    // An item being added has no photos to arrange yet.
    w.cmdAddNew_Click();
    EXPECT_FALSE(window.cmdAddPhotos->isEnabled());
    EXPECT_FALSE(window.photoStrip->isEnabled());
    w.cmdCancel_Click();
    EXPECT_EQ(shownWidths(window), storedWidths(id));
    EXPECT_TRUE(window.cmdAddPhotos->isEnabled());
}

// A picture loaded for Update waits above; the strip leaves the photos
// alone until the item is stored. Files dropped on the main window become
// photos of the shown item, and deleting the item takes every photo.
TEST_F(PhotoStripTest, TheStripWaitsForALoadedPictureAndPhotosGoWithTheirItem)
{
    const qint64 id = addItem({{"Item", "Clock"}});
    photoOfWidth(folder().path() + ImagesFolderName + QStringLiteral("/00000001.jpg"), 40);
    frmMain &w = start();
    frmImage &window = openPictures(w);
    prompts.answerFile(photoOfWidth(folder().file("b.jpg"), 50));
    window.cmdAddPhotos_Click();
    prompts.answerFile(photoOfWidth(folder().file("new.jpg"), 90));
    window.cmdPicLoad_Click();
    EXPECT_FALSE(window.cmdAddPhotos->isEnabled());
    EXPECT_FALSE(window.cmdRemovePhoto->isEnabled());
    w.cmdUpdate_Click();
    EXPECT_EQ(storedWidths(id), (QList<int>{90, 50})) << "Update replaces the picture, the other photos stay";
    EXPECT_TRUE(window.cmdAddPhotos->isEnabled());

    // Dropped on the main window's form, a photo goes to the shown item.
    window.hide();
    dropFiles(&w, {photoOfWidth(folder().file("c.jpg"), 60)});
    EXPECT_EQ(storedWidths(id), (QList<int>{90, 50, 60}));
    EXPECT_TRUE(window.isVisible()) << "the strip shows where it went";

    prompts.answer(Prompts::Answer::Yes);
    w.cmdDelete_Click();
    EXPECT_TRUE(QDir(household.itemFiles().folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(ItemAttachments(household).of(id).isEmpty());
}
