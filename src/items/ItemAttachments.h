#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <optional>

class Database;
class Household;
struct PictureFile;

// What a further file of an item is: one more photo of it, or a document
// that proves something about it.
enum class AttachedKind { Photo, Receipt, Manual, Warranty, Other };

// "Photo", "Receipt", "Manual", "Warranty", "Other": as the windows and the
// claim name the kind.
QString attachedKindName(AttachedKind kind);

// One further file of an item, as the inventory records it.
struct AttachedFile {
    qint64 fileid = 0;
    qint64 iteid = 0;
    AttachedKind kind = AttachedKind::Other;
    QString fileName; // in the images folder
    QString title;    // the name the file had when it was attached
    QString note;
    qint64 bytes = 0;
    QString sha256; // lower-case hex
    bool isPhoto() const { return kind == AttachedKind::Photo; }
};

// The most a file attached to an item may hold: a scanned manual or a
// video of a room is welcome, a disk image is not.
inline constexpr qint64 MaxAttachedFileBytes = qint64(200) * 1024 * 1024;

// The photos and documents of the items of one household. The item's first
// photo is its picture, the file of the first form that ItemFiles names and
// finds, as it always was; every further file is a file of the second form
// with a row of the inventory's table "itemfiles", which keeps its kind,
// order, note, size and checksum. An inventory that never had a further
// file has no such table: it is made when the first file is attached, so
// an older data folder opens, and stays, as it was.
//
// Files are written before the rows that name them and removed after: a
// failure or a crash half-way leaves a file nobody lists, never a row
// without its file. Every step throws DbError, for the household's handler.
class ItemAttachments {
public:
    explicit ItemAttachments(Household &household);

    // The item's further files: its photos in their order, then its
    // documents in the order they were attached.
    QList<AttachedFile> of(qint64 iteid) const;
    // Every item's further files by its key, each item's in the order of()
    // gives, from one reading of the table.
    QHash<qint64, QList<AttachedFile>> all() const;
    // Every photo of the item as paths: its picture first, then its further
    // photos in order.
    QStringList photoPaths(qint64 iteid) const;
    // For every item that has further files: how many further photos (its
    // picture not counted: ItemFiles::pictures() has those) and documents.
    struct Counts {
        int furtherPhotos = 0;
        int documents = 0;
    };
    QHash<qint64, Counts> counts() const;
    // Every further photo's item, size and SHA-256 (lower-case hex).
    struct RecordedPhoto {
        qint64 iteid = 0;
        qint64 bytes = 0;
        QString sha256;
    };
    QList<RecordedPhoto> recordedPhotos() const;

    // Copies the file at source to the item. A photo of an item without a
    // picture becomes its picture; any other goes after the item's photos or
    // documents. Refused (DbError 75) above MaxAttachedFileBytes. Returns
    // what was recorded; for a photo that became the picture, a row with
    // fileid 0 and the picture's name.
    AttachedFile attach(qint64 iteid, AttachedKind kind, const QString &source, const QString &note = QString());
    // The same for a photo that has no file (a pasted one).
    AttachedFile attachPhoto(qint64 iteid, const PictureFile &photo);

    // Removes a further file.
    void remove(qint64 fileid);
    // Removes the item's picture; its next photo, if any, takes its place.
    void removePicture(qint64 iteid);
    // Puts the further photo fileid at index among the item's further photos.
    void movePhoto(qint64 fileid, int index);
    // Makes the further photo fileid the item's picture; the picture becomes
    // its first further photo.
    void makeFirst(qint64 fileid);
    // Changes a file's kind and note.
    void describe(qint64 fileid, AttachedKind kind, const QString &note);
    // Removes every file of the item, its picture too, and their rows: the
    // item is being deleted.
    void removeAll(qint64 iteid);

private:
    bool hasTable() const;
    void makeTable();
    std::optional<AttachedFile> row(qint64 fileid) const;
    // Adds a row and its file; write makes the file of the name it is given.
    AttachedFile record(qint64 iteid, AttachedKind kind, const QString &title, const QString &note,
                        const QString &extension,
                        const std::function<QString(const QString &name, QByteArray *sha256)> &write);
    // Numbers the item's further photos 1, 2, ... in the order given.
    void renumberPhotos(qint64 iteid, const QList<qint64> &order);

    Household &m_household;
};
