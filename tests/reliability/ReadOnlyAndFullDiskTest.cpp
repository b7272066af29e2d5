// Storage that refuses writes: a read-only database file or picture folder,
// a read-only data folder, a full disk, a database at its size limit. Each
// record command then says what went wrong, keeps what was typed on screen,
// and leaves every stored record and picture as it was.
#include "RootOverride.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "WrittenItems.h"
#include "app/frmMain.h"
#include "codes/window/frmCodesMaint.h"
#include "data/Inventory.h"
#include "items/PictureFiles.h"
#include "items/picture/frmImage.h"
#include "program/Household.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
}

// Everything stored in the data folder, in a form to compare: every row of
// the three tables and every file of the picture folder, hidden ones too.
QStringList storedState(const QString &folder)
{
    QStringList state;
    auto db = Database::open(folder + InventoryFileName);
    for (const char *table : {"items", "categories", "locations"}) {
        auto rows = db->openRecordset(QStringLiteral("select * from %1 order by rowid").arg(QLatin1String(table)),
                                      RecordsetType::Snapshot);
        for (; !rows->eof(); rows->moveNext()) {
            QStringList values;
            for (int i = 0; i < rows->columnNames().size(); ++i)
                values << describeValue(rows->value(i)).left(200);
            state << QLatin1String(table) + QLatin1Char(':') + values.join(QLatin1Char('|'));
        }
    }
    db.reset();
    const QDir images(folder + ImagesFolderName);
    for (const QString &name : images.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(images.filePath(name));
        file.open(QIODevice::ReadOnly);
        state << QStringLiteral("picture:%1:%2").arg(name).arg(qHash(file.readAll()));
    }
    return state;
}

// The disk is full, and more: with a file size limit of 0 no write to any
// file succeeds (SIGXFSZ ignored, so each fails with EFBIG, as on a full
// disk with ENOSPC); reading goes on. The log is emptied first, so that
// nothing written before is left only in it.
class DiskFull {
public:
    DiskFull()
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit full = m_old;
        full.rlim_cur = 0;
        m_ok = setrlimit(RLIMIT_FSIZE, &full) == 0;
    }
    ~DiskFull()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

class StorageFailureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto db = Database::open(folder.file(InventoryFileName));
        db->execute(QStringLiteral("insert into categories (catDesc) values ('Unused category')"));
        pictured = db->scalar(QStringLiteral("select min(iteid) from items")).toLongLong();
        db.reset();
        const PictureFile picture = pictureFileOf(writtenPicture(pictured, 1));
        household.itemFiles().writePicture(pictured, picture.bytes, picture.extension);
        newPicture = folder.file(QStringLiteral("new.png"));
        ASSERT_TRUE(writtenPicture(7, 7).save(newPicture, "PNG"));
    }

    void TearDown() override
    {
        if (auto *codes = frmCodesMaint::instance())
            delete codes;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.reset();
        household.closeInventory();
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(folder.path() + ImagesFolderName, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(folder.file(InventoryFileName), QFile::ReadOwner | QFile::WriteOwner);
    }

    void start()
    {
        window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder.path()});
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    void showItemAt(int position)
    {
        window->cmdFirst_Click();
        for (int i = 0; i < position; ++i)
            window->cmdNext_Click();
    }

    frmCodesMaint &codesWindow() { return *frmCodesMaint::showCodesMaint(household, window.get(), 1); }

    // The messages shown since the last call.
    QStringList takeMessages()
    {
        QStringList texts;
        for (const ScriptedPrompts::Call &call : prompts.messages()) {
            if (call.title != QLatin1String("Delete Inventory Item") && call.title != QLatin1String("Delete Category"))
                texts << call.text;
        }
        prompts.clear();
        return texts;
    }

    struct Step {
        const char *name;
        std::function<void()> act;         // types and presses the command
        std::function<QString()> onScreen; // what was typed, as the window shows it now
        QString typed;
        std::function<void()> back; // Cancel, to start the next step from browsing
    };

    // Every record command, each in the way the user gives it.
    std::vector<Step> everyCommand()
    {
        frmMain &w = *window;
        auto cancel = [&w] { w.cmdCancel_Click(); };
        return {
            {"Update of an edited item",
             [this, &w] {
                 showItemAt(2);
                 typeInto(w.txtModel, QStringLiteral("typed model"));
                 w.txtNotes->setPlainText(QString(20000, QLatin1Char('t'))); // needs new pages
                 w.cmdUpdate_Click();
             },
             [&w] { return w.txtModel->text(); }, QStringLiteral("typed model"), cancel},
            {"Update of a new item",
             [&w] {
                 w.cmdAddNew_Click();
                 typeInto(w.txtItem, QStringLiteral("typed item"));
                 w.txtNotes->setPlainText(QString(20000, QLatin1Char('t')));
                 w.cmdUpdate_Click();
             },
             [&w] { return w.txtItem->text(); }, QStringLiteral("typed item"), cancel},
            {"Add Another",
             [&w] {
                 w.cmdAddNew_Click();
                 typeInto(w.txtItem, QStringLiteral("another item"));
                 w.txtNotes->setPlainText(QString(20000, QLatin1Char('t')));
                 w.cmdAddNew_Click();
             },
             [&w] { return w.txtItem->text(); }, QStringLiteral("another item"), cancel},
            {"Delete of an item",
             [this, &w] {
                 showItemAt(0); // the one with the picture
                 prompts.answer(Prompts::Answer::Yes);
                 w.cmdDelete_Click();
             },
             {},
             QString(),
             [] {}},
            {"a new picture",
             [this, &w] {
                 showItemAt(0);
                 w.cmdPicture_Click();
                 auto *pictures = qobject_cast<frmImage *>(w.secondaryWindow(frmMain::Secondary::Picture));
                 prompts.answerFile(newPicture);
                 pictures->cmdPicLoad_Click();
                 typeInto(w.txtModel, QStringLiteral("with a picture"));
                 w.cmdUpdate_Click();
             },
             [&w] { return w.txtModel->text(); }, QStringLiteral("with a picture"), cancel},
            {"Update of a new code",
             [this] {
                 frmCodesMaint &c = codesWindow();
                 c.cmdAddNew_Click();
                 typeInto(c.txtDesc, QStringLiteral("typed code"));
                 c.cmdUpdate_Click();
             },
             [] { return frmCodesMaint::instance()->txtDesc->text(); }, QStringLiteral("typed code"),
             [] { frmCodesMaint::instance()->cmdCancel_Click(); }},
            {"Update of a renamed code",
             [this] {
                 frmCodesMaint &c = codesWindow();
                 c.cmdFirst_Click();
                 typeInto(c.txtDesc, QStringLiteral("renamed code"));
                 c.cmdUpdate_Click();
             },
             [] { return frmCodesMaint::instance()->txtDesc->text(); }, QStringLiteral("renamed code"),
             [] { frmCodesMaint::instance()->cmdCancel_Click(); }},
            {"Delete of a code",
             [this] {
                 frmCodesMaint &c = codesWindow();
                 c.cmdLast_Click(); // the unused one
                 prompts.answer(Prompts::Answer::Yes);
                 c.cmdDelete_Click();
             },
             {},
             QString(),
             [] {}},
        };
    }

    // Runs every command while `refuse` says so; `reason` is a text each
    // message must hold.
    void expectEveryCommandRefused(const std::function<bool()> &refuse, const QStringList &reasons,
                                   const QStringList &only = {}, const std::function<void()> &restore = {})
    {
        const QStringList before = storedState(folder.path());
        start();
        ASSERT_TRUE(household.rsItems()) << takeMessages().join(QLatin1Char('\n')).toStdString();
        takeMessages();
        for (const Step &step : everyCommand()) {
            SCOPED_TRACE(step.name);
            if (!only.isEmpty() && !only.contains(QLatin1String(step.name)))
                continue;
            if (!refuse())
                return;
            try {
                step.act();
            } catch (const DbError &error) {
                FAIL() << "a failure escaped the error handler: " << error.what();
            }
            const QStringList shown = takeMessages();
            ASSERT_FALSE(shown.isEmpty()) << "a refused write went by without a word";
            for (const QString &text : shown) {
                const bool known =
                    std::any_of(reasons.begin(), reasons.end(), [&](const QString &r) { return text.contains(r); });
                EXPECT_TRUE(known) << text.toStdString();
            }
            if (step.onScreen) {
                EXPECT_EQ(step.onScreen(), step.typed) << "what was typed is no longer on screen";
            }
            step.back();
        }
        window.reset();
        household.closeInventory();
        if (restore)
            restore();
        TearDown();
        EXPECT_EQ(storedState(folder.path()), before);
    }

    TestDataFolder folder{SetupOptions{.generatedItems = 12}};
    ScriptedPrompts prompts;
    Household household{folder.path()};
    std::unique_ptr<frmMain> window;
    qint64 pictured = 0;
    QString newPicture;
};

