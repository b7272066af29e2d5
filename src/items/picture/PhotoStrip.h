#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QListWidget>
#include <QString>
#include <QThreadPool>
#include <utility>

// The photos of an item as a row of thumbnails, its picture first. The
// thumbnails are read at the size they are shown on other threads, and kept
// for the run, so moving back to an item shows its strip at once. Files
// dropped on it from a file manager, a photo dragged along it or moved with
// Ctrl+Left and Ctrl+Right, Delete and Paste are handed to its owner as
// signals: the strip shows what its owner stored, never an order of its own.
class PhotoStrip : public QListWidget {
    Q_OBJECT
public:
    struct Photo {
        QString path;
        qint64 fileid = 0; // 0 for the item's picture
    };

    explicit PhotoStrip(QWidget *parent = nullptr);
    ~PhotoStrip() override;

    // Shows these photos; the current one is the one at current, if any.
    void setPhotos(const QList<Photo> &photos, int current = 0);
    const QList<Photo> &photos() const { return m_photos; }
    // The index of the photo chosen in the strip; -1 for none.
    int currentPhoto() const { return currentRow(); }
    // How many of the shown photos still wait for their thumbnail.
    int thumbnailsPending() const;

    // The side of the square a thumbnail is drawn in, in pixels.
    static constexpr int ThumbnailSide = 72;

signals:
    void photoMoved(int from, int to);
    void filesDropped(const QStringList &paths);
    // Delete and Paste pressed in the strip.
    void removeAsked();
    void pasteAsked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The thumbnail of a file as it is now (its size and time are in the
    // key, so a changed file is read again).
    static QString thumbnailKey(const QString &path);
    void thumbnailRead(quint64 generation, const QString &key, const QImage &thumbnail);
    // Starts reading the thumbnails not yet read of the photos shown, unless
    // other photos are shown by now.
    void readThumbnails(quint64 generation);

    QList<Photo> m_photos;
    // Raised on every setPhotos: a thumbnail read for photos no longer shown is dropped.
    quint64 m_generation = 0;
    QHash<QString, QImage> m_thumbnails;
    // The thumbnails to read, by key and path, once the strip is shown.
    QList<std::pair<QString, QString>> m_unread;
    QThreadPool m_readers;
};
