#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

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

    // The item's picture: the path of its first file in name order, or empty
    // when it has none. Only plain files count.
    QString picture(qint64 key) const;
    // Every item's picture from one listing of the folder, by key.
    QHash<qint64, QString> pictures() const;
    // The names of all item files in the folder, in name order: what a
    // backup carries. Links and other things that are not plain files are
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

    // Removes every file of the item. Throws DbError (75) when one exists
    // but cannot be removed.
    void removeFiles(qint64 key) const;

private:
    // The item's files in name order; plain files only.
    QStringList namesOf(qint64 key) const;

    QString m_folder;
};