const QString ReadOnlyText = QStringLiteral("attempt to write a readonly database");
const QString PictureNotWritten = QStringLiteral("Path/File access error");

} // namespace

TEST_F(StorageFailureTest, AReadOnlyDatabaseAndPictureFolderRefuseEveryWriteAndKeepWhatIsStored)
{
    QFile::setPermissions(folder.file(InventoryFileName), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(folder.path() + ImagesFolderName, QFile::ReadOwner | QFile::ExeOwner);
    PermissionsEnforced asAnyUser;
    ASSERT_TRUE(asAnyUser.holds()) << "file permissions cannot be made to hold for this test";
    expectEveryCommandRefused([] { return true; }, {ReadOnlyText, PictureNotWritten});
}

TEST_F(StorageFailureTest, AFullDiskRefusesEveryWriteAndKeepsWhatIsStored)
{
    std::unique_ptr<DiskFull> full;
    auto fill = [&] {
        // The log is emptied while there is room, so every write must grow it.
        if (!full) {
            household.dbInventory()->execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            full = std::make_unique<DiskFull>();
            EXPECT_TRUE(full->ok());
        }
        return full->ok();
    };
    expectEveryCommandRefused(fill,
                              // The picture's message names the reason, not "Unknown error".
                              {QStringLiteral("disk I/O error"), QStringLiteral("database or disk is full"),
                               QStringLiteral("File too large")},
                              {}, [&] { full.reset(); });
}

TEST_F(StorageFailureTest, ADatabaseAtItsSizeLimitRefusesWritesThatNeedRoom)
{
    bool limited = false;
    expectEveryCommandRefused(
        [&] {
            if (!limited) {
                household.dbInventory()->execute(
                    QStringLiteral("PRAGMA max_page_count = ")
                    + household.dbInventory()->scalar(QStringLiteral("PRAGMA page_count")).toString());
                limited = true;
            }
            return true;
        },
        {QStringLiteral("database or disk is full")},
        // The commands whose writes need new pages (long notes); the others fit.
        {QStringLiteral("Update of an edited item"), QStringLiteral("Update of a new item"),
         QStringLiteral("Add Another")});
}

// With the whole folder read-only and no log files beside the database, the
// database cannot even be read; the program says so and ends, changing nothing.
TEST_F(StorageFailureTest, AReadOnlyDataFolderEndsTheProgramWithAMessageAndChangesNothing)
{
    const QStringList before = storedState(folder.path());
    QFile::setPermissions(folder.file(InventoryFileName), QFile::ReadOwner);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        PermissionsEnforced asAnyUser;
        ASSERT_TRUE(asAnyUser.holds());
        EXPECT_THROW(start(), ProgramEnded);
    }
    const QStringList shown = takeMessages();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.last().contains(QStringLiteral("could not open the inventory database")))
        << shown.last().toStdString();
    TearDown();
    EXPECT_EQ(storedState(folder.path()), before);
}
