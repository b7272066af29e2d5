#include "ForgedZip.h"

#include <QtEndian>

namespace {

void put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

constexpr quint16 Utf8Names = 0x0800;
constexpr quint16 DosTime = 0x6000; // 12:00
constexpr quint16 DosDate = 0x5a21; // 2025-01-01

} // namespace

quint32 zipCrc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

ForgedEntry storedEntry(const QByteArray &name, const QByteArray &bytes)
{
    return ForgedEntry{name, bytes, 0, zipCrc32(bytes), quint32(bytes.size())};
}

ForgedEntry deflatedEntry(const QByteArray &name, const QByteArray &bytes)
{
    // qCompress gives a 4-byte length, a 2-byte zlib header, the raw
    // deflate stream and a 4-byte Adler-32: ZIP wants the stream alone.
    const QByteArray zlib = qCompress(bytes, 9);
    return ForgedEntry{name, zlib.mid(6, zlib.size() - 10), 8, zipCrc32(bytes), quint32(bytes.size())};
}

QByteArray forgeZip(const QList<ForgedEntry> &entries)
{
    QByteArray archive;
    QByteArray directory;
    for (const ForgedEntry &entry : entries) {
        const quint32 offset = quint32(archive.size());
        put32(archive, 0x04034b50);
        put16(archive, 20);
        put16(archive, Utf8Names);
        put16(archive, entry.method);
        put16(archive, DosTime);
        put16(archive, DosDate);
        put32(archive, entry.crc);
        put32(archive, quint32(entry.stored.size()));
        put32(archive, entry.statedSize);
        put16(archive, quint16(entry.name.size()));
        put16(archive, 0);
        archive += entry.name;
        archive += entry.stored;

        put32(directory, 0x02014b50);
        put16(directory, 0x0314); // made on UNIX
        put16(directory, 20);
        put16(directory, Utf8Names);
        put16(directory, entry.method);
        put16(directory, DosTime);
        put16(directory, DosDate);
        put32(directory, entry.crc);
        put32(directory, quint32(entry.stored.size()));
        put32(directory, entry.statedSize);
        put16(directory, quint16(entry.name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, entry.attributes);
        put32(directory, offset);
        directory += entry.name;
    }
    const quint32 directoryOffset = quint32(archive.size());
    archive += directory;
    put32(archive, 0x06054b50);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, quint16(entries.size()));
    put16(archive, quint16(entries.size()));
    put32(archive, quint32(directory.size()));
    put32(archive, directoryOffset);
    put16(archive, 0);
    return archive;
}
