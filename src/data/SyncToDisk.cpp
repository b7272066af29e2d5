#include "data/SyncToDisk.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

std::optional<QString> syncToDisk(int handle)
{
    if (::fsync(handle) == 0)
        return std::nullopt;
    const int error = errno;
    if (error == EINVAL || error == ENOTSUP)
        return std::nullopt;
    return systemReason(error);
}

std::optional<QString> syncToDisk(const QString &path)
{
    // A folder is opened for reading like a file; O_DIRECTORY is not given,
    // so one call serves both.
    int handle;
    do {
        handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0)
        return systemReason(errno);
    std::optional<QString> failure = syncToDisk(handle);
    if (::close(handle) != 0 && !failure && errno != EINTR)
        failure = systemReason(errno);
    return failure;
}
