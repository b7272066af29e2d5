#include "CodesWindowFixture.h"

#include "data/Inventory.h"
#include "program/Household.h"

#include <QLineEdit>
#include <sqlite3.h>

namespace {

// Another program part way through reading the file: with a rollback
// journal, no commit can complete until it stops.
class Reader {
public:
    explicit Reader(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(m_db, "select * from categories", -1, &m_statement, nullptr);
        m_reading = sqlite3_step(m_statement) == SQLITE_ROW;
    }
    ~Reader() { stop(); }
    bool isReading() const { return m_reading; }
    void stop()
    {
        sqlite3_finalize(std::exchange(m_statement, nullptr));
        sqlite3_close_v2(std::exchange(m_db, nullptr));
        m_reading = false;
    }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    bool m_reading = false;
};

} // namespace

// The question comes first; a code that any item uses is never deleted.
TEST_F(CodesWindowTest, DeleteAsksAndRefusesACodeInUse)
{
    struct Row {
        qint16 kind;
        const char *question;
        const char *refusal;
    };
    const Row rows[] = {
        {1, "Delete Category|Are you sure that you want to delete this category description?",
         "Cannot Delete|This category is assigned to an inventory item and cannot be deleted."},
        {2, "Delete Location|Are you sure that you want to delete this location?",
         "Cannot Delete|This location is assigned to an inventory item and cannot be deleted."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.kind);
        addItemUsing(row.kind, addCode(row.kind, QStringLiteral("Used")));
        frmCodesMaint &w = open(row.kind);
        prompts.clear();
        prompts.answer(Prompts::Answer::No);
        w.cmdDelete_Click();
        EXPECT_EQ(shownMessages(), QStringList{row.question});
        EXPECT_EQ(prompts.messages().front().buttons, Prompts::Buttons::YesNo);

        prompts.answer(Prompts::Answer::Yes);
        w.cmdDelete_Click();
        EXPECT_EQ(shownMessages(), (QStringList{row.question, row.question, row.refusal}));
        for (const ScriptedPrompts::Call &call : prompts.messages())
            EXPECT_EQ(call.icon, Prompts::Icon::None);
        EXPECT_EQ(stored(row.kind), QStringList{"Used"});
        EXPECT_EQ(walk(w), QStringList{"Used"});
    }
}

TEST_F(CodesWindowTest, DeletingShowsTheNextCodeOrTheOneBeforeOrNothing)
{
    struct Row {
        QStringList codes; // in description order
        int deleted;       // index in that order
        const char *shownAfter;
    };
    const Row rows[] = {
        {{"Attic", "Bedroom", "Cellar"}, 1, "Cellar"},
        {{"Attic", "Bedroom", "Cellar"}, 0, "Bedroom"},
        {{"Attic", "Bedroom", "Cellar"}, 2, "Bedroom"}, // the last in order: the one before
        {{"Attic"}, 0, ""},                             // the only one: an empty list
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.deleted);
        for (const QString &code : row.codes)
            addCode(2, code);
        frmCodesMaint &w = open(2);
        for (int i = 0; i < row.deleted; ++i)
            w.cmdNext_Click();
        prompts.answer(Prompts::Answer::Yes);
        w.cmdDelete_Click();

        QStringList left = row.codes;
        left.removeAt(row.deleted);
        EXPECT_EQ(w.txtDesc->text(), QString::fromLatin1(row.shownAfter));
        EXPECT_EQ(stateOf(w), left.isEmpty() ? QStringLiteral("Empty") : QStringLiteral("Browse"));
        EXPECT_EQ(stored(2), left);
        EXPECT_EQ(walk(w), left);
        EXPECT_EQ(prompts.messages().size(), 1u) << "only the question";
        startOver();
    }
}

// The check and the delete are one transaction. Here its commit cannot
// complete at first, so the delete is tried again; between the tries
// another program may give an item the code. The code must then stay, and
// the window must go on listing it.
TEST_F(CodesWindowTest, ADeleteRetriedAfterAFailedCommitChecksTheItemsAgain)
{
    for (const bool itemAddedMeanwhile : {true, false}) {
        SCOPED_TRACE(itemAddedMeanwhile);
        addCode(1, QStringLiteral("Books"));
        const qint64 tools = addCode(1, QStringLiteral("Tools"));
        addCode(1, QStringLiteral("Toys"));
        execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
        frmCodesMaint &w = open(1);
        household.dbInventory()->setBusyTimeout(0);
        w.cmdNext_Click();

        Reader reader(folder().file(InventoryFileName));
        ASSERT_TRUE(reader.isReading());
        prompts.answer(Prompts::Answer::Yes); // delete?
        prompts.answerWith([&](const ScriptedPrompts::Call &) {
            reader.stop();
            if (itemAddedMeanwhile)
                addItemUsing(1, tools);
            return Prompts::Answer::Yes; // try again
        });
        w.cmdDelete_Click();

        QStringList expected{
            "Delete Category|Are you sure that you want to delete this category description?",
            "Locked Record|Could not update locked record.  Do you wish to try again?",
        };
        if (itemAddedMeanwhile)
            expected << "Cannot Delete|This category is assigned to an inventory item and cannot be deleted.";
        EXPECT_EQ(shownMessages(), expected);
        EXPECT_EQ(w.txtDesc->text(), itemAddedMeanwhile ? QStringLiteral("Tools") : QStringLiteral("Toys"));
        EXPECT_EQ(stored(1),
                  itemAddedMeanwhile ? (QStringList{"Books", "Tools", "Toys"}) : (QStringList{"Books", "Toys"}));
        EXPECT_EQ(walk(w), stored(1)) << "the window's list agrees with the table";
        startOver();
    }
}
