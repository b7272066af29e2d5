#include "copies/StagedFile.h"

#include "copies/CopyError.h"
#include "copies/CopyPlace.h"
#include "data/SyncToDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

StagedFile::StagedFile(const QString &folder)
{
    QByteArray name = QFile::encodeName(folder + u'/' + PartPrefix + QStringLiteral("XXXXXX"));
    m_handle = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_handle < 0)
        throw CopyError(QStringLiteral("Nothing can be written in %1: %2").arg(native(folder), reasonOf(errno)));
    m_path = QFile::decodeName(name);
    ::fchmod(m_handle, 0600);
    m_buffer.resize(BlockBytes);
}

StagedFile::~StagedFile()
{
    if (m_handle >= 0)
        ::close(m_handle);
    if (!m_committed && !m_path.isEmpty())
        ::unlink(QFile::encodeName(m_path).constData());
}

void StagedFile::fail(const QString &what, int error)
{
    throw CopyError(QStringLiteral("%1 could not be written: %2").arg(native(what), reasonOf(error)));
}

void StagedFile::flush()
{
    const char *data = m_buffer.constData();
    qint64 left = m_used;
    while (left > 0) {
        const ssize_t written = ::write(m_handle, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(m_path, errno);
        }
        data += written;
        left -= written;
    }
    m_used = 0;
}

void StagedFile::write(const char *data, qint64 size)
{
    m_hash.addData(QByteArrayView(data, size));
    m_size += size;
    while (size > 0) {
        const qint64 room = std::min<qint64>(BlockBytes - m_used, size);
        std::memcpy(m_buffer.data() + m_used, data, size_t(room));
        m_used += room;
        data += room;
        size -= room;
        if (m_used == BlockBytes)
            flush();
    }
}

void StagedFile::copyFrom(const QString &source)
{
    // Unbuffered: one read straight into the block, and one write of it.
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw CopyError(QStringLiteral("%1 could not be read: %2").arg(native(source), file.errorString()));
    for (;;) {
        if (m_used == BlockBytes)
            flush();
        const qint64 read = file.read(m_buffer.data() + m_used, BlockBytes - m_used);
        if (read < 0)
            throw CopyError(QStringLiteral("%1 could not be read: %2").arg(native(source), file.errorString()));
        if (read == 0)
            break;
        m_hash.addData(QByteArrayView(m_buffer.constData() + m_used, read));
        m_used += read;
        m_size += read;
    }
}

void StagedFile::finish()
{
    flush();
    if (const std::optional<QString> why = syncToDisk(m_handle))
        throw CopyError(QStringLiteral("%1 could not be written: %2").arg(native(m_path), *why));
    const int closed = ::close(m_handle);
    m_handle = -1;
    if (closed != 0)
        fail(m_path, errno);
    m_digest = m_hash.hexResult();
    m_buffer = QByteArray();
}

void StagedFile::commitAs(const QString &finalPath, bool sync)
{
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(finalPath).constData()) != 0)
        fail(finalPath, errno);
    m_committed = true;
    if (sync)
        syncFolder(QFileInfo(finalPath).path());
}

std::optional<FileDigest> digestOf(const QString &path, QString *problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (problem)
            *problem = file.errorString();
        return std::nullopt;
    }
    QByteArray buffer(StagedFile::BlockBytes, Qt::Uninitialized);
    Sha256 hash;
    FileDigest digest;
    for (;;) {
        const qint64 read = file.read(buffer.data(), buffer.size());
        if (read < 0) {
            if (problem)
                *problem = file.errorString();
            return std::nullopt;
        }
        if (read == 0)
            break;
        hash.addData(QByteArrayView(buffer.constData(), read));
        digest.size += read;
    }
    digest.sha256 = hash.hexResult();
    return digest;
}

QList<DigestResult> digestsOf(const QStringList &paths)
{
    QList<DigestResult> results(paths.size());
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        for (qsizetype i = next++; i < paths.size(); i = next++)
            results[i].digest = digestOf(paths[i], &results[i].problem);
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads && i < unsigned(paths.size()); ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return results;
}

void makePrivateFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return;
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        throw CopyError(QStringLiteral("The folder %1 cannot be made: %2").arg(native(path), reasonOf(errno)));
    const QFileInfo made(path);
    if (!made.isDir() || made.isSymLink())
        throw CopyError(QStringLiteral("%1 is in the way of the copies: it is not a folder.").arg(native(path)));
}

void syncFolder(const QString &path)
{
    if (const std::optional<QString> why = syncToDisk(path))
        throw CopyError(QStringLiteral("The folder %1 could not be written: %2").arg(native(path), *why));
}
