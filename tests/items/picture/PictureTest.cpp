#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "items/PictureFiles.h"
#include "items/picture/PictureViewport.h"
#include "items/picture/frmImage.h"
#include "program/Household.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

namespace {

// Green, with a blue top-left corner (to see it upright) and a transparent
// bottom-right corner (which is white once shown).
QImage testPicture(QSize size)
{
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(Qt::green);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            picture.setPixelColor(x, y, Qt::blue);
            picture.setPixelColor(size.width() - 1 - x, size.height() - 1 - y, Qt::transparent);
        }
    return picture;
}

QString savedPicture(const QString &path, QSize size, const char *format)
{
    EXPECT_TRUE(testPicture(size).save(path, format)) << path.toStdString();
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A JPEG with an Exif block holding only the orientation tag, put right
// after the start-of-image marker as cameras do.
QByteArray withOrientation(const QByteArray &jpeg, quint16 orientation)
{
    QByteArray tiff("MM\x00\x2a\x00\x00\x00\x08", 8);          // big-endian, first IFD at 8
    tiff += QByteArray("\x00\x01", 2);                         // one entry
    tiff += QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01", 8); // Orientation, SHORT, 1 value
    tiff += char(orientation >> 8);
    tiff += char(orientation & 0xff);
    tiff += QByteArray("\x00\x00", 2);
    tiff += QByteArray("\x00\x00\x00\x00", 4); // no next IFD
    const QByteArray exif = QByteArray("Exif\x00\x00", 6) + tiff;
    const int length = int(exif.size()) + 2;
    QByteArray segment("\xff\xe1", 2);
    segment += char(length >> 8);
    segment += char(length & 0xff);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

} // namespace

class PictureTest : public ItemWindowTest {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
    QString images() { return folder().path() + ImagesFolderName + QLatin1Char('/'); }
    // Hidden ones too: nothing half-written may be left behind.
    QStringList imageFiles() { return QDir(images()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    frmImage &openPictures(frmMain &w)
    {
        w.cmdPicture_Click();
        auto *window = qobject_cast<frmImage *>(w.secondaryWindow(frmMain::Secondary::Picture));
        EXPECT_TRUE(window && window->isVisible());
        return *window;
    }
};

// A picture loaded from a file is written as that file, byte for byte and
// under its own extension; the older file of the item goes.
TEST_F(PictureTest, ALoadedPictureIsKeptAsItsOwnFileInPlaceOfTheOlderFile)
{
    const qint64 id = addItem({{"iteid", 42}, {"Item", "Clock"}});
    savedPicture(images() + "00000042.bmp", {40, 30}, "BMP");
    const QString photo = savedPicture(folder().file("Photo.JPEG"), {2400, 1200}, "JPG");
    frmMain &w = start();
    frmImage &window = openPictures(w);
    EXPECT_EQ(window.picture().size(), QSize(40, 30)) << "an existing bitmap is the item's picture";

    // Cancel drops a loaded picture and shows the item's own again.
    prompts.answerFile(photo);
    window.cmdPicLoad_Click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
    w.cmdCancel_Click();
    EXPECT_EQ(window.picture().size(), QSize(40, 30));
    EXPECT_EQ(imageFiles(), QStringList{"00000042.bmp"});

    prompts.answerFile(photo);
    window.cmdPicLoad_Click();
    const Prompts::FileDialog &dialog = prompts.calls().back().dialog;
    EXPECT_EQ(dialog.title, QStringLiteral("Load Image"));
    EXPECT_TRUE(dialog.filter.startsWith("All Picture Files|*.bmp;*.dib;*.gif;*.jpg;")) << dialog.filter.toStdString();
    EXPECT_EQ(dialog.filterIndex, 1);
    const QRect shown = window.Image1->pictureRect();
    EXPECT_TRUE(window.Image1->contentsRect().contains(shown)) << "a large photo is shrunk to the viewport";
    EXPECT_NEAR(shown.width(), 2 * shown.height(), 2) << "with its proportions kept";

    QTest::keyClicks(w.txtModel, QStringLiteral("M1"));
    w.cmdUpdate_Click();
    EXPECT_EQ(imageFiles(), QStringList{"00000042.jpeg"}) << "the older file would shadow the new one";
    EXPECT_EQ(fileBytes(images() + "00000042.jpeg"), fileBytes(photo)) << "the photo as it was, not decoded again";
    EXPECT_EQ(stored(id)["model"], QVariant("M1"));
    EXPECT_FALSE(w.PictureChanged);
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));

    // Shown again from its file, the photo is read no larger than the
    // screen; Copy Image still copies it whole.
    w.cmdFirst_Click();
    const QSize screen = window.screen()->availableGeometry().size();
    EXPECT_TRUE(window.picture().width() <= screen.width() && window.picture().height() <= screen.height())
        << window.picture().width() << " x " << window.picture().height();
    window.cmdPicCopy_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(2400, 1200));
    EXPECT_TRUE(prompts.messages().empty());
}

