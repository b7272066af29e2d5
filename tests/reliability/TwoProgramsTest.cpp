// This program's record commands and another program writing the same
// database at the same time: short locks pass without a word, a long one
// brings the "Locked Record" question, and no acknowledged write of either
// program is lost.
#include "HelperProcess.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "app/frmMain.h"
#include "codes/window/frmCodesMaint.h"
#include "data/Inventory.h"
#include "program/Household.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString LockedRecord = QStringLiteral("Locked Record");
const QString LockedQuestion = QStringLiteral("Could not update locked record.  Do you wish to try again?");

void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
}

class TwoProgramsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder.path()});
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window.get());
        codes = frmCodesMaint::showCodesMaint(household, window.get(), 1);
        ASSERT_NE(codes, nullptr);
        other = std::make_unique<HelperProcess>(
            QStringLiteral("other-writer"),
            QMap<QString, QString>{{QStringLiteral("OtherWriterDatabase"), folder.file(InventoryFileName)}});
        ASSERT_EQ(other->nextLine(), QByteArray("ready"));
    }

    void TearDown() override
    {
        other.reset();
        delete frmCodesMaint::instance();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.reset();
        household.closeInventory();
    }

    // Reads the other program's lines up to the one given, taking every
    // acknowledgement on the way.
    void readOtherUntil(const QByteArray &wanted)
    {
        while (const std::optional<QByteArray> line = other->nextLine()) {
            if (*line == wanted)
                return;
            take(*line);
        }
        FAIL() << "the other program ended before saying " << wanted.constData();
    }

    // Waits until the other program has acknowledged `count` more writes,
    // so its writes and ours interleave.
    void letOtherWrite(int count)
    {
        for (int seen = 0; seen < count;) {
            const std::optional<QByteArray> line = other->nextLine();
            ASSERT_TRUE(line) << "the other program ended";
            seen += take(*line);
        }
    }

    bool take(const QByteArray &line)
    {
        const QString whole = QString::fromUtf8(line);
        const QString kind = whole.section(QLatin1Char(' '), 0, 0);
        const qint64 key = whole.section(QLatin1Char(' '), 1, 1).toLongLong();
        const QString text = whole.section(QLatin1Char(' '), 2);
        if (kind == QLatin1String("item"))
            otherItems[key] = text;
        else if (kind == QLatin1String("category"))
            otherCategories[key] = text;
        else if (kind == QLatin1String("location"))
            otherLocations[key] = text;
        else {
            ADD_FAILURE() << "the other program said: " << line.constData();
            return false;
        }
        ++otherWrites;
        return true;
    }

    qint64 shownKey() { return household.rsItems()->value(QStringLiteral("iteid")).toLongLong(); }

    // The item at that place of the navigation order (0 is the first).
    void showItemAt(int position)
    {
        window->cmdFirst_Click();
        for (int i = 0; i < position; ++i)
            window->cmdNext_Click();
    }

    // Item editor: changes the model of the shown item and updates it.
    void editShownItem(const QString &model)
    {
        const qint64 key = shownKey();
        typeInto(window->txtModel, model);
        window->cmdUpdate_Click();
        ourModels[key] = model;
    }

    // Adds two items in a row (Add Another, then Update).
    void addTwoItems(const QString &stem)
    {
        window->cmdAddNew_Click();
        typeInto(window->txtItem, stem + QStringLiteral(" a"));
        typeInto(window->txtModel, stem + QStringLiteral("-a"));
        window->cmdAddNew_Click();
        typeInto(window->txtItem, stem + QStringLiteral(" b"));
        typeInto(window->txtModel, stem + QStringLiteral("-b"));
        window->cmdUpdate_Click();
        ourNewItems[stem + QStringLiteral(" a")] = stem + QStringLiteral("-a");
        ourNewItems[stem + QStringLiteral(" b")] = stem + QStringLiteral("-b");
    }

    // The caller answers the delete question.
    void deleteShownItem()
    {
        ourDeleted.push_back(shownKey());
        window->cmdDelete_Click();
    }

    // Codes window: a new code, renamed; another new code, deleted.
    void keepOneCodeDeleteAnother(const QString &stem)
    {
        codes->cmdAddNew_Click();
        typeInto(codes->txtDesc, stem + QStringLiteral(" kept"));
        codes->cmdUpdate_Click();
        typeInto(codes->txtDesc, stem + QStringLiteral(" renamed"));
        codes->cmdUpdate_Click();
        ourCodes << stem + QStringLiteral(" renamed");
        codes->cmdAddNew_Click();
        typeInto(codes->txtDesc, stem + QStringLiteral(" dropped"));
        codes->cmdUpdate_Click();
        prompts.answer(Prompts::Answer::Yes);
        codes->cmdDelete_Click();
        droppedCodes << stem + QStringLiteral(" dropped");
    }

    // The other program takes the write lock and keeps it until our write
    // has asked the question; the answer Yes lets go of it first.
    void holdUntilAsked(int confirmationsFirst)
    {
        other->send("hold");
        readOtherUntil("holding");
        for (int i = 0; i < confirmationsFirst; ++i)
            prompts.answer(Prompts::Answer::Yes);
        prompts.answerWith([this](const ScriptedPrompts::Call &call) {
            EXPECT_EQ(call.title, LockedRecord);
            other->send("release");
            readOtherUntil("released");
            // The command's further writes meet only short locks again.
            household.dbInventory()->setBusyTimeout(Database::DefaultBusyTimeoutMs);
            return Prompts::Answer::Yes;
        });
        // Quick tries, so that a hundred of them take a moment, not six seconds.
        household.dbInventory()->setBusyTimeout(1);
    }

    int lockedQuestions() const
    {
        int n = 0;
        for (const ScriptedPrompts::Call &call : prompts.messages())
            n += call.title == LockedRecord && call.text == LockedQuestion;
        return n;
    }

    // Everything both programs stored, checked through a connection of its own.
    void expectEverythingStored()
    {
        other->send("stop");
        readOtherUntil("stopped");
        other->finish();
        auto db = Database::open(folder.file(InventoryFileName));
        EXPECT_EQ(db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        for (const auto &[key, model] : otherItems)
            EXPECT_EQ(db->scalar(QStringLiteral("select model from items where iteid = ?"), {key}).toString(), model)
                << "the other program's item " << key;
        for (const auto &[key, text] : otherCategories)
            EXPECT_EQ(db->scalar(QStringLiteral("select catDesc from categories where catid = ?"), {key}).toString(),
                      text);
        for (const auto &[key, text] : otherLocations)
            EXPECT_EQ(db->scalar(QStringLiteral("select locDesc from locations where locid = ?"), {key}).toString(),
                      text);
        for (const auto &[key, model] : ourModels)
            EXPECT_EQ(db->scalar(QStringLiteral("select model from items where iteid = ?"), {key}).toString(), model)
                << "our item " << key;
        for (const auto &[description, model] : ourNewItems)
            EXPECT_EQ(db->scalar(QStringLiteral("select group_concat(model) from items where Item = ?"), {description})
                          .toString(),
                      model)
                << description.toStdString();
        for (qint64 key : ourDeleted)
            EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items where iteid = ?"), {key}).toInt(), 0);
        for (const QString &code : ourCodes)
            EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from categories where catDesc = ?"), {code}).toInt(),
                      1)
                << code.toStdString();
        for (const QString &code : droppedCodes)
            EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from categories where catDesc = ?"), {code}).toInt(),
                      0)
                << code.toStdString();
    }

    ScriptedPrompts prompts;
    TestDataFolder folder{SetupOptions{.generatedItems = 40}};
    Household household;
    std::unique_ptr<frmMain> window;
    frmCodesMaint *codes = nullptr;
    std::unique_ptr<HelperProcess> other;

    int otherWrites = 0;
    std::map<qint64, QString> otherItems; // key -> model last acknowledged
    std::map<qint64, QString> otherCategories;
    std::map<qint64, QString> otherLocations;
    std::map<qint64, QString> ourModels;
    std::map<QString, QString> ourNewItems; // description -> model
    std::vector<qint64> ourDeleted;
    QStringList ourCodes;
    QStringList droppedCodes;
};

} // namespace

