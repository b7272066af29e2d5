#include "TestDataFolder.h"
#include "app/QtPrompts.h"
#include "program/Household.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Whether another process sees a lock of this one on the byte range: the
// child asks the kernel (F_GETLK) which lock would stand in the way of its
// write lock. POSIX locks belong to the process and the file, so a second
// descriptor opened and closed anywhere in this process drops them all.
bool anotherProcessSeesLock(const QString &path, off_t start, off_t length)
{
    const QByteArray name = QFile::encodeName(path);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = ::open(name.constData(), O_RDONLY);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = start;
        lock.l_len = length;
        if (fd < 0 || fcntl(fd, F_GETLK, &lock) != 0)
            _exit(2);
        _exit(lock.l_type == F_UNLCK ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// SQLite's locks in WAL mode, held by every open connection for as long as it
// is open: a read lock on the database file's shared range, and one on the
// index file's "in use" byte. While another program sees either, it neither
// deletes the log under the program nor rebuilds the index.
struct HeldLock {
    const char *file;
    off_t start;
    off_t length;
};
constexpr HeldLock inventoryLocks[] = {{"stowbook.db", 0x40000002, 510}, {"stowbook.db-shm", 128, 1}};

// Waits, in the dialog's own event loop, until its list has every file of the
// folder with its type filled in: the type is what the list's helper thread
// works out by looking at each file.
bool waitUntilListed(QFileDialog &dialog, const QString &folder, int files)
{
    auto *model = dialog.findChild<QFileSystemModel *>();
    if (!model)
        return false;
    const QModelIndex parent = model->index(folder);
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        int typed = 0;
        for (int row = 0; row < model->rowCount(parent); ++row)
            if (!model->type(model->index(row, 0, parent)).isEmpty())
                ++typed;
        if (typed >= files)
            return true;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return false;
}

} // namespace

TEST(FileDialogLocks, ListingTheDataFolderKeepsTheInventoryLocked)
{
    TestDataFolder data;
    Household household(data.path());
    household.openInventory();
    household.openItems();
    for (const HeldLock &held : inventoryLocks)
        ASSERT_TRUE(anotherProcessSeesLock(data.file(QString::fromLatin1(held.file)), held.start, held.length))
            << held.file << ": not locked before any dialog";

    const int files = static_cast<int>(QDir(data.path()).entryList(QDir::Files).size());
    struct Shown {
        const char *name;
        std::function<void(QtPrompts &, const Prompts::FileDialog &)> show;
    };
    const Shown dialogs[] = {
        {"open", [](QtPrompts &p, const Prompts::FileDialog &d) { p.openFileName(d); }},
        {"open several", [](QtPrompts &p, const Prompts::FileDialog &d) { p.openFileNames(d); }},
        {"save", [](QtPrompts &p, const Prompts::FileDialog &d) { p.saveFileName(d); }},
    };
    for (const Shown &shown : dialogs) {
        SCOPED_TRACE(shown.name);
        bool listed = false;
        QString folder, proposed;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            listed = waitUntilListed(*dialog, data.path(), files);
            folder = dialog->directory().absolutePath();
            proposed = dialog->selectedFiles().value(0);
            dialog->reject();
        });
        QtPrompts prompts;
        shown.show(prompts,
                   {QStringLiteral("Pick"),
                    QStringLiteral("All Files|*.*"),
                    1,
                    data.path(),
                    QStringLiteral("stowbook.db"),
                    {}});
        EXPECT_TRUE(listed);
        EXPECT_EQ(folder, QDir(data.path()).absolutePath());
        EXPECT_EQ(proposed, data.file(QStringLiteral("stowbook.db")));
        for (const HeldLock &held : inventoryLocks)
            EXPECT_TRUE(anotherProcessSeesLock(data.file(QString::fromLatin1(held.file)), held.start, held.length))
                << held.file << ": the lock was lost while the dialog listed the folder";
    }
}