// A photo taken sideways is stored as it was taken, with its orientation
// data, and shown upright wherever it is read.
TEST_F(PictureTest, APhotoKeepsItsOrientationData)
{
    const qint64 id = addItem({{"Item", "Camera"}});
    // 40 x 20 pixels stored, marked as turned by a quarter: upright it is
    // 20 wide and 40 high, with the blue corner at the top right.
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(testPicture({40, 20}).convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", 95));
    }
    const QString photo = folder().file("sideways.jpg");
    QFile file(photo);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(withOrientation(jpeg, 6));
    file.close();

    frmMain &w = start();
    frmImage &window = openPictures(w);
    prompts.answerFile(photo);
    window.cmdPicLoad_Click();
    EXPECT_EQ(window.picture().size(), QSize(20, 40)) << "shown upright";
    w.cmdUpdate_Click();
    const QString stored = images() + ItemFiles::baseName(id) + ".jpg";
    EXPECT_EQ(fileBytes(stored), fileBytes(photo));
    const QImage back = readPictureFile(stored);
    ASSERT_EQ(back.size(), QSize(20, 40));
    EXPECT_GT(back.pixelColor(18, 1).blue(), 200) << "the blue corner turned to the top right";
    EXPECT_LT(back.pixelColor(1, 1).blue(), 100);
}

// Each leaves the item, its (empty) picture and the picture folder as they were.
TEST_F(PictureTest, NothingIsWrittenWithoutANewPicture)
{
    struct Row {
        const char *name;
        std::function<void(frmMain &, frmImage &)> act;
        const char *message;
    };
    // name: a file of the data folder; none for a cancelled dialog.
    auto load = [this](const char *name) {
        return [this, name](frmMain &, frmImage &window) {
            prompts.answerFile(name ? std::optional(folder().file(name)) : std::nullopt);
            window.cmdPicLoad_Click();
        };
    };
    const Row rows[] = {
        {"Update of an edit",
         [](frmMain &w, frmImage &) {
             QTest::keyClicks(w.txtModel, QStringLiteral("X"));
             w.cmdUpdate_Click();
         },
         nullptr},
        {"a picture loaded while adding, then Cancel",
         [this](frmMain &w, frmImage &window) {
             w.cmdAddNew_Click();
             EXPECT_TRUE(window.picture().isNull()) << "a new item starts without a picture";
             QTest::keyClicks(w.txtItem, QStringLiteral("Lamp"));
             prompts.answerFile(savedPicture(folder().file("new.ico"), {8, 8}, "ICO"));
             window.cmdPicLoad_Click();
             EXPECT_EQ(window.picture().size(), QSize(8, 8));
             w.cmdCancel_Click();
         },
         nullptr},
        {"a file that is no picture", load("notes.jpg"), "The file '%1notes.jpg' could not be read"},
        {"a file that is not there", load("gone.bmp"), "File not found."},
        {"a cancelled dialog", load(nullptr), nullptr},
        {"a paste without a picture on the clipboard", [](frmMain &, frmImage &window) { window.cmdPicPaste_Click(); },
         "The clipboard holds no picture to paste."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile notes(folder().file("notes.jpg"));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("not a picture at all") > 0);
        notes.close();
        addItem({{"iteid", 7}, {"Item", "Vase"}});
        frmMain &w = start();
        frmImage &window = openPictures(w);
        row.act(w, window);
        EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
        EXPECT_FALSE(w.PictureChanged);
        EXPECT_TRUE(window.picture().isNull());
        EXPECT_EQ(imageFiles(), QStringList{});
        EXPECT_EQ(storedCount(), 1);
        // Every row that loads asks for the file once; a cancelled dialog goes
        // through the error trap, which tells nothing (no message above).
        const QByteArray name(row.name);
        const bool loads = name.startsWith("a file") || name.contains("cancelled") || name.contains("adding");
        EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::OpenFile), loads ? 1 : 0);
        const QString expected =
            QString::fromLatin1(row.message).replace("%1", QDir::toNativeSeparators(folder().path()));
        ASSERT_EQ(prompts.messages().size(), row.message ? 1u : 0u);
        if (row.message) {
            EXPECT_TRUE(prompts.messages().front().text.startsWith(expected))
                << prompts.messages().front().text.toStdString();
        }
        prompts.clear();
        TearDown();
        m_folder.reset();
    }
}

