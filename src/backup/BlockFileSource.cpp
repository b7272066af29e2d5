#include "backup/BlockFileSource.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace {

class BlockFile {
public:
    explicit BlockFile(const QString &path) : m_path(QFile::encodeName(path)) { zip_error_init(&m_error); }
    ~BlockFile()
    {
        if (m_handle >= 0) {
            ::close(m_handle);
            ::unlink(m_path.constData());
        }
        zip_error_fini(&m_error);
    }

    zip_int64_t handle(void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_STAT:
            // No archive yet: what libzip takes for a file that is not there.
            zip_error_set(&m_error, ZIP_ER_READ, ENOENT);
            return -1;
        case ZIP_SOURCE_BEGIN_WRITE:
            m_handle = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (m_handle < 0)
                return fail(ZIP_ER_OPEN);
            m_buffer.resize(BlockBytes);
            m_used = m_position = m_end = 0;
            m_bufferStart = 0;
            return 0;
        case ZIP_SOURCE_WRITE:
            return write(static_cast<const char *>(data), qint64(length));
        case ZIP_SOURCE_SEEK_WRITE: {
            if (!flush())
                return -1;
            const zip_int64_t target =
                zip_source_seek_compute_offset(zip_uint64_t(m_position), zip_uint64_t(m_end), data, length, &m_error);
            if (target < 0)
                return -1;
            m_position = target;
            return 0;
        }
        case ZIP_SOURCE_TELL_WRITE:
            return m_position;
        case ZIP_SOURCE_COMMIT_WRITE: {
            if (!flush())
                return -1;
            const int closed = ::close(m_handle);
            m_handle = -1;
            if (closed != 0) {
                ::unlink(m_path.constData());
                return fail(ZIP_ER_WRITE);
            }
            return 0;
        }
        case ZIP_SOURCE_ROLLBACK_WRITE:
        case ZIP_SOURCE_REMOVE:
            if (m_handle >= 0) {
                ::close(m_handle);
                m_handle = -1;
            }
            ::unlink(m_path.constData());
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&m_error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                                  ZIP_SOURCE_SUPPORTS, ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE,
                                                  ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE,
                                                  ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, -1);
        default:
            // A new archive is never read back through its own source.
            zip_error_set(&m_error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *file = static_cast<BlockFile *>(state);
        // Nothing may be thrown through libzip's C code.
        try {
            return file->handle(data, length, command);
        } catch (const std::bad_alloc &) {
            zip_error_set(&file->m_error, ZIP_ER_MEMORY, 0);
            return -1;
        }
    }

private:
    static constexpr qint64 BlockBytes = 4 * 1024 * 1024;

    zip_int64_t fail(int code)
    {
        zip_error_set(&m_error, code, errno);
        return -1;
    }

    zip_int64_t write(const char *data, qint64 length)
    {
        if (m_used == 0)
            m_bufferStart = m_position;
        qint64 left = length;
        while (left > 0) {
            const qint64 piece = std::min(left, BlockBytes - m_used);
            std::memcpy(m_buffer.data() + m_used, data, size_t(piece));
            m_used += piece;
            data += piece;
            left -= piece;
            // flush() moves the buffer's start on past what it wrote.
            if (m_used == BlockBytes && !flush())
                return -1;
        }
        m_position += length;
        m_end = std::max(m_end, m_position);
        return length;
    }

    bool flush()
    {
        const char *data = m_buffer.constData();
        qint64 offset = m_bufferStart;
        qint64 left = m_used;
        while (left > 0) {
            const ssize_t written = ::pwrite(m_handle, data, size_t(left), off_t(offset));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                fail(ZIP_ER_WRITE);
                return false;
            }
            data += written;
            offset += written;
            left -= written;
        }
        m_bufferStart += m_used;
        m_used = 0;
        return true;
    }

    QByteArray m_path;
    int m_handle = -1;
    QByteArray m_buffer;
    qint64 m_used = 0;        // bytes gathered in m_buffer
    qint64 m_bufferStart = 0; // where in the file they go
    qint64 m_position = 0;    // where libzip writes next
    qint64 m_end = 0;         // the file's length so far
    zip_error_t m_error;
};

} // namespace

zip_source_t *newBlockFileSource(const QString &path, zip_error_t *error)
{
    auto *state = new BlockFile(path);
    zip_source_t *source = zip_source_function_create(&BlockFile::callback, state, error);
    if (!source)
        delete state;
    return source;
}
