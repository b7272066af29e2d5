// Items made from a batch of photos by keys only: the File menu, a
// description for each proposed item with Enter between them, an item split
// at a photo, the batch's category and value, and Add Items.
#include "DesktopFixture.h"

#include "claim/ClaimReadiness.h"
#include "itemlist/ItemListModel.h"
#include "itemlist/window/frmItemList.h"
#include "items/ItemAttachments.h"
#include "items/ItemStatus.h"
#include "photoitems/PhotoInbox.h"
#include "photoitems/PhotoItems.h"
#include "photoitems/window/frmPhotoItems.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
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
    ASSERT_EQ(prompts.count(ScriptedPrompts::Kind::OpenFile), 1);
    for (const ScriptedPrompts::Call &call : prompts.calls()) {
        if (call.kind == ScriptedPrompts::Kind::OpenFile) {
            EXPECT_TRUE(call.dialog.orFolder) << "a whole folder may be chosen too";
        }
    }
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

namespace {

// A photo another program wrote (tests/photoitems/photos) copied into the
// inbox under a phone's name, last written secondsAgo.
QString intoInbox(const QDir &inbox, const char *source, const QString &name, qint64 secondsAgo)
{
    QFile from(QStringLiteral(STOWBOOK_PHOTOS_DIR "/") + QLatin1String(source));
    EXPECT_TRUE(from.open(QIODevice::ReadOnly));
    QFile file(inbox.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(from.readAll());
    file.flush();
    EXPECT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFileDevice::FileModificationTime));
    return file.fileName();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

// The inbox chosen before: at the start its photos are offered, made into
// items without a value, and moved to its done folder (where a photo of the
// same name stays); a photo still being copied waits. The items are to
// complete: the item list shows only them when asked, the readiness check
// counts them, and typing an item's value in the form completes it.
TEST_F(DesktopTest, InboxPhotosBecomeItemsToComplete)
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QTemporaryDir inboxDir;
    const QDir inbox(inboxDir.path());
    // Taken 14:03 and 14:10 by the camera; the third has only its file's time.
    const QString kettle = intoInbox(inbox, "camera-original.jpg", QStringLiteral("IMG_0001.jpg"), 3600);
    intoInbox(inbox, "thumbnail-sideways.jpg", QStringLiteral("IMG_0002.jpg"), 3600);
    intoInbox(inbox, "no-exif.jpg", QStringLiteral("IMG_0003.jpg"), 3600);
    const QString arriving = intoInbox(inbox, "camera-modified-only.jpg", QStringLiteral("IMG_0004.jpg"), 0);
    const QByteArray kettleBytes = contents(kettle);
    ASSERT_TRUE(inbox.mkdir(InboxDoneName));
    QFile earlier(inbox.filePath(QStringLiteral("done/IMG_0001.jpg")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("a photo of last year's walk");
    earlier.close();
    const qint64 valued = addItem({{"Item", "Piano"}, {"estvalue", 3000}, {"totvalue", 3000}});
    writeInboxFolder(folder().path(), inbox.path());

    bool seen = false;
    prompts.answerWith([&](const ScriptedPrompts::Call &call) {
        EXPECT_EQ(call.text, QStringLiteral("3 new photos in your inbox. Make items of them now?"));
        QTimer::singleShot(0, [&] {
            auto *batch = qobject_cast<frmPhotoItems *>(QApplication::activeModalWidget());
            ASSERT_NE(batch, nullptr);
            ASSERT_TRUE(waitUntilActive(batch));
            seen = true;
            EXPECT_EQ(batch->lblIntro->text(),
                      QStringLiteral("3 new photos in your inbox (%1).").arg(QDir::toNativeSeparators(inbox.path())));
            EXPECT_EQ(batch->itemCount(), 3);
            for (const char *description : {"Toaster", "Kettle", "Radio"}) {
                type(QString::fromLatin1(description));
                press(Qt::Key_Return);
            }
            alt('a');
        });
        return Prompts::Answer::Yes;
    });
    frmMain &w = start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen && !QApplication::activeModalWidget(); }, 10000));
    ASSERT_EQ(prompts.messages().size(), 1u) << "one question, and no message after it";

    // Stored, marked, and moved; the photo being copied still waits.
    ASSERT_EQ(storedText(QStringLiteral("select group_concat(Item, ',') from (select Item from items where iteid <> %1 "
                                        "order by iteid)")
                             .arg(valued)),
              QStringLiteral("Toaster,Kettle,Radio"));
    ItemStatus status(household.inventory());
    EXPECT_EQ(status.toCompleteCount(), 3);
    EXPECT_FALSE(status.isToComplete(valued));
    EXPECT_EQ(contents(inbox.filePath(QStringLiteral("done/IMG_0001.jpg"))), QByteArray("a photo of last year's walk"));
    EXPECT_EQ(contents(inbox.filePath(QStringLiteral("done/IMG_0001 (2).jpg"))), kettleBytes);
    for (const char *name : {"IMG_0002.jpg", "IMG_0003.jpg"})
        EXPECT_TRUE(inbox.exists(QStringLiteral("done/") + QLatin1String(name))) << name;
    EXPECT_EQ(inbox.entryList(QDir::Files), QStringList{QStringLiteral("IMG_0004.jpg")});
    EXPECT_TRUE(QFileInfo::exists(arriving));
    // Its copy is given up, so no later look offers it while the test goes on.
    QFile::remove(arriving);
    EXPECT_EQ(checkReadiness(household, readReadinessChoices(household)).toComplete, 3);

    // The item list shows only the items to complete when asked.
    w.mnuItemList_Click();
    frmItemList *list = frmItemList::instance();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitUntilActive(list));
    const int every = list->model()->shownCount();
    alt('t');
    EXPECT_TRUE(list->chkToComplete->isChecked());
    EXPECT_EQ(list->model()->shownCount(), 3);
    EXPECT_EQ(list->model()->rowOfKey(valued), -1);

    // Toaster's value typed in the form completes it.
    list->close();
    ASSERT_TRUE(waitUntilActive(&w));
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Toaster"));
    const qint64 toaster = storedText(QStringLiteral("select iteid from items where Item = 'Toaster'")).toLongLong();
    clickAndType(w.txtEstValue, QStringLiteral("45"));
    alt('u');
    EXPECT_EQ(stored(toaster).value(QStringLiteral("estvalue")).value<Money>(), *Money::fromDecimalText(u"45"));
    EXPECT_FALSE(ItemStatus(household.inventory()).isToComplete(toaster));
    EXPECT_EQ(ItemStatus(household.inventory()).toCompleteCount(), 2);
    EXPECT_GT(every, 3);
}