TEST_F(PictureTest, TheWindowFollowsTheShownItemWhileOpenAndTradesPicturesWithTheClipboard)
{
    const qint64 alpha = addItem({{"Item", "Alpha"}});
    const qint64 bravo = addItem({{"Item", "Bravo"}});
    savedPicture(images() + ItemFiles::baseName(alpha) + ".png", {20, 10}, "PNG");
    frmMain &w = start();
    frmImage &window = openPictures(w);
    EXPECT_EQ(window.picture().size(), QSize(20, 10));
    w.cmdNext_Click();
    EXPECT_TRUE(window.picture().isNull());
    w.cmdPrevious_Click();
    EXPECT_EQ(window.picture().size(), QSize(20, 10));

    window.cmdClose_Click();
    EXPECT_FALSE(window.isVisible());
    w.cmdNext_Click();
    EXPECT_EQ(window.picture().size(), QSize(20, 10)) << "a hidden window is left alone";
    EXPECT_EQ(&openPictures(w), &window) << "one window for the run";
    EXPECT_TRUE(window.picture().isNull()) << "Bravo's, who has none";

    QGuiApplication::clipboard()->setImage(testPicture({30, 20}));
    window.cmdPicPaste_Click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
    w.cmdUpdate_Click();
    // A pasted picture has no file of its own: PNG keeps it whole.
    EXPECT_EQ(imageFiles(), QStringList({ItemFiles::baseName(alpha) + ".png", ItemFiles::baseName(bravo) + ".png"}));
    const QImage written = QImageReader(images() + ItemFiles::baseName(bravo) + ".png", "png").read();
    EXPECT_EQ(written.size(), QSize(30, 20));
    EXPECT_EQ(written.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(written.pixelColor(29, 19), QColor(Qt::white)) << "as shown: transparent parts on white";
    QGuiApplication::clipboard()->clear();
    window.cmdPicCopy_Click();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(30, 20));
    EXPECT_EQ(copied.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(PictureTest, AnEmptyInventoryShowsAnEmptyPictureAndTheFirstItemGetsItsOwn)
{
    frmMain &w = start();
    frmImage &window = openPictures(w);
    EXPECT_TRUE(window.picture().isNull());
    w.cmdAddNew_Click();
    QTest::keyClicks(w.txtItem, QStringLiteral("Piano"));
    prompts.answerFile(savedPicture(folder().file("piano.bmp"), {16, 12}, "BMP"));
    window.cmdPicLoad_Click();
    w.cmdUpdate_Click();
    const qint64 id =
        Database::open(folder().file(InventoryFileName))->scalar("select max(iteid) from items").toLongLong();
    EXPECT_EQ(imageFiles(), QStringList{ItemFiles::baseName(id) + ".bmp"});
    EXPECT_EQ(window.picture().size(), QSize(16, 12)) << "the stored item shown with its picture";
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(PictureTest, AFailedWriteKeepsTheOldPictureAndStoresTheItem)
{
    const qint64 id = addItem({{"iteid", 42}, {"Item", "Clock"}});
    const QByteArray oldPicture = fileBytes(savedPicture(images() + "00000042.jpg", {40, 30}, "JPG"));
    ASSERT_TRUE(QDir(images()).mkdir("00000042.png")); // in the way of the new file
    frmMain &w = start();
    frmImage &window = openPictures(w);
    prompts.answerFile(savedPicture(folder().file("new.png"), {10, 10}, "PNG"));
    window.cmdPicLoad_Click();
    QTest::keyClicks(w.txtModel, QStringLiteral("M2"));
    w.cmdUpdate_Click();

    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.startsWith("75  Path/File access error"));
    EXPECT_EQ(stored(id)["model"], QVariant("M2"));
    EXPECT_EQ(imageFiles(), QStringList{"00000042.jpg"});
    EXPECT_EQ(fileBytes(images() + "00000042.jpg"), oldPicture);
}

// The picture belongs to the record: when the record is refused (here by a
// rule another program put on the table), Cancel must leave the item with
// the picture it had, and the next Update that goes through writes it.
TEST_F(PictureTest, ANewPictureIsWrittenOnlyOnceItsRecordIsStored)
{
    const qint64 id = addItem({{"iteid", 42}, {"Item", "Clock"}});
    const QByteArray oldPicture = fileBytes(savedPicture(images() + "00000042.jpg", {40, 30}, "JPG"));
    execute(QStringLiteral("create trigger refuse before update on items "
                           "begin select raise(abort, 'changes are refused by another program'); end"));
    frmMain &w = start();
    frmImage &window = openPictures(w);
    const QString replacement = savedPicture(folder().file("new.png"), {10, 10}, "PNG");

    prompts.answerFile(replacement);
    window.cmdPicLoad_Click();
    QTest::keyClicks(w.txtModel, QStringLiteral("M2"));
    w.cmdUpdate_Click();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.contains("changes are refused by another program"));
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing")) << "the edit stays on screen for another try";
    EXPECT_EQ(imageFiles(), QStringList{"00000042.jpg"}) << "nothing written for a record not stored";
    w.cmdCancel_Click();
    EXPECT_EQ(imageFiles(), QStringList{"00000042.jpg"});
    EXPECT_EQ(fileBytes(images() + "00000042.jpg"), oldPicture);
    EXPECT_EQ(window.picture().size(), QSize(40, 30)) << "the item's own picture is shown again";

    execute(QStringLiteral("drop trigger refuse"));
    prompts.clear();
    prompts.answerFile(replacement);
    window.cmdPicLoad_Click();
    w.cmdUpdate_Click();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(imageFiles(), QStringList{"00000042.png"});
    EXPECT_EQ(fileBytes(images() + "00000042.png"), fileBytes(replacement));
    EXPECT_EQ(stored(id)["Item"], QVariant("Clock"));
}

TEST(PictureViewport, LargePicturesAreShrunkToFitWithTheirProportionsKept)
{
    struct Row {
        QSize picture, viewport, shown;
    };
    const Row rows[] = {
        {{4000, 3000}, {400, 300}, {400, 300}},
        {{3000, 4000}, {400, 300}, {225, 300}}, // the height limits a portrait
        {{200, 100}, {400, 300}, {200, 100}},   // small ones are not enlarged
        {{10000, 1}, {100, 100}, {100, 1}},     // never thinner than a pixel
        {{50, 50}, {0, 0}, {1, 1}},
        {{}, {100, 100}, {}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(fittedPictureSize(row.picture, row.viewport), row.shown)
            << row.picture.width() << "x" << row.picture.height();
}
