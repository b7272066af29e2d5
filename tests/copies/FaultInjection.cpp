// Loaded into a child stowbook-setup with LD_PRELOAD: counts the points at
// which a copy changes the copies folder (every write, sync, rename, removal
// and new folder under STOWBOOK_FAULT_DIR) and, at point STOWBOOK_FAULT_AT,
// does what STOWBOOK_FAULT says:
//   count   nothing; "fault points: N" goes to standard error at the end
//   kill    SIGKILL, before the call is made
//   vanish  the folder is renamed away (to its name and ".gone") and the
//           call goes on, as when a USB drive is pulled out
//   full    this and every later write there fails with ENOSPC
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::atomic<long> s_points{0};

const char *setting(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

template <class Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool underFolder(const char *path)
{
    const char *folder = setting("STOWBOOK_FAULT_DIR");
    const size_t length = std::strlen(folder);
    return length > 0 && path && std::strncmp(path, folder, length) == 0
        && (path[length] == '/' || path[length] == '\0');
}

bool handleUnderFolder(int handle)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", handle);
    char target[PATH_MAX + 1];
    const ssize_t length = ::readlink(link, target, PATH_MAX);
    if (length < 0)
        return false;
    target[length] = '\0';
    // A file whose folder was renamed away still counts.
    std::string moved = std::string(setting("STOWBOOK_FAULT_DIR")) + ".gone";
    return underFolder(target) || std::strncmp(target, moved.c_str(), moved.size()) == 0;
}

bool s_full = false;

// True when the call must fail as on a full disk.
bool point(bool relevant, bool isWrite)
{
    if (!relevant)
        return false;
    const long at = std::atol(setting("STOWBOOK_FAULT_AT"));
    const long now = ++s_points;
    const std::string mode = setting("STOWBOOK_FAULT");
    if (now == at) {
        if (mode == "kill")
            ::raise(SIGKILL);
        if (mode == "vanish") {
            const std::string folder = setting("STOWBOOK_FAULT_DIR");
            next<int (*)(const char *, const char *)>("rename")(folder.c_str(), (folder + ".gone").c_str());
        }
        if (mode == "full")
            s_full = true;
    }
    if (s_full && isWrite) {
        errno = ENOSPC;
        return true;
    }
    return false;
}

struct Report {
    ~Report()
    {
        if (std::string(setting("STOWBOOK_FAULT")) == "count")
            std::fprintf(stderr, "fault points: %ld\n", s_points.load());
    }
} s_report;

} // namespace

extern "C" {

ssize_t write(int handle, const void *data, size_t size)
{
    if (point(handleUnderFolder(handle), true))
        return -1;
    return next<ssize_t (*)(int, const void *, size_t)>("write")(handle, data, size);
}

ssize_t pwrite64(int handle, const void *data, size_t size, off64_t offset)
{
    if (point(handleUnderFolder(handle), true))
        return -1;
    return next<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64")(handle, data, size, offset);
}

ssize_t pwrite(int handle, const void *data, size_t size, off_t offset)
{
    if (point(handleUnderFolder(handle), true))
        return -1;
    return next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite")(handle, data, size, offset);
}

int fsync(int handle)
{
    point(handleUnderFolder(handle), false);
    return next<int (*)(int)>("fsync")(handle);
}

int fdatasync(int handle)
{
    point(handleUnderFolder(handle), false);
    return next<int (*)(int)>("fdatasync")(handle);
}

int rename(const char *from, const char *to)
{
    point(underFolder(from) || underFolder(to), false);
    return next<int (*)(const char *, const char *)>("rename")(from, to);
}

int unlink(const char *path)
{
    point(underFolder(path), false);
    return next<int (*)(const char *)>("unlink")(path);
}

int mkdir(const char *path, mode_t mode)
{
    point(underFolder(path), false);
    return next<int (*)(const char *, mode_t)>("mkdir")(path, mode);
}

int rmdir(const char *path)
{
    point(underFolder(path), false);
    return next<int (*)(const char *)>("rmdir")(path);
}
}
