#include "items/PictureFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <libheif/heif.h>

// The HEVC encoder that makes this test's photos (x265, under libheif)
// keeps a block of its own until the process ends; the sanitizer builds'
// leak check is told so here, for this program only. The program's reading
// of HEIF goes through the decoder and leaks nothing.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libx265.so\n";
}

namespace {

// A HEIC file as a phone writes one, made by libheif's own encoder: width x
// height pixels, green with a blue top-left quarter.
QByteArray heicPhoto(int width, int height)
{
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    EXPECT_EQ(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code, heif_error_Ok);
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image *image = nullptr;
    heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, width, height, 8);
    int stride = 0;
    uint8_t *pixels = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t *pixel = pixels + y * stride + x * 3;
            const bool corner = x < width / 2 && y < height / 2;
            pixel[0] = 0;
            pixel[1] = corner ? 0 : 200;
            pixel[2] = corner ? 220 : 0;
        }
    }
    EXPECT_EQ(heif_context_encode_image(context, image, encoder, nullptr, nullptr).code, heif_error_Ok);
    heif_encoder_release(encoder);
    heif_image_release(image);
    QByteArray bytes;
    heif_writer writer{1, [](heif_context *, const void *data, size_t size, void *out) {
                           static_cast<QByteArray *>(out)->append(static_cast<const char *>(data), qsizetype(size));
                           return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
                       }};
    EXPECT_EQ(heif_context_write(context, &writer, &bytes).code, heif_error_Ok);
    heif_context_free(context);
    return bytes;
}

} // namespace

// A phone's HEIC photo is read wherever a picture is: whole, by its header's
// size, shrunk, and loaded as its own file with its own extension; one cut
// short is refused with a reason, never a crash.
TEST(HeifPictures, AreReadAsEveryOtherPicture)
{
    QTemporaryDir dir;
    const QByteArray bytes = heicPhoto(320, 240);
    ASSERT_GT(bytes.size(), 100);
    const QString path = dir.filePath(QStringLiteral("IMG_0042.HEIC"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    QString reason;
    const QImage whole = readPictureFile(path, &reason);
    ASSERT_FALSE(whole.isNull()) << reason.toStdString();
    EXPECT_EQ(whole.size(), QSize(320, 240));
    EXPECT_GT(whole.pixelColor(10, 10).blue(), 150) << "upright: the blue corner top left";
    EXPECT_GT(whole.pixelColor(300, 220).green(), 150);
    EXPECT_EQ(pictureFileSize(path), QSize(320, 240));
    EXPECT_EQ(readPictureFileScaled(path, QSize(80, 80)).size(), QSize(80, 60));

    const std::optional<LoadedPicture> loaded = loadPictureFile(path, &reason);
    ASSERT_TRUE(loaded) << reason.toStdString();
    EXPECT_EQ(loaded->file.extension, QStringLiteral("heic"));
    EXPECT_EQ(loaded->file.bytes, bytes) << "kept as the phone wrote it";

    // Named for another kind, it is still read by its content.
    const QString misnamed = dir.filePath(QStringLiteral("photo"));
    ASSERT_TRUE(QFile::copy(path, misnamed));
    const std::optional<LoadedPicture> byContent = loadPictureFile(misnamed, &reason);
    ASSERT_TRUE(byContent) << reason.toStdString();
    EXPECT_EQ(byContent->file.extension, QStringLiteral("heif"));

    for (const qsizetype length : {qsizetype(12), qsizetype(200), bytes.size() / 2}) {
        SCOPED_TRACE(length);
        QString why;
        EXPECT_TRUE(readPictureData(bytes.left(length), &why).isNull());
        EXPECT_FALSE(why.isEmpty());
    }
}
