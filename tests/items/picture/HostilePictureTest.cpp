#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "items/PictureFiles.h"
#include "items/picture/frmImage.h"
#include "program/Household.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLineEdit>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray little32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray little16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray big32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// A bitmap whose header claims width x height pixels of the given depth,
// followed by a few bytes of pixels instead of the gigabytes it would need.
QByteArray bitmapHeader(quint32 width, quint32 height, quint16 bitsPerPixel)
{
    const quint32 paletteBytes = bitsPerPixel <= 8 ? 4u << bitsPerPixel : 0;
    const quint32 dataOffset = 14 + 40 + paletteBytes;
    QByteArray info = little32(40) + little32(width) + little32(height) + little16(1) + little16(bitsPerPixel)
        + little32(0) + little32(0) + little32(2835) + little32(2835) + little32(0) + little32(0);
    QByteArray palette;
    for (quint32 i = 0; i < paletteBytes / 4; ++i)
        palette += little32(i == 0 ? 0x000000 : 0xFFFFFF);
    const QByteArray pixels(16, '\x55');
    return "BM" + little32(dataOffset + quint32(pixels.size())) + little32(0) + little32(dataOffset) + info + palette
        + pixels;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    return big32(quint32(data.size())) + type + data + big32(crc32(type + data));
}

// A PNG whose header claims width x height one-bit grey pixels, followed by
// a few bytes of compressed pixels instead of the megabytes it would need.
QByteArray pngHeader(quint32 width, quint32 height)
{
    const QByteArray header = big32(width) + big32(height) + QByteArray("\x01\x00\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
        + pngChunk("IDAT", QByteArray("\x78\x9c\x63\x60\x00\x00", 6)) + pngChunk("IEND", QByteArray());
}

// A real picture of 64 x 48 pixels, green with a blue top-left corner.
QByteArray realPicture(const char *format)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::green);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            picture.setPixelColor(x, y, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(picture)) << format;
    return bytes;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The peak resident memory of this process in kB since the last
// resetPeakMemory(); std::nullopt where the system does not tell.
std::optional<qint64> peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong();
    }
    return std::nullopt;
}

bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

class HostilePictureTest : public ItemWindowTest {
protected:
    QString images() { return folder().path() + ImagesFolderName + QLatin1Char('/'); }
    // Every file of the picture folder with its bytes, hidden ones too.
    QMap<QString, QByteArray> imageFiles()
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(images()).entryList(QDir::Files | QDir::Hidden))
            files.insert(name, fileBytes(images() + name));
        return files;
    }
    frmImage &openPictures(frmMain &w)
    {
        w.cmdPicture_Click();
        auto *window = qobject_cast<frmImage *>(w.secondaryWindow(frmMain::Secondary::Picture));
        EXPECT_TRUE(window && window->isVisible());
        return *window;
    }
};

