#pragma once

#include <QByteArray>
#include <QList>
#include <sys/stat.h>

// ZIP archives written byte by byte, so a test can state sizes, checksums,
// names and attributes that no honest writer would.
struct ForgedEntry {
    QByteArray name;
    QByteArray stored;      // the bytes as they lie in the archive
    quint16 method = 0;     // 0 stored, 8 deflated
    quint32 crc = 0;        // of the unpacked bytes
    quint32 statedSize = 0; // the unpacked size the headers give
    quint32 attributes = quint32(S_IFREG | 0600) << 16;
};

quint32 zipCrc32(const QByteArray &bytes);
// An honest entry for bytes, stored or deflated.
ForgedEntry storedEntry(const QByteArray &name, const QByteArray &bytes);
ForgedEntry deflatedEntry(const QByteArray &name, const QByteArray &bytes);
// Local headers, data, central directory and its end record, made on UNIX.
QByteArray forgeZip(const QList<ForgedEntry> &entries);

// Members that all end in one deflated stream, as in an overlapping ZIP
// bomb: the data of each begins with a stored block that quotes the next
// one's local header, and goes on into that one's data, down to the last,
// whose data is kernel deflated. Every size and checksum is true. unpacked
// gets each member's bytes; others follow as ordinary stored members.
QByteArray forgeOverlappingZip(const QList<QByteArray> &names, const QByteArray &kernel,
                               const QList<ForgedEntry> &others, QList<QByteArray> *unpacked = nullptr);