// Both programs write all the time; each of our writes waits for fresh
// writes of the other, so they interleave. The other program's locks last
// one short transaction: no question may be asked (an unexpected question
// fails the test through the scripted prompts).
TEST_F(TwoProgramsTest, ShortLocksPassSilentlyAndNoWriteOfEitherProgramIsLost)
{
    for (int round = 1; round <= 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Each round edits one item of the inventory and deletes the one
        // after it, so no item is both edited and deleted.
        letOtherWrite(2);
        showItemAt(round);
        editShownItem(QStringLiteral("ours-%1").arg(round));
        letOtherWrite(2);
        addTwoItems(QStringLiteral("Ours %1").arg(round));
        letOtherWrite(2);
        showItemAt(round + 1);
        prompts.answer(Prompts::Answer::Yes);
        deleteShownItem();
        letOtherWrite(2);
        keepOneCodeDeleteAnother(QStringLiteral("Ours %1").arg(round));
    }
    EXPECT_EQ(lockedQuestions(), 0);
    EXPECT_EQ(prompts.messages().size(), 24u) << "only the two delete questions of each round";
    expectEverythingStored();
    EXPECT_GE(otherWrites, 12 * 8);
}

// The other program keeps the write lock until the question comes: each of
// the record commands asks once, after its hundredth try, and after Yes
// (the lock let go meanwhile) its write goes through. Only the first write
// of a command meets the lock; the others pass as in the test above.
TEST_F(TwoProgramsTest, ALongLockAsksOnceAndTheWriteGoesThroughAfterYes)
{
    struct Case {
        const char *name;
        int confirmations; // questions the command asks before its write
        std::function<void()> write;
    };
    const Case cases[] = {
        {"Update of an edited item", 0,
         [this] {
             showItemAt(3);
             editShownItem(QStringLiteral("held edit"));
         }},
        {"Add Another and Update of new items", 0, [this] { addTwoItems(QStringLiteral("Held")); }},
        {"Delete of an item", 1,
         [this] {
             showItemAt(10);
             deleteShownItem();
         }},
        {"Update and Delete of codes", 0, [this] { keepOneCodeDeleteAnother(QStringLiteral("Held")); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        holdUntilAsked(c.confirmations);
        c.write();
        EXPECT_EQ(lockedQuestions(), 1);
    }
    expectEverythingStored();
}

// After a repair the program keeps the database to itself: a second program
// started on the same folder is kept out with the in-use message and ends;
// once the first has ended, the second starts as usual.
TEST(ExclusiveHold, AProgramOnARepairedDatabaseKeepsASecondOneOutUntilItEnds)
{
    ScriptedPrompts prompts;
    TestDataFolder folder{SetupOptions{.generatedItems = 20}};
    Household household;
    {
        QFile file(folder.file(InventoryFileName));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(100, '\0')); // the header lost: a repair at start
    }
    prompts.answer(Prompts::Answer::Ok);
    auto first = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder.path()});
    first->Form_Load();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages().front().title, QStringLiteral("Database Repaired"));
    ASSERT_TRUE(household.dbInventory());
    ASSERT_EQ(household.dbInventory()->mode(), OpenMode::Exclusive);

    auto startSecond = [&] {
        HelperProcess second(QStringLiteral("start-program"), {{QStringLiteral("StartProgramFolder"), folder.path()}});
        QList<QByteArray> lines;
        while (const std::optional<QByteArray> line = second.nextLine())
            lines << *line;
        return lines;
    };
    EXPECT_EQ(startSecond(),
              (QList<QByteArray>{"message Database File Already In Use|The database is in use.  You are attempting to "
                                 "run the non-network version in a network environment.  The program will exit.",
                                 "ended 1"}));

    first.reset();
    household.closeInventory();
    EXPECT_EQ(startSecond(), QList<QByteArray>{"started"});
}
