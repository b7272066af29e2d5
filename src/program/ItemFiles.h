#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <optional>

class QSaveFile;

// The files that belong to the items of one data folder, kept in its
// images folder. This is the one place that knows how such a file is named
// and found, and the one way it is written and removed: the picture window,
// the record form, the claim, the backup writer and reader, the manifest
// check and setup all ask here.
//
// The naming rule: an item's file is called after the item's key in (at
// least) eight digits, a dot and an extension of its own: "00000042.jpg".
// A name of eight or more digits, a dot and anything after it is an item
// file, of the key those digits give; any other name in the folder is not
// (hidden files, the staging files of a write under way, what the user put
// there). Of several files of one item, the first in name order is its
// picture.
//
// An item's further files (its other photos, its documents) are named after
// the key, a hyphen, the number the inventory gave the file, a dot and an
// extension: "00000042-00000107.pdf". Such a name never takes the picture's
// place, and older programs, which know only the first form, leave it alone.
class ItemFiles {
public:
    // dataFolder: the data folder, with or without its trailing "/".
    explicit ItemFiles(const QString &dataFolder);

    // The images folder, ending with "/".
    const QString &folder() const { return m_folder; }

    // "00000042" for 42; longer keys keep all their digits.
    static QString baseName(qint64 key);
    // The name of the item's file with that extension (no dot): "00000042.jpg".
    static QString fileName(qint64 key, const QString &extension);
    // The key a name (without folder) belongs to under the naming rule;
    // std::nullopt for a name that is no item file.
    static std::optional<qint64> keyOf(QStringView name);
    // "00000042-00000107.pdf" for key 42, file number 107 and "pdf".
    static QString furtherFileName(qint64 key, qint64 number, const QString &extension);
    // The key and number of a further file's name; std::nullopt for any
    // other name.
    struct FurtherName {
        qint64 key;
        qint64 number;
    };
    static std::optional<FurtherName> furtherOf(QStringView name);
    // Whether a name is an item file of either form.
    static bool isItemFile(QStringView name) { return keyOf(name) || furtherOf(name); }

    // The item's picture: the path of its first file in name order, or empty
    // when it has none. Only plain files count.
    QString picture(qint64 key) const;
    // Every item's picture from one listing of the folder, by key.
    QHash<qint64, QString> pictures() const;
    // The names of all item files in the folder, of both forms, in name
    // order: what a backup carries. Links and other things that are not plain files are
    // listed too, so that whoever copies them can say it left them out.
    QStringList names() const;

    // Makes bytes the item's picture file, fileName(key, extension), and
    // then removes the item's other files, which the lookup might otherwise
    // find first. The file is made whole under a hidden name, synced, made
    // its owner's alone and renamed into place in one step, and the folder
    // is synced: a failed write never leaves a partial picture nor loses
    // the old one. Returns the path written. Throws DbError (75, path/file
    // access error) when the file cannot be written, synced or an older one
    // removed.
    QString writePicture(qint64 key, const QByteArray &bytes, const QString &extension) const;

    // Writes bytes as the further file name, made whole, synced and made
    // private as a picture is. Returns the path written. Throws DbError (75).
    QString writeFurther(const QString &name, const QByteArray &bytes) const;
    // Copies the file at source in as the item file name (of either form), in pieces, so
    // a large document never sits in memory whole; *sha256 gets its
    // SHA-256 in lower-case hexadecimal digits. The copy is refused (DbError 75) when the source holds more
    // than maxBytes or cannot be read.
    QString copyIn(const QString &name, const QString &source, qint64 maxBytes, QByteArray *sha256) const;
    // Removes one file of the item's folder by its name; a file already gone
    // is no failure. Throws DbError (75) when it cannot be removed.
    void removeFile(const QString &name) const;
    // Makes a copy of the further file name the item's picture (in the
    // picture's form, with the further file's extension). The picture that
    // was there is kept as the further file formerName when that is given (a
    // new name), else it is gone. Links, not copies, where the file system
    // has them. The further file name itself stays: the caller removes it
    // once the inventory says the swap was made, so at every step each photo
    // is in the folder under a name. Returns the new picture's path. Throws
    // DbError (75).
    QString swapWithPicture(qint64 key, const QString &name, const QString &formerName) const;
    // Removes the item's picture (its files of the first form).
    void removePicture(qint64 key) const;

    // Removes every file of the item, of both forms. Throws DbError (75)
    // when one exists but cannot be removed.
    void removeFiles(qint64 key) const;

private:
    // The item's files of the first form in name order; plain files only.
    QStringList namesOf(qint64 key) const;
    // Makes the file name in the folder from what fill writes into it:
    // staged under a hidden name, synced, private, renamed in, the folder
    // synced. fill returns an empty text, or why it could not write.
    QString writeStaged(const QString &name, const std::function<QString(QSaveFile &)> &fill) const;

    QString m_folder;
};