// Each file is refused with the message for an unreadable picture; the shown
// picture, the item, and every picture file stay as they were, and no file
// costs more memory than a few megabytes.
TEST_F(HostilePictureTest, FilesThatAreNoPictureAreRefusedAndChangeNothing)
{
    const QByteArray bmp = realPicture("bmp");
    const QByteArray png = realPicture("png");
    const QByteArray jpg = realPicture("jpg");
    struct Row {
        const char *name; // in the data folder; the extension is what the file claims
        QByteArray bytes;
        const char *reason; // part of the message's reason
    };
    const Row rows[] = {
        {"empty.bmp", QByteArray(), "Unsupported image format"},
        {"header-only.bmp", bmp.left(54), "Unable to read image data"},
        {"cut.png", png.left(png.size() / 2), "Unable to read image data"},
        {"cut.jpg", jpg.left(jpg.size() / 2), "Unable to read image data"},
        {"notes.jpg", QByteArray("A list of things, not a picture.\n"), "Unsupported image format"},
        // 30,000 x 30,000 pixels: 112 MB at one bit a pixel in the file's
        // own form, 3.6 GB once shown at 32 bits. The bitmap reader refuses
        // such a header itself; 16,000 x 16,000 (1 GB once shown) it takes.
        {"huge.png", pngHeader(30000, 30000), "30000 x 30000 pixels"},
        {"huge.bmp", bitmapHeader(30000, 30000, 24), "Unable to read image data"},
        {"huge-mono.bmp", bitmapHeader(16000, 16000, 1), "16000 x 16000 pixels"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const qint64 clock = addItem({{"iteid", 42}, {"Item", "Clock"}, {"model", "C-1"}});
        addItem({{"iteid", 43}, {"Item", "Desk"}});
        writeFile(images() + "00000042.jpg", realPicture("jpg"));
        writeFile(images() + "00000043.png", realPicture("png"));
        const QString hostile = folder().file(QLatin1String(row.name));
        writeFile(hostile, row.bytes);
        const QVariantMap before = stored(clock);
        const QMap<QString, QByteArray> picturesBefore = imageFiles();
        frmMain &w = start();
        frmImage &window = openPictures(w);
        ASSERT_EQ(window.picture().size(), QSize(64, 48));

        const bool measured = resetPeakMemory();
        const std::optional<qint64> startKb = peakMemoryKb();
        prompts.answerFile(hostile);
        window.cmdPicLoad_Click();
        const std::optional<qint64> peakKb = peakMemoryKb();
        if (measured && startKb && peakKb) {
            EXPECT_LT(*peakKb - *startKb, 64 * 1024) << "kB more at the peak";
        }

        ASSERT_EQ(prompts.messages().size(), 1u);
        const QString text = prompts.messages().front().text;
        EXPECT_TRUE(text.startsWith(
            QStringLiteral("The file '%1' could not be read as a picture (").arg(QDir::toNativeSeparators(hostile))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String(row.reason))) << text.toStdString();
        EXPECT_EQ(prompts.messages().front().title, ProgramTitle);
        EXPECT_EQ(window.picture().size(), QSize(64, 48)) << "the item's own picture stays shown";
        EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
        EXPECT_FALSE(w.PictureChanged);

        EXPECT_EQ(stored(clock), before);

        // An edit stored afterwards writes the record, but no picture.
        QTest::keyClick(w.txtModel, Qt::Key_End);
        QTest::keyClicks(w.txtModel, QStringLiteral("X"));
        w.cmdUpdate_Click();
        EXPECT_EQ(stored(clock)["model"], QVariant("C-1X"));
        EXPECT_EQ(storedCount(), 2);
        EXPECT_EQ(imageFiles(), picturesBefore);
        EXPECT_EQ(fileBytes(hostile), row.bytes) << "the chosen file is never touched";
        prompts.clear();
        TearDown();
        m_folder.reset();
    }
}

// The content decides how a file is read: PNG bytes named .bmp are a
// picture, and become the item's picture as any other.
TEST_F(HostilePictureTest, AFileNamedForAnotherKindIsReadByItsContent)
{
    const qint64 clock = addItem({{"iteid", 42}, {"Item", "Clock"}});
    writeFile(images() + "00000042.jpg", realPicture("jpg"));
    const QString misnamed = folder().file("photo.bmp");
    writeFile(misnamed, realPicture("png"));
    frmMain &w = start();
    frmImage &window = openPictures(w);
    prompts.answerFile(misnamed);
    window.cmdPicLoad_Click();
    EXPECT_EQ(window.picture().size(), QSize(64, 48));
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
    w.cmdUpdate_Click();

    EXPECT_EQ(imageFiles().keys(), QStringList{"00000042.bmp"});
    const QImage written = readPictureFile(images() + "00000042.bmp");
    EXPECT_EQ(written.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(written.pixelColor(63, 47), QColor(Qt::green));
    EXPECT_EQ(stored(clock)["Item"], QVariant("Clock"));
    EXPECT_TRUE(prompts.messages().empty());
}

// A hostile file put into the picture folder by hand is the item's picture
// file: it is shown as the empty picture, silently, and left where it is.
TEST_F(HostilePictureTest, AHostileFileInThePictureFolderShowsAnEmptyPicture)
{
    for (const auto &[name, bytes] :
         {std::pair{"00000042.bmp", bitmapHeader(30000, 30000, 1)}, std::pair{"00000042.png", pngHeader(30000, 30000)},
          std::pair{"00000042.jpg", QByteArray()}}) {
        SCOPED_TRACE(name);
        const qint64 clock = addItem({{"iteid", 42}, {"Item", "Clock"}});
        writeFile(images() + QLatin1String(name), bytes);
        const QVariantMap before = stored(clock);
        frmMain &w = start();
        frmImage &window = openPictures(w);
        EXPECT_TRUE(window.picture().isNull());
        EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
        EXPECT_TRUE(prompts.messages().empty());
        EXPECT_EQ(stored(clock), before);
        EXPECT_EQ(fileBytes(images() + QLatin1String(name)), bytes);
        prompts.clear();
        TearDown();
        m_folder.reset();
    }
}

// Readers that stop at the end of a file cut short must not leave the rest
// of the picture as whatever the memory held before: it would be shown and
// then written as the item's picture.
TEST(PictureReading, APictureCutShortIsReadWithItsMissingPartPlain)
{
    const QByteArray whole = realPicture("bmp");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        {
            // Memory as a freed picture leaves it, in a colour no row holds.
            QImage leftover(64, 48, QImage::Format_RGB32);
            leftover.fill(QColor(0x12, 0x34, 0x56));
        }
        QString reason;
        // A bitmap holds its rows bottom first: the first half of the file
        // is the bottom half of the picture.
        const QImage cut = readPictureData(whole.left(54 + 64 * 3 * 24), &reason);
        ASSERT_FALSE(cut.isNull()) << reason.toStdString();
        ASSERT_EQ(cut.size(), QSize(64, 48));
        EXPECT_EQ(cut.pixelColor(0, 47), QColor(Qt::green)) << "the rows the file holds";
        EXPECT_EQ(cut.pixelColor(0, 0), QColor(Qt::white)) << "the rows it does not";
        EXPECT_EQ(cut.pixelColor(63, 23), QColor(Qt::white));
    }
}

TEST(PictureReading, TheSizeLimitLetsLargePhotosThroughAndStopsAtItsPixelCount)
{
    // 50 megapixels, a large phone photo of today, is read; a picture one
    // row beyond the limit is refused from its header alone.
    struct Row {
        quint32 width, height;
        bool kept;
    };
    const Row rows[] = {
        {8160, 6120, true},
        {16384, 8192, true}, // exactly the limit
        {16384, 8193, false},
        {30000, 30000, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(row.width).arg(row.height).toStdString());
        EXPECT_EQ(qint64(row.width) * row.height <= MaxPicturePixels, row.kept);
        QString reason;
        const QImage picture = readPictureData(pngHeader(row.width, row.height), &reason);
        // The header holds no pixels, so even a size that is kept ends in a
        // reading error, after the size check.
        EXPECT_TRUE(picture.isNull());
        EXPECT_EQ(reason.contains(QStringLiteral("pixels, more than can be kept")), !row.kept) << reason.toStdString();
    }
}
