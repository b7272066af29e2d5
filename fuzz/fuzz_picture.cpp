// Reading an item's picture from a file's bytes, of any kind the image
// plugins know, and making it opaque as it is shown and written. A picture
// read is never larger than the program keeps, and making it opaque keeps
// its size.
#include "FuzzSupport.h"

#include "items/PictureFiles.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startPictureFuzzer(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString reason;
    const QImage picture = readPictureData(inputBytes(data, size), &reason);
    if (picture.isNull()) {
        FUZZ_REQUIRE(!reason.isEmpty(), "a picture refused without a reason");
        return 0;
    }
    FUZZ_REQUIRE(qint64(picture.width()) * picture.height() <= MaxPicturePixels, "%1 x %2 pixels kept",
                 QString::number(picture.width()), QString::number(picture.height()));
    const QImage opaque = opaquePicture(picture);
    FUZZ_REQUIRE(!opaque.isNull() && opaque.size() == picture.size(), "the opaque picture has another size");
    FUZZ_REQUIRE(!opaque.hasAlphaChannel(), "the opaque picture keeps transparency");
    return 0;
}
