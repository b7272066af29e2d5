#include "photoitems/PhotoTimes.h"

#include <QFileInfo>
#include <libexif/exif-data.h>
#include <memory>

namespace {

struct ExifDataFree {
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

// "YYYY:MM:DD HH:MM:SS", as EXIF writes every date; blanks or zeros where
// the camera did not know it.
std::optional<QDateTime> exifDateTime(ExifData *data, ExifIfd ifd, ExifTag tag)
{
    ExifEntry *entry = exif_content_get_entry(data->ifd[ifd], tag);
    if (!entry || entry->format != EXIF_FORMAT_ASCII || !entry->data || entry->size < 19)
        return std::nullopt;
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(entry->data), 19);
    const QDateTime taken = QDateTime::fromString(text, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!taken.isValid())
        return std::nullopt;
    return taken;
}

} // namespace

std::optional<QDateTime> cameraTime(const QString &path)
{
    const std::unique_ptr<ExifData, ExifDataFree> data(exif_data_new_from_file(QFile::encodeName(path).constData()));
    if (!data)
        return std::nullopt;
    if (auto original = exifDateTime(data.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL))
        return original;
    return exifDateTime(data.get(), EXIF_IFD_0, EXIF_TAG_DATE_TIME);
}

PhotoTime photoTime(const QString &path)
{
    if (const std::optional<QDateTime> taken = cameraTime(path))
        return {*taken, true};
    return {QFileInfo(path).lastModified(), false};
}
