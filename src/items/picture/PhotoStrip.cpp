#include "items/picture/PhotoStrip.h"

#include "items/PictureFiles.h"
#include "widgets/DroppedFiles.h"

#include <QDateTime>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QUrl>
#include <algorithm>

namespace {

// A thumbnail in the middle of a square, so the row stays even whatever
// the photos' shapes.
QIcon squareIcon(const QImage &thumbnail, int side, qreal ratio)
{
    QPixmap square(QSize(side, side) * ratio);
    square.setDevicePixelRatio(ratio);
    square.fill(Qt::transparent);
    if (!thumbnail.isNull()) {
        QPainter painter(&square);
        const QSizeF shown = QSizeF(thumbnail.size()) / ratio;
        painter.drawImage(QRectF(QPointF((side - shown.width()) / 2, (side - shown.height()) / 2), shown), thumbnail);
    }
    return QIcon(square);
}

} // namespace

PhotoStrip::PhotoStrip(QWidget *parent) : QListWidget(parent)
{
    setAccessibleName(QStringLiteral("Photos of the item"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Snap);
    setResizeMode(QListView::Adjust);
    setIconSize(QSize(ThumbnailSide, ThumbnailSide));
    setSpacing(4);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // Reading a few photos at once keeps both cores busy without holding
    // many decoded photos in memory.
    m_readers.setMaxThreadCount(2);
}

PhotoStrip::~PhotoStrip()
{
    // No read may deliver to a strip that is gone.
    m_readers.clear();
    m_readers.waitForDone();
}

QString PhotoStrip::thumbnailKey(const QString &path)
{
    const QFileInfo info(path);
    return path + u'|' + QString::number(info.size()) + u'|' + QString::number(info.lastModified().toMSecsSinceEpoch());
}

void PhotoStrip::setPhotos(const QList<Photo> &photos, int current)
{
    ++m_generation;
    m_readers.clear();
    m_unread.clear();
    m_photos = photos;
    clear();
    const qreal ratio = devicePixelRatioF();
    const int count = int(photos.size());
    for (int i = 0; i < count; ++i) {
        auto *item = new QListWidgetItem(this);
        const QString name = i == 0 ? QStringLiteral("Picture, photo 1 of %1").arg(count)
                                    : QStringLiteral("Photo %1 of %2").arg(i + 1).arg(count);
        item->setData(Qt::AccessibleTextRole, name);
        item->setToolTip(name);
        const QString key = thumbnailKey(photos[i].path);
        if (m_thumbnails.contains(key)) {
            item->setIcon(squareIcon(m_thumbnails.value(key), ThumbnailSide, ratio));
            continue;
        }
        item->setIcon(squareIcon(QImage(), ThumbnailSide, ratio));
        m_unread << std::pair(key, photos[i].path);
    }
    if (count > 0)
        setCurrentRow(std::clamp(current, 0, count - 1));
    // The reading starts once the move to the item is done: until then the
    // chosen photo, read large on this thread, has both cores.
    if (!m_unread.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, generation = m_generation] { readThumbnails(generation); }, Qt::QueuedConnection);
}

void PhotoStrip::readThumbnails(quint64 generation)
{
    if (generation != m_generation)
        return;
    const int side = qRound(ThumbnailSide * devicePixelRatioF());
    QPointer<PhotoStrip> strip(this);
    for (const auto &unread : std::as_const(m_unread)) {
        const QString key = unread.first, path = unread.second;
        m_readers.start([strip, generation, key, path, side] {
            const QImage thumbnail = readPictureFileScaled(path, QSize(side, side));
            QMetaObject::invokeMethod(
                strip.data(),
                [strip, generation, key, thumbnail] {
                    if (strip)
                        strip->thumbnailRead(generation, key, thumbnail);
                },
                Qt::QueuedConnection);
        });
    }
    m_unread.clear();
}

int PhotoStrip::thumbnailsPending() const
{
    return int(std::count_if(m_photos.cbegin(), m_photos.cend(),
                             [this](const Photo &photo) { return !m_thumbnails.contains(thumbnailKey(photo.path)); }));
}

void PhotoStrip::thumbnailRead(quint64 generation, const QString &key, const QImage &thumbnail)
{
    // A photo that cannot be read keeps its empty square: the strip still
    // shows that the item has it, and the large view says why.
    m_thumbnails.insert(key, thumbnail);
    if (generation != m_generation)
        return;
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < m_photos.size(); ++i) {
        if (thumbnailKey(m_photos[i].path) == key)
            item(i)->setIcon(squareIcon(thumbnail, ThumbnailSide, ratio));
    }
}

void PhotoStrip::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Delete)) {
        event->accept();
        emit removeAsked();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        emit pasteAsked();
        return;
    }
    const int row = currentRow();
    if (event->modifiers() == Qt::ControlModifier && row >= 0
        && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        const int to = event->key() == Qt::Key_Left ? row - 1 : row + 1;
        if (to >= 0 && to < count())
            emit photoMoved(row, to);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void PhotoStrip::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() != this && !droppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QListWidget::dragEnterEvent(event);
}

void PhotoStrip::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() != this && !droppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QListWidget::dragMoveEvent(event);
}

void PhotoStrip::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        const QStringList paths = droppedFiles(event->mimeData());
        if (!paths.isEmpty()) {
            event->acceptProposedAction();
            emit filesDropped(paths);
        }
        return;
    }
    // A photo dragged along the strip: where it lands is asked of the
    // owner, which stores the order and shows the strip again.
    const int from = currentRow();
    const QModelIndex target = indexAt(event->position().toPoint());
    const int to = target.isValid() ? target.row() : count() - 1;
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (from >= 0 && to != from)
        emit photoMoved(from, to);
}