// The inbox chosen from the File menu is kept for this data folder; a folder
// inside the data folder is refused (its files would be moved out), and the
// entry chosen again can stop using an inbox.
TEST_F(DesktopTest, TheInboxIsChosenOnceAndCanBeLeft)
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QTemporaryDir inbox;
    frmMain &w = start();

    ASSERT_TRUE(QDir(folder().path()).mkpath(QStringLiteral("phone")));
    prompts.answerFile(folder().file(QStringLiteral("phone")));
    w.mnuPhotoInbox_Click();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.startsWith(QStringLiteral("The inbox cannot be the data folder")));
    EXPECT_TRUE(readInboxFolder(folder().path()).isEmpty());

    prompts.clear();
    prompts.answerFile(inbox.path());
    w.mnuPhotoInbox_Click();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(readInboxFolder(folder().path()), QDir::cleanPath(inbox.path()));
    QTemporaryDir otherData;
    EXPECT_TRUE(readInboxFolder(otherData.path()).isEmpty()) << "another data folder keeps its own";

    prompts.clear();
    prompts.answer(Prompts::Answer::No);
    w.mnuPhotoInbox_Click();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages().front().buttons, Prompts::Buttons::YesNoCancel);
    EXPECT_TRUE(readInboxFolder(folder().path()).isEmpty());
}
