#include "items/ItemAttachments.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "data/Sha256.h"
#include "items/PictureFiles.h"
#include "program/Household.h"
#include "program/ItemFiles.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

namespace {

struct KindText {
    AttachedKind kind;
    const char *stored; // in the table: never translated, never renamed
    const char *shown;
};
constexpr KindText Kinds[] = {
    {AttachedKind::Photo, "photo", "Photo"},    {AttachedKind::Receipt, "receipt", "Receipt"},
    {AttachedKind::Manual, "manual", "Manual"}, {AttachedKind::Warranty, "warranty", "Warranty"},
    {AttachedKind::Other, "other", "Other"},
};

QString storedKind(AttachedKind kind)
{
    for (const KindText &k : Kinds) {
        if (k.kind == kind)
            return QLatin1String(k.stored);
    }
    return QStringLiteral("other");
}

// A kind written by a later version that this one does not know is shown
// as Other, never refused: the file is still the item's.
AttachedKind kindOf(const QString &stored)
{
    for (const KindText &k : Kinds) {
        if (stored == QLatin1String(k.stored))
            return k.kind;
    }
    return AttachedKind::Other;
}

const QString Columns =
    QStringLiteral("select fileid, iteid, kind, filename, title, note, bytes, sha256 from itemfiles ");
// Photos first, in their order; documents in the order they came.
const QString ItemOrder = QStringLiteral(" order by kind <> 'photo', position, fileid");

AttachedFile fromRow(const Recordset &rs)
{
    AttachedFile file;
    file.fileid = rs.value(0).toLongLong();
    file.iteid = rs.value(1).toLongLong();
    file.kind = kindOf(rs.value(2).toString());
    file.fileName = rs.value(3).toString();
    file.title = rs.value(4).toString();
    file.note = rs.value(5).toString();
    file.bytes = rs.value(6).toLongLong();
    file.sha256 = rs.value(7).toString();
    return file;
}

// The extension a copied file keeps: its own when it is a plain one
// (letters and digits, up to eight), lower case; else "bin", so that the
// name still follows the rule.
QString plainExtension(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool plain = !suffix.isEmpty() && suffix.size() <= 8
        && std::all_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
    return plain ? suffix : QStringLiteral("bin");
}

// Lower-case hexadecimal digits.
QByteArray fileSha256(const QString &path)
{
    QFile file(path);
    const auto unread = [&] {
        return DbError::pathFileAccess(
            QStringLiteral("The file '%1' could not be read (%2).").arg(path, file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        throw unread();
    Sha256 hash;
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (qint64 got = 0; (got = file.read(piece.data(), piece.size())) != 0;) {
        if (got < 0)
            throw unread();
        hash.addData(QByteArrayView(piece.constData(), got));
    }
    return hash.hexResult();
}

} // namespace

QString attachedKindName(AttachedKind kind)
{
    for (const KindText &k : Kinds) {
        if (k.kind == kind)
            return QLatin1String(k.shown);
    }
    return QStringLiteral("Other");
}

ItemAttachments::ItemAttachments(Household &household) : m_household(household)
{
}

bool ItemAttachments::hasTable() const
{
    return m_household.inventory()
               .scalar(QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = 'itemfiles'"))
               .toInt()
        > 0;
}

void ItemAttachments::makeTable()
{
    // Plain SQLite types and nothing of ours in the schema: any SQLite tool
    // can still read and write the file.
    m_household.inventory().execute(QStringLiteral("CREATE TABLE IF NOT EXISTS itemfiles ("
                                                   " fileid INTEGER PRIMARY KEY AUTOINCREMENT,"
                                                   " iteid INTEGER NOT NULL,"
                                                   " kind TEXT NOT NULL,"
                                                   " position INTEGER NOT NULL,"
                                                   " filename TEXT NOT NULL,"
                                                   " title TEXT,"
                                                   " note TEXT,"
                                                   " bytes INTEGER,"
                                                   " sha256 TEXT);"
                                                   "CREATE INDEX IF NOT EXISTS itemfiles_iteid ON itemfiles (iteid);"));
}

QList<AttachedFile> ItemAttachments::of(qint64 iteid) const
{
    QList<AttachedFile> files;
    if (!hasTable())
        return files;
    const std::unique_ptr<Recordset> rs = m_household.inventory().openRecordset(
        Columns + QStringLiteral("where iteid = ?") + ItemOrder, RecordsetType::Snapshot, {iteid});
    for (; !rs->eof(); rs->moveNext())
        files << fromRow(*rs);
    return files;
}

QHash<qint64, QList<AttachedFile>> ItemAttachments::all() const
{
    QHash<qint64, QList<AttachedFile>> files;
    if (!hasTable())
        return files;
    const std::unique_ptr<Recordset> rs = m_household.inventory().openRecordset(
        Columns + QStringLiteral("order by iteid, kind <> 'photo', position, fileid"), RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext()) {
        AttachedFile file = fromRow(*rs);
        files[file.iteid].append(std::move(file));
    }
    return files;
}

std::optional<AttachedFile> ItemAttachments::row(qint64 fileid) const
{
    if (!hasTable())
        return std::nullopt;
    const std::unique_ptr<Recordset> rs = m_household.inventory().openRecordset(
        Columns + QStringLiteral("where fileid = ?"), RecordsetType::Snapshot, {fileid});
    if (rs->eof())
        return std::nullopt;
    return fromRow(*rs);
}

QStringList ItemAttachments::photoPaths(qint64 iteid) const
{
    QStringList paths;
    const ItemFiles &files = m_household.itemFiles();
    if (const QString picture = files.picture(iteid); !picture.isEmpty())
        paths << picture;
    for (const AttachedFile &file : of(iteid)) {
        if (file.isPhoto())
            paths << files.folder() + file.fileName;
    }
    return paths;
}

QHash<qint64, ItemAttachments::Counts> ItemAttachments::counts() const
{
    QHash<qint64, Counts> counts;
    if (!hasTable())
        return counts;
    const std::unique_ptr<Recordset> rs = m_household.inventory().openRecordset(
        QStringLiteral("select iteid, sum(kind = 'photo'), sum(kind <> 'photo') from itemfiles group by iteid"),
        RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext())
        counts.insert(rs->value(0).toLongLong(), Counts{rs->value(1).toInt(), rs->value(2).toInt()});
    return counts;
}

QList<ItemAttachments::RecordedPhoto> ItemAttachments::recordedPhotos() const
{
    QList<RecordedPhoto> photos;
    if (!hasTable())
        return photos;
    const std::unique_ptr<Recordset> rs = m_household.inventory().openRecordset(
        QStringLiteral("select iteid, bytes, sha256 from itemfiles where kind = 'photo' and sha256 is not null"),
        RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext())
        photos.append({rs->value(0).toLongLong(), rs->value(1).toLongLong(), rs->value(2).toString()});
    return photos;
}

AttachedFile ItemAttachments::record(qint64 iteid, AttachedKind kind, const QString &title, const QString &note,
                                     const QString &extension,
                                     const std::function<QString(const QString &, QByteArray *)> &write)
{
    Database &db = m_household.inventory();
    makeTable();
    Transaction transaction(db);
    const bool photo = kind == AttachedKind::Photo;
    const qint64 position =
        db.scalar(QStringLiteral("select coalesce(max(position), 0) + 1 from itemfiles where iteid = ? and (kind = "
                                 "'photo') = ?"),
                  {iteid, photo})
            .toLongLong();
    db.execute(QStringLiteral("insert into itemfiles (iteid, kind, position, filename, title, note) "
                              "values (?, ?, ?, '', ?, ?)"),
               {iteid, storedKind(kind), position, title, note});
    AttachedFile file;
    file.fileid = sqlite3_last_insert_rowid(db.handle());
    file.iteid = iteid;
    file.kind = kind;
    file.fileName = ItemFiles::furtherFileName(iteid, file.fileid, extension);
    file.title = title;
    file.note = note;
    QByteArray sha256;
    const QString path = write(file.fileName, &sha256);
    file.bytes = QFileInfo(path).size();
    file.sha256 = QString::fromLatin1(sha256);
    try {
        db.execute(QStringLiteral("update itemfiles set filename = ?, bytes = ?, sha256 = ? where fileid = ?"),
                   {file.fileName, file.bytes, file.sha256, file.fileid});
        transaction.commit();
    } catch (const DbError &) {
        // No row will name the file: it goes too, and the error goes on to the handler.
        QFile::remove(path);
        throw;
    }
    return file;
}

AttachedFile ItemAttachments::attach(qint64 iteid, AttachedKind kind, const QString &source, const QString &note)
{
    const ItemFiles &files = m_household.itemFiles();
    const QString title = QFileInfo(source).fileName();
    if (kind == AttachedKind::Photo && files.picture(iteid).isEmpty()) {
        AttachedFile picture;
        picture.iteid = iteid;
        picture.kind = kind;
        picture.title = title;
        picture.fileName = ItemFiles::fileName(iteid, plainExtension(source));
        QByteArray sha256;
        picture.bytes = QFileInfo(files.copyIn(picture.fileName, source, MaxAttachedFileBytes, &sha256)).size();
        picture.sha256 = QString::fromLatin1(sha256);
        return picture;
    }
    return record(iteid, kind, title, note, plainExtension(source), [&](const QString &name, QByteArray *sha256) {
        return files.copyIn(name, source, MaxAttachedFileBytes, sha256);
    });
}

AttachedFile ItemAttachments::attachPhoto(qint64 iteid, const PictureFile &photo)
{
    const ItemFiles &files = m_household.itemFiles();
    if (files.picture(iteid).isEmpty()) {
        AttachedFile picture;
        picture.iteid = iteid;
        picture.kind = AttachedKind::Photo;
        picture.fileName = QFileInfo(files.writePicture(iteid, photo.bytes, photo.extension)).fileName();
        picture.bytes = photo.bytes.size();
        picture.sha256 = QString::fromLatin1(Sha256::hexOf(photo.bytes));
        return picture;
    }
    return record(iteid, AttachedKind::Photo, QString(), QString(), photo.extension,
                  [&](const QString &name, QByteArray *sha256) {
                      *sha256 = Sha256::hexOf(photo.bytes);
                      return files.writeFurther(name, photo.bytes);
                  });
}

void ItemAttachments::remove(qint64 fileid)
{
    const std::optional<AttachedFile> file = row(fileid);
    if (!file)
        return;
    m_household.inventory().execute(QStringLiteral("delete from itemfiles where fileid = ?"), {fileid});
    m_household.itemFiles().removeFile(file->fileName);
}

void ItemAttachments::removePicture(qint64 iteid)
{
    const ItemFiles &files = m_household.itemFiles();
    for (const AttachedFile &file : of(iteid)) {
        if (!file.isPhoto())
            continue;
        // The next photo takes the picture's place; nothing is kept of the old one.
        files.swapWithPicture(iteid, file.fileName, QString());
        m_household.inventory().execute(QStringLiteral("delete from itemfiles where fileid = ?"), {file.fileid});
        files.removeFile(file.fileName);
        return;
    }
    files.removePicture(iteid);
}

void ItemAttachments::renumberPhotos(qint64 iteid, const QList<qint64> &order)
{
    Database &db = m_household.inventory();
    Transaction transaction(db);
    for (qsizetype i = 0; i < order.size(); ++i)
        db.execute(QStringLiteral("update itemfiles set position = ? where fileid = ? and iteid = ?"),
                   {qint64(i + 1), order[i], iteid});
    transaction.commit();
}

void ItemAttachments::movePhoto(qint64 fileid, int index)
{
    const std::optional<AttachedFile> moved = row(fileid);
    if (!moved || !moved->isPhoto())
        return;
    QList<qint64> order;
    for (const AttachedFile &file : of(moved->iteid)) {
        if (file.isPhoto() && file.fileid != fileid)
            order << file.fileid;
    }
    order.insert(std::clamp<qsizetype>(index, 0, order.size()), fileid);
    renumberPhotos(moved->iteid, order);
}

void ItemAttachments::makeFirst(qint64 fileid)
{
    const std::optional<AttachedFile> chosen = row(fileid);
    if (!chosen || !chosen->isPhoto())
        return;
    const ItemFiles &files = m_household.itemFiles();
    const QString former = files.picture(chosen->iteid);
    if (former.isEmpty()) {
        files.swapWithPicture(chosen->iteid, chosen->fileName, QString());
        m_household.inventory().execute(QStringLiteral("delete from itemfiles where fileid = ?"), {fileid});
        files.removeFile(chosen->fileName);
        return;
    }
    // The picture that was first becomes the first further photo: a row of
    // its own, its file linked under that row's name before the chosen
    // photo takes the picture's place.
    Database &db = m_household.inventory();
    const QByteArray formerSha256 = fileSha256(former);
    QList<qint64> order;
    {
        Transaction transaction(db);
        db.execute(QStringLiteral("insert into itemfiles (iteid, kind, position, filename, title, note) "
                                  "values (?, 'photo', 0, '', ?, ?)"),
                   {chosen->iteid, QString(), QString()});
        const qint64 demoted = sqlite3_last_insert_rowid(db.handle());
        const QString demotedName = ItemFiles::furtherFileName(chosen->iteid, demoted, QFileInfo(former).suffix());
        files.swapWithPicture(chosen->iteid, chosen->fileName, demotedName);
        db.execute(
            QStringLiteral("update itemfiles set filename = ?, bytes = ?, sha256 = ? where fileid = ?"),
            {demotedName, QFileInfo(files.folder() + demotedName).size(), QString::fromLatin1(formerSha256), demoted});
        db.execute(QStringLiteral("delete from itemfiles where fileid = ?"), {fileid});
        transaction.commit();
        order << demoted;
    }
    files.removeFile(chosen->fileName);
    for (const AttachedFile &file : of(chosen->iteid)) {
        if (file.isPhoto() && file.fileid != order.front())
            order << file.fileid;
    }
    renumberPhotos(chosen->iteid, order);
}

void ItemAttachments::describe(qint64 fileid, AttachedKind kind, const QString &note)
{
    const std::optional<AttachedFile> file = row(fileid);
    if (!file)
        return;
    Database &db = m_household.inventory();
    Transaction transaction(db);
    if (file->isPhoto() != (kind == AttachedKind::Photo)) {
        // Into the other list, at its end.
        db.execute(QStringLiteral("update itemfiles set position = (select coalesce(max(position), 0) + 1 from "
                                  "itemfiles where iteid = ? and (kind = 'photo') = ?) where fileid = ?"),
                   {file->iteid, kind == AttachedKind::Photo, fileid});
    }
    db.execute(QStringLiteral("update itemfiles set kind = ?, note = ? where fileid = ?"),
               {storedKind(kind), note, fileid});
    transaction.commit();
}

void ItemAttachments::removeAll(qint64 iteid)
{
    if (hasTable())
        m_household.inventory().execute(QStringLiteral("delete from itemfiles where iteid = ?"), {iteid});
    m_household.itemFiles().removeFiles(iteid);
}
