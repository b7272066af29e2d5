#include "FailingSync.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex s_lock;
std::function<bool(const QString &)> s_failsFor; // guarded by s_lock
QStringList s_failed;                            // guarded by s_lock
int s_error = EIO;                               // guarded by s_lock

using SyncFunction = int (*)(int);

SyncFunction systemSync()
{
    static const auto found = reinterpret_cast<SyncFunction>(dlsym(RTLD_NEXT, "fsync"));
    return found;
}

// Where the descriptor points, as the kernel names it.
QString pathOf(int handle)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", handle);
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link, target, sizeof target);
    return length < 0 ? QString() : QFile::decodeName(QByteArray(target, length));
}

} // namespace

// Every fsync of the test program comes here first: this definition stands
// before the C library's, for our code and for the libraries it loads.
extern "C" int fsync(int handle)
{
    {
        const std::lock_guard<std::mutex> locker(s_lock);
        if (s_failsFor) {
            const QString path = pathOf(handle);
            if (s_failsFor(path)) {
                s_failed << path;
                errno = s_error;
                return -1;
            }
        }
    }
    const SyncFunction sync = systemSync();
    if (!sync) {
        errno = ENOSYS;
        return -1;
    }
    return sync(handle);
}

FailingSync::FailingSync(std::function<bool(const QString &)> failsFor, int error)
{
    const std::lock_guard<std::mutex> locker(s_lock);
    s_failsFor = std::move(failsFor);
    s_error = error;
    s_failed.clear();
}

FailingSync::~FailingSync()
{
    const std::lock_guard<std::mutex> locker(s_lock);
    s_failsFor = nullptr;
}

QStringList FailingSync::failed() const
{
    const std::lock_guard<std::mutex> locker(s_lock);
    return s_failed;
}
