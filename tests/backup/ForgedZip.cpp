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

namespace {

QByteArray localHeader(const QByteArray &name, quint16 method, quint32 crc, quint32 packed, quint32 size)
{
    QByteArray header;
    put32(header, 0x04034b50);
    put16(header, 20);
    put16(header, Utf8Names);
    put16(header, method);
    put16(header, DosTime);
    put16(header, DosDate);
    put32(header, crc);
    put32(header, packed);
    put32(header, size);
    put16(header, quint16(name.size()));
    put16(header, 0);
    return header + name;
}

void putCentral(QByteArray &directory, const QByteArray &name, quint16 method, quint32 crc, quint32 packed,
                quint32 size, quint32 offset)
{
    put32(directory, 0x02014b50);
    put16(directory, 0x0314);
    put16(directory, 20);
    put16(directory, Utf8Names);
    put16(directory, method);
    put16(directory, DosTime);
    put16(directory, DosDate);
    put32(directory, crc);
    put32(directory, packed);
    put32(directory, size);
    put16(directory, quint16(name.size()));
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put32(directory, quint32(S_IFREG | 0600) << 16);
    put32(directory, offset);
    directory += name;
}

} // namespace

QByteArray forgeOverlappingZip(const QList<QByteArray> &names, const QByteArray &kernel,
                               const QList<ForgedEntry> &others, QList<QByteArray> *unpacked)
{
    const qsizetype count = names.size();
    const QByteArray zlib = qCompress(kernel, 9);
    QByteArray data = zlib.mid(6, zlib.size() - 10);
    QByteArray bytes = kernel;
    QList<QByteArray> headers(count);
    QList<quint32> crcs(count), packed(count), sizes(count);
    QList<QByteArray> contents(count);
    // From the last member to the first: each one's data quotes the header
    // of the one after it.
    for (qsizetype i = count - 1; i >= 0; --i) {
        crcs[i] = zipCrc32(bytes);
        packed[i] = quint32(data.size());
        sizes[i] = quint32(bytes.size());
        contents[i] = bytes;
        headers[i] = localHeader(names[i], 8, crcs[i], packed[i], sizes[i]);
        QByteArray block(1, '\0'); // a stored block, not the last
        put16(block, quint16(headers[i].size()));
        put16(block, quint16(~headers[i].size()));
        data = block + headers[i] + data;
        bytes = headers[i] + bytes;
    }
    // The first member's header, then its data: every later header lies in it.
    QByteArray archive = headers[0] + data.mid(5 + headers[0].size());
    QByteArray directory;
    quint32 offset = 0;
    for (qsizetype i = 0; i < count; ++i) {
        putCentral(directory, names[i], 8, crcs[i], packed[i], sizes[i], offset);
        offset += quint32(headers[i].size()) + 5;
    }
    for (const ForgedEntry &entry : others) {
        putCentral(directory, entry.name, entry.method, entry.crc, quint32(entry.stored.size()), entry.statedSize,
                   quint32(archive.size()));
        archive += localHeader(entry.name, entry.method, entry.crc, quint32(entry.stored.size()), entry.statedSize);
        archive += entry.stored;
    }
    const quint32 directoryOffset = quint32(archive.size());
    archive += directory;
    put32(archive, 0x06054b50);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, quint16(count + others.size()));
    put16(archive, quint16(count + others.size()));
    put32(archive, quint32(directory.size()));
    put32(archive, directoryOffset);
    put16(archive, 0);
    if (unpacked)
        *unpacked = contents;
    return archive;
}
