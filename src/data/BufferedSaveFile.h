#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSaveFile>
#include <QString>
#include <cstring>
#include <optional>

// A file that is written whole or not at all, through a buffer of our own:
// the report files and the item export, its owner's alone (see openWhole).
// The bytes go to a temporary file beside the final place in large pieces,
// and the file takes its name only at commit(), once all of it is on the
// disk, so an existing file is replaced by a complete one or stays as it
// was. Nothing is left behind when it fails or is dropped (QSaveFile removes
// its temporary file unless commit() went through), and a user's file is
// never written over in place, not even in a folder where no temporary file
// can be made.
//
// The writer fills the buffer straight (room and used, so a row costs no
// copies of its own) or with append, and calls writeIfFull at the end of
// each line. After the first failure nothing more is written: every call
// answers false and errorString() keeps the reason of that failure.
class BufferedSaveFile {
public:
    explicit BufferedSaveFile(const QString &path);
    BufferedSaveFile(const BufferedSaveFile &) = delete;
    BufferedSaveFile &operator=(const BufferedSaveFile &) = delete;

    // Makes the temporary file; false when it cannot be made.
    bool open();
    // Open, and neither failed nor cancelled.
    bool writable() const { return m_file.isOpen() && !m_failed; }

    // Room for at least bytes more at the end of the buffer; used counts in
    // what was written there. The pointer holds until the next room().
    char *room(qsizetype bytes)
    {
        if (m_buffer.size() - m_used < bytes)
            grow(bytes);
        return m_buffer.data() + m_used;
    }
    void used(qsizetype bytes) { m_used += bytes; }
    void append(QByteArrayView bytes)
    {
        std::memcpy(room(bytes.size()), bytes.data(), std::size_t(bytes.size()));
        m_used += bytes.size();
    }

    // Writes the buffer to the file once it holds a piece's worth. False
    // when the file is not writable (what was buffered is dropped) or the
    // write failed now.
    bool writeIfFull()
    {
        if (writable() && m_used < PieceBytes)
            return true;
        return writeBuffer();
    }
    // Writes the rest and puts the file in its place; false when anything
    // failed, now or before.
    bool commit();
    // Drops the file: an old file of that name stays as it was.
    void cancel();

    // Why the file failed: the system's words for its first failure.
    QString errorString() const { return m_error; }

private:
    // Written to the file whenever this much has gathered.
    static constexpr qsizetype PieceBytes = 256 * 1024;

    void grow(qsizetype bytes);
    bool writeBuffer();
    bool fail();

    QSaveFile m_file;
    // The bytes not yet written: m_used bytes of m_buffer, whose size is
    // only its room (no resizing per piece, which cost more than the copy).
    QByteArray m_buffer;
    qsizetype m_used = 0;
    bool m_failed = false;
    QString m_error;
};

// Opens a QSaveFile for writing whole: into a temporary file beside the
// final place, never the user's file in place, readable and writable by its
// owner alone (0600) from its first byte, whatever the umask and whatever the
// mode of a file it replaces. Everything the programs write lists the
// household's valuables, their serial numbers and where they are kept, or
// lives in a data folder that is private to its owner. A disk that keeps no
// modes (a FAT memory stick) is written all the same. False when the file
// could not be made (errorString() says why).
bool openWhole(QSaveFile &file, QIODevice::OpenMode mode = QIODevice::WriteOnly);

// For a QSaveFile written straight, not through BufferedSaveFile: commits it
// only once everything written to it is on the disk. QSaveFile::commit (Qt
// 6.4) writes out what Qt still holds for it without looking whether that
// worked, and lets a failed sync pass, so a disk filling up with the last
// few kilobytes put a cut file in place of the old one and said it was
// done. Std::nullopt when the file took its name; else why not, and the
// file is dropped: the old one stays as it was.
std::optional<QString> commitWhole(QSaveFile &file);
