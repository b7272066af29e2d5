// A file in a batch of photos as Add Items from Photos and the inbox read
// it: whether it is a photo the batch takes (its header, and whether a JPEG
// or PNG holds its end), when the camera took it (libexif), and its
// thumbnail, the camera's embedded one or a reduced decode. Nothing of it
// may crash; a thumbnail is never larger than asked, a camera's time is a
// valid one.
#include "FuzzSupport.h"

#include "items/PictureFiles.h"
#include "photoitems/PhotoCheck.h"
#include "photoitems/PhotoThumbnail.h"
#include "photoitems/PhotoTimes.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QString scratchFile()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("photo.jpg"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startPictureFuzzer(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratchFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(inputBytes(data, size)) != qint64(size))
            std::abort();
    }
    (void)whyNotAPhoto(path);
    (void)endsComplete(path);
    if (const std::optional<QDateTime> taken = cameraTime(path))
        FUZZ_REQUIRE(taken->isValid(), "an invalid camera time was taken");
    const QSize asked(160, 120);
    const QImage thumbnail = readThumbnail(path, asked);
    if (!thumbnail.isNull())
        FUZZ_REQUIRE(thumbnail.width() <= asked.width() && thumbnail.height() <= asked.height(),
                     "a thumbnail of %1 x %2", QString::number(thumbnail.width()), QString::number(thumbnail.height()));
    const QImage embedded = embeddedThumbnail(path);
    if (!embedded.isNull())
        FUZZ_REQUIRE(qint64(embedded.width()) * embedded.height() <= MaxPicturePixels, "an embedded %1 x %2",
                     QString::number(embedded.width()), QString::number(embedded.height()));
    return 0;
}
