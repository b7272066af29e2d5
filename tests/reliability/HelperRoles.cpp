#include "HelperRoles.h"

#include "WrittenItems.h"
#include "app/frmMain.h"
#include "data/Database.h"
#include "data/Inventory.h"
#include "data/Recordset.h"
#include "items/PictureFiles.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <cerrno>
#include <csignal>
#include <iostream>
#include <optional>
#include <poll.h>
#include <random>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Straight to the pipe, in one piece: once this returns, the line is the
// test's to read whatever happens to this process next.
void say(const QByteArray &text)
{
    const QByteArray line = text + '\n';
    const char *at = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, at, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ::_exit(4);
        }
        at += written;
        left -= written;
    }
}

QByteArray number(qint64 n)
{
    return QByteArray::number(n);
}

int dieWhenCountedDown(void *left)
{
    auto *steps = static_cast<qint64 *>(left);
    if (--*steps <= 0)
        ::kill(::getpid(), SIGKILL);
    return 0;
}

// The items the helper may change and give pictures to.
constexpr std::size_t PictureItems = 40;

int runItemWriter()
{
    Household household(qEnvironmentVariable("ItemWriterFolder"));
    std::mt19937_64 random(qEnvironmentVariable("ItemWriterSeed").toULongLong());
    qint64 version = qEnvironmentVariable("ItemWriterFirstVersion").toLongLong();
    qint64 stepsLeft = qEnvironmentVariable("ItemWriterDieAfterSteps").toLongLong();

    household.openInventory();
    Database &dbInventory = household.inventory();
    const CodeKeys codes = readCodeKeys(dbInventory);
    // The recordset of the item editor, opened and locked as it is.
    household.openItems();
    Recordset *rsItems = household.rsItems();
    std::vector<qint64> keys;
    if (rsItems->recordCount() > 0) {
        for (rsItems->moveFirst(); !rsItems->eof(); rsItems->moveNext())
            keys.push_back(rsItems->value(QStringLiteral("iteid")).toLongLong());
    }
    if (stepsLeft > 0)
        sqlite3_progress_handler(dbInventory.handle(), 1, dieWhenCountedDown, &stepsLeft);
    say("ready");

    for (;; ++version) {
        const auto pick = random() % 10;
        if (pick < 4 || keys.empty()) {
            say("begin item new " + number(version));
            rsItems->addNew();
            const qint64 key = rsItems->value(QStringLiteral("iteid")).toLongLong();
            setWrittenItem(*rsItems, key, version, codes);
            rsItems->update();
            dbInventory.freeLocks();
            keys.push_back(key);
            say("item " + number(key) + ' ' + number(version));
        } else if (pick < 7) {
            const qint64 key = keys[random() % keys.size()];
            say("begin item " + number(key) + ' ' + number(version));
            rsItems->findFirst(QStringLiteral("iteid = ?"), {key});
            rsItems->edit();
            setWrittenItem(*rsItems, key, version, codes);
            rsItems->update();
            dbInventory.freeLocks();
            say("item " + number(key) + ' ' + number(version));
        } else {
            const qint64 key = keys[random() % std::min(keys.size(), PictureItems)];
            say("begin picture " + number(key) + ' ' + number(version));
            const PictureFile picture = pictureFileOf(writtenPicture(key, version));
            household.itemFiles().writePicture(key, picture.bytes, picture.extension);
            say("picture " + number(key) + ' ' + number(version));
        }
    }
}

// Lines from the test, read without blocking unless asked to wait.
class CommandReader {
public:
    // A complete line, "stop" when the test closed the input; nothing when
    // no complete line is there and waiting was not asked for.
    std::optional<std::string> next(bool wait)
    {
        for (;;) {
            if (const auto end = m_buffer.find('\n'); end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return line;
            }
            pollfd input{STDIN_FILENO, POLLIN, 0};
            const int ready = ::poll(&input, 1, wait ? -1 : 0);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return std::nullopt;
            char chunk[256];
            const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (got <= 0)
                return std::string("stop");
            m_buffer.append(chunk, std::size_t(got));
        }
    }

private:
    std::string m_buffer;
};

// Runs work in its own short write transaction, again and again while the
// write lock is taken by the other program.
template <class Work>
void inTransaction(Database &db, Work &&work)
{
    for (;;) {
        try {
            Transaction transaction(db);
            work();
            transaction.commit();
            return;
        } catch (const DbError &error) {
            if (error.number() != DbError::RecordLocked)
                throw;
        }
    }
}

