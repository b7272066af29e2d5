#include "photoitems/PhotoBatch.h"

#include "data/Sha256.h"
#include "items/ItemAttachments.h"
#include "photoitems/PhotoTimes.h"
#include "program/Household.h"
#include "program/ItemFiles.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

// The file's SHA-256, empty when it cannot be read.
QString checksumOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    Sha256 hash;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(block.data(), block.size());
        if (read < 0)
            return QString();
        if (read == 0)
            break;
        hash.addData(QByteArrayView(block.constData(), read));
    }
    return QString::fromLatin1(hash.hexResult());
}

} // namespace

std::vector<BatchPhoto> readPhotos(const QStringList &paths)
{
    std::vector<BatchPhoto> photos;
    photos.reserve(std::size_t(paths.size()));
    for (const QString &path : paths) {
        BatchPhoto photo;
        photo.path = path;
        const PhotoTime time = photoTime(path);
        photo.taken = time.taken;
        photo.byCamera = time.byCamera;
        photo.bytes = QFileInfo(path).size();
        photos.push_back(std::move(photo));
    }
    std::stable_sort(photos.begin(), photos.end(), [](const BatchPhoto &a, const BatchPhoto &b) {
        if (a.taken != b.taken)
            return a.taken < b.taken;
        return QFileInfo(a.path).fileName() < QFileInfo(b.path).fileName();
    });
    return photos;
}

std::vector<int> groupStarts(const std::vector<BatchPhoto> &photos, int gapSeconds)
{
    std::vector<int> starts;
    for (std::size_t i = 0; i < photos.size(); ++i) {
        if (i == 0 || !photos[i - 1].taken.isValid() || !photos[i].taken.isValid()
            || photos[i - 1].taken.secsTo(photos[i].taken) > gapSeconds)
            starts.push_back(int(i));
    }
    return starts;
}

void markKnownPhotos(Household &household, std::vector<BatchPhoto> &photos)
{
    QHash<QString, qint64> known;
    QSet<qint64> knownSizes;
    for (const ItemAttachments::RecordedPhoto &recorded : ItemAttachments(household).recordedPhotos()) {
        known.insert(recorded.sha256, recorded.iteid);
        knownSizes.insert(recorded.bytes);
    }
    QSet<qint64> batchSizes;
    for (const BatchPhoto &photo : photos)
        batchSizes.insert(photo.bytes);
    const QHash<qint64, QString> pictures = household.itemFiles().pictures();
    for (auto it = pictures.constBegin(); it != pictures.constEnd(); ++it) {
        const qint64 bytes = QFileInfo(it.value()).size();
        if (!batchSizes.contains(bytes))
            continue;
        if (const QString sum = checksumOf(it.value()); !sum.isEmpty()) {
            known.insert(sum, it.key());
            knownSizes.insert(bytes);
        }
    }
    for (BatchPhoto &photo : photos) {
        photo.knownItem = 0;
        if (!knownSizes.contains(photo.bytes))
            continue;
        if (photo.sha256.isEmpty())
            photo.sha256 = checksumOf(photo.path);
        photo.knownItem = photo.sha256.isEmpty() ? 0 : known.value(photo.sha256, 0);
    }
}
