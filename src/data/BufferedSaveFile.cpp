#include "data/BufferedSaveFile.h"

#include "data/SyncToDisk.h"

#include <algorithm>
#include <sys/stat.h>

BufferedSaveFile::BufferedSaveFile(const QString &path) : m_file(path)
{
}

bool openWhole(QSaveFile &file, QIODevice::OpenMode mode)
{
    // Without a temporary file beside it, QSaveFile could write the user's
    // file in place, and a failure would leave half of it.
    file.setDirectWriteFallback(false);
    if (!file.open(mode))
        return false;
    // QSaveFile gives a new file the umask's mode and a replacing one the
    // old file's. A file system without modes refuses the change; its files
    // are as private as it was mounted, and the user still gets the file.
    ::fchmod(file.handle(), S_IRUSR | S_IWUSR);
    return true;
}

bool BufferedSaveFile::open()
{
    // The buffer is ours alone: Qt's own under it would only copy the
    // pieces once more (and see commitWhole).
    if (!openWhole(m_file, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    m_buffer.resize(std::max(m_buffer.size(), 2 * PieceBytes));
    return true;
}

void BufferedSaveFile::grow(qsizetype bytes)
{
    m_buffer.resize(std::max(2 * m_buffer.size(), m_used + bytes));
}

bool BufferedSaveFile::fail()
{
    // The first failure's reason is kept, taken before cancelling puts its
    // own words in its place (a failed sync has given its reason already).
    if (!m_failed && m_error.isEmpty())
        m_error = m_file.errorString();
    m_failed = true;
    m_used = 0;
    m_file.cancelWriting();
    return false;
}

bool BufferedSaveFile::writeBuffer()
{
    if (!writable()) {
        m_used = 0;
        return false;
    }
    // A write cut short is not yet the failure: the system says why only
    // when the rest is written (a full disk takes what fits, then refuses),
    // and without that the reason would read "Unknown error".
    for (qsizetype done = 0; done < m_used;) {
        const qint64 written = m_file.write(m_buffer.constData() + done, m_used - done);
        if (written <= 0)
            return fail();
        done += written;
    }
    m_used = 0;
    return true;
}

bool BufferedSaveFile::commit()
{
    if (!writeBuffer())
        return false;
    if (const std::optional<QString> failure = commitWhole(m_file)) {
        m_error = *failure;
        return fail();
    }
    m_buffer.clear();
    return true;
}

void BufferedSaveFile::cancel()
{
    m_failed = true;
    m_used = 0;
    m_buffer.clear();
    m_file.cancelWriting();
}

std::optional<QString> commitWhole(QSaveFile &file)
{
    const auto drop = [&file](const QString &reason) {
        file.cancelWriting();
        return std::optional<QString>(reason);
    };
    // A write cut short by a full disk leaves the reason unknown; writing
    // the rest makes the system give it (and may even get it all out).
    if (!file.flush() && !file.flush())
        return drop(file.errorString());
    if (std::optional<QString> failure = syncToDisk(file.handle()))
        return drop(*failure);
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}
