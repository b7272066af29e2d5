#include "data/LostHeader.h"

#include "data/SqliteSupport.h"

#include <QFile>
#include <QtEndian>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

const QByteArray Magic("SQLite format 3\0", 16);
constexpr int HeaderSize = 100;

// b-tree page kinds, as the first byte of a page's b-tree header says.
bool isTablePage(uchar kind)
{
    return kind == 0x05 || kind == 0x0d;
}

bool isIndexPage(uchar kind)
{
    return kind == 0x02 || kind == 0x0a;
}

// The text encodings to try, 1 UTF-8, 2 UTF-16le, 3 UTF-16be: UTF-16 first
// when the schema's "CREATE" is spelled in it on the first page (the two
// byte orders look alike there; the schema's text tells them apart).
std::vector<quint32> textEncodingsFor(const QByteArray &firstPage)
{
    if (firstPage.contains(QByteArray("C\0R\0E\0A\0T\0E", 11)))
        return {2, 3, 1};
    return {1, 2, 3};
}

// The page size a write-ahead log beside the file was written with; 0 when
// there is no log with a sound header.
quint32 pageSizeOfLog(const QString &path)
{
    QFile log(path + QStringLiteral("-wal"));
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray header = log.read(32);
    if (header.size() < 32)
        return 0;
    const quint32 magic = qFromBigEndian<quint32>(header.constData());
    if (magic != 0x377f0682 && magic != 0x377f0683)
        return 0;
    return qFromBigEndian<quint32>(header.constData() + 8);
}

QByteArray headerFor(quint32 pageSize, bool wal, quint32 encoding)
{
    QByteArray header(HeaderSize, '\0');
    auto put32 = [&](int at, quint32 value) { qToBigEndian(value, header.data() + at); };
    header.replace(0, 16, Magic);
    qToBigEndian(quint16(pageSize == 65536 ? 1 : pageSize), header.data() + 16);
    header[18] = header[19] = char(wal ? 2 : 1);
    header[21] = 64; // payload fractions, fixed by the file format
    header[22] = 32;
    header[23] = 32;
    put32(24, 1); // change counter
    put32(28, 0); // size in pages: 0, so the file's own size counts
    put32(40, 1); // schema cookie
    put32(44, 4); // schema format
    put32(56, encoding);
    put32(92, 1);
    put32(96, quint32(SQLITE_VERSION_NUMBER));
    return header;
}

bool writeHeader(const QString &path, const QByteArray &header)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.write(header) == header.size() && file.flush();
}

struct SchemaRoot {
    bool table = false;
    qint64 page = 0;
};

// The schema as SQLite reads it with the header in place; nothing when it
// cannot be read.
std::optional<std::vector<SchemaRoot>> readRoots(const QString &path)
{
    int openResult = SQLITE_OK;
    const SqliteConnection db = openSqlite(path, SQLITE_OPEN_READONLY, openResult);
    if (openResult != SQLITE_OK)
        return std::nullopt;
    Statement statement = Statement::tryPrepare(
        db.get(), QStringLiteral("select type, rootpage, sql from sqlite_master where rootpage > 0"));
    if (!statement.isValid())
        return std::nullopt;
    std::vector<SchemaRoot> found;
    bool textReads = true; // in the wrong encoding the statements are gibberish
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const QString sql = statement.rawValue(2).toString();
        textReads = textReads && (statement.isNull(2) || sql.startsWith(QLatin1String("create "), Qt::CaseInsensitive));
        found.push_back({statement.rawValue(0).toString() == QLatin1String("table"), statement.int64Value(1)});
    }
    if (rc != SQLITE_DONE || found.empty() || !textReads)
        return std::nullopt;
    return found;
}

// Every root the schema names is a page of the file and of the right kind.
bool rootsFit(QFile &file, quint32 pageSize, const std::vector<SchemaRoot> &roots)
{
    const qint64 pages = (file.size() + pageSize - 1) / pageSize;
    for (const SchemaRoot &root : roots) {
        if (root.page < 1 || root.page > pages)
            return false;
        if (!file.seek((root.page - 1) * qint64(pageSize) + (root.page == 1 ? HeaderSize : 0)))
            return false;
        char kind = 0;
        if (!file.getChar(&kind))
            return false;
        if (root.table ? !isTablePage(uchar(kind)) : !isIndexPage(uchar(kind)))
            return false;
    }
    return true;
}

} // namespace

bool rebuildLostHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 512)
        return false;
    const QByteArray start = file.read(65536);
    if (start.startsWith(Magic))
        return false;
    // The first page's own b-tree header follows the lost one: a page of the
    // schema table, or there is nothing to go on.
    if (!isTablePage(uchar(start[HeaderSize])))
        return false;
    const QByteArray original = start.left(HeaderSize);
    const std::vector<quint32> encodings = textEncodingsFor(start);
    const quint32 logPageSize = pageSizeOfLog(path);

    // A file cut short need not end on a page boundary; sizes that divide it
    // are tried first. The smallest size that fits is the right one: at a
    // smaller size the first page's rows would lie beyond its end.
    std::vector<quint32> sizes;
    for (int pass = 0; pass < 2; ++pass) {
        for (quint32 size = 512; size <= 65536; size *= 2) {
            if ((file.size() % size == 0) == (pass == 0) && (logPageSize == 0 || logPageSize == size))
                sizes.push_back(size);
        }
    }
    for (const quint32 size : sizes) {
        for (const quint32 encoding : encodings) {
            if (!writeHeader(path, headerFor(size, logPageSize != 0, encoding)))
                break;
            const std::optional<std::vector<SchemaRoot>> roots = readRoots(path);
            if (roots && rootsFit(file, size, *roots))
                return true;
        }
    }
    writeHeader(path, original);
    return false;
}

void fitToWholePages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return;
    QByteArray header = file.read(HeaderSize);
    if (header.size() < HeaderSize || !header.startsWith(Magic))
        return;
    const quint32 sizeField = qFromBigEndian<quint16>(header.constData() + 16);
    const qint64 pageSize = sizeField == 1 ? 65536 : sizeField;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return;
    const qint64 wholePages = file.size() / pageSize;
    if (wholePages < 1)
        return;
    if (file.size() != wholePages * pageSize && !file.resize(wholePages * pageSize))
        return;
    // The count in the header holds only while the change counter and the
    // "valid for" number agree; both are set so that it does.
    qToBigEndian(quint32(wholePages), header.data() + 28);
    header.replace(92, 4, header.mid(24, 4));
    file.seek(0);
    file.write(header);
}
