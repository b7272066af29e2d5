#include "photoitems/PhotoCheck.h"

#include <QFile>
#include <QImageReader>

namespace {

// Above this many pixels a file is no photo of a household's things but a
// trap for the memory that reading it would take.
constexpr qint64 MostPixels = 250'000'000;

// The offset just after the first start-of-scan segment of a JPEG, or -1
// when the segments before it do not lead there.
qint64 firstScanEnd(QFile &file)
{
    qint64 at = 2;
    for (;;) {
        if (!file.seek(at))
            return -1;
        const QByteArray head = file.read(4);
        if (head.size() < 4 || quint8(head[0]) != 0xFF)
            return -1;
        const quint8 marker = quint8(head[1]);
        if (marker == 0xFF) { // fill byte before a marker
            ++at;
            continue;
        }
        const qint64 length = (quint8(head[2]) << 8) | quint8(head[3]);
        if (length < 2)
            return -1;
        at += 2 + length;
        if (marker == 0xDA)
            return at;
    }
}

bool jpegEnds(QFile &file)
{
    // Most files end with the marker itself, perhaps padded.
    const qint64 size = file.size();
    if (file.seek(qMax<qint64>(0, size - 64))) {
        QByteArray tail = file.read(64);
        while (!tail.isEmpty() && (tail.back() == '\0' || quint8(tail.back()) == 0xFF))
            tail.chop(1);
        if (tail.endsWith("\xFF\xD9"))
            return true;
    }
    // Else the marker may be followed by more data: look for it after the
    // first scan (in the scan's data 0xFF is always followed by 0 or a
    // restart marker, and what comes before, such as the camera's
    // thumbnail, holds end markers of its own).
    const qint64 scan = firstScanEnd(file);
    if (scan < 0 || !file.seek(scan))
        return false;
    char previous = 0;
    QByteArray block;
    while (!(block = file.read(1 << 20)).isEmpty()) {
        if (quint8(previous) == 0xFF && quint8(block[0]) == 0xD9)
            return true;
        if (block.contains("\xFF\xD9"))
            return true;
        previous = block.back();
    }
    return false;
}

bool pngEnds(QFile &file)
{
    const qint64 size = file.size();
    if (size < 12 || !file.seek(size - 12))
        return false;
    return file.read(12) == QByteArray("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
}

} // namespace

bool endsComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    if (head.startsWith("\xFF\xD8"))
        return jpegEnds(file);
    if (head == QByteArray("\x89PNG\r\n\x1A\n"))
        return pngEnds(file);
    return true;
}

QString whyNotAPhoto(const QString &path)
{
    QImageReader reader(path);
    if (!reader.canRead())
        return QStringLiteral("not a photo");
    const QSize size = reader.size();
    if (!size.isValid())
        return QStringLiteral("not a photo");
    if (qint64(size.width()) * size.height() > MostPixels)
        return QStringLiteral("too large to show");
    if (!endsComplete(path))
        return QStringLiteral("cut short");
    return QString();
}