int runOtherWriter()
{
    auto db = Database::open(qEnvironmentVariable("OtherWriterDatabase"));
    CommandReader commands;
    std::vector<qint64> ownItems;
    auto addItem = [&](const QString &description, const QString &model) {
        db->execute(QStringLiteral("insert into items (Item, manufact, model, quantity) values (?1, ?2, ?3, 1)"),
                    {description, QStringLiteral("Other program"), model});
        return db->scalar(QStringLiteral("select last_insert_rowid()")).toLongLong();
    };
    say("ready");
    for (qint64 n = 1;; ++n) {
        if (const std::optional<std::string> command = commands.next(false)) {
            if (*command == "stop") {
                say("stopped");
                return 0;
            }
            if (*command == "hold") {
                // Taken the way any program takes it, and kept while the
                // test makes its writes meet it.
                for (;;) {
                    try {
                        db->execute(QStringLiteral("BEGIN IMMEDIATE"));
                        break;
                    } catch (const DbError &error) {
                        if (error.number() != DbError::RecordLocked)
                            throw;
                    }
                }
                const QString model = QStringLiteral("held-%1").arg(n);
                const qint64 key = addItem(QStringLiteral("Other held %1").arg(n), model);
                say("holding");
                while (commands.next(true) != std::optional<std::string>("release")) {
                }
                db->execute(QStringLiteral("COMMIT"));
                ownItems.push_back(key);
                say("item " + number(key) + ' ' + model.toUtf8());
                say("released");
                continue;
            }
        }
        QByteArray acknowledgement;
        switch (n % 4) {
        case 0:
        case 1:
            if (n % 4 == 1 && !ownItems.empty()) {
                const qint64 key = ownItems[std::size_t(n) % ownItems.size()];
                const QString model = QStringLiteral("changed-%1").arg(n);
                inTransaction(*db, [&] {
                    db->execute(QStringLiteral("update items set model = ?2 where iteid = ?1"), {key, model});
                });
                acknowledgement = "item " + number(key) + ' ' + model.toUtf8();
            } else {
                const QString model = QStringLiteral("new-%1").arg(n);
                qint64 key = 0;
                inTransaction(*db, [&] { key = addItem(QStringLiteral("Other item %1").arg(n), model); });
                ownItems.push_back(key);
                acknowledgement = "item " + number(key) + ' ' + model.toUtf8();
            }
            break;
        case 2:
        case 3: {
            const bool category = n % 4 == 2;
            const QString text = QString::fromLatin1(category ? "Other category %1" : "Other location %1").arg(n);
            qint64 key = 0;
            inTransaction(*db, [&] {
                db->execute(category ? QStringLiteral("insert into categories (catDesc) values (?1)")
                                     : QStringLiteral("insert into locations (locDesc) values (?1)"),
                            {text});
                key = db->scalar(QStringLiteral("select last_insert_rowid()")).toLongLong();
            });
            acknowledgement = (category ? "category " : "location ") + number(key) + ' ' + text.toUtf8();
            break;
        }
        }
        say(acknowledgement);
        // What a program does between its writes: it reads, leaving the
        // write lock free meanwhile.
        db->scalar(QStringLiteral("select count(*) + total(length(Notes)) from items"));
    }
}

// The program's prompts, told on the standard output instead of shown:
// "message <title>|<text>" for each message box, "ended <code>" at the end.
class PrintedPrompts : public Prompts {
public:
    Answer message(const QString &text, Buttons, Icon, const QString &title) override
    {
        say("message " + title.toUtf8() + '|' + QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8());
        return Answer::Ok;
    }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> openFileName(const FileDialog &) override { return {}; }
    std::optional<QString> saveFileName(const FileDialog &) override { return {}; }
    void beep() override {}
    void openWebAddress(const QString &) override {}
    void setBusy(bool) override {}
    [[noreturn]] void endProgram(int exitCode) override
    {
        say("ended " + number(exitCode));
        ::_exit(exitCode);
    }
};

// The program started on a data folder as the user starts it, its main
// window loaded; "started" when it got that far, then it ends.
int runStartProgram()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "stowbook";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    PrintedPrompts printed;
    setPrompts(&printed);
    Household household;
    {
        frmMain window(household, {QStringLiteral("-d"), qEnvironmentVariable("StartProgramFolder")});
        window.Form_Load();
        say("started");
    }
    return 0;
}

} // namespace

int runHelperRoleIfAsked()
{
    const QByteArray role = qgetenv(HelperRoleVariable);
    if (role.isEmpty())
        return -1;
    try {
        if (role == "item-writer")
            return runItemWriter();
        if (role == "other-writer")
            return runOtherWriter();
        if (role == "start-program")
            return runStartProgram();
    } catch (const DbError &error) {
        say("failed " + error.text().toUtf8());
        return 3;
    }
    std::cerr << "unknown helper role " << role.constData() << std::endl;
    return 2;
}
