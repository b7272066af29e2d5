// The record editor without windows: a form of one field over the
// categories of a real inventory, driven command by command.
#include "records/RecordEditor.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "data/Inventory.h"
#include "program/Household.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <utility>

namespace {

// The rows' steps reach the form and the prompts through the fixture.
class RecordEditorTest : public ::testing::Test {
public:
    void SetUp() override { household.openInventory(); }
    void TearDown() override
    {
        editor.reset();
        records.reset();
        household.closeInventory();
    }

    // The window's state, as the window tests name it, when the flags, the
    // button sets, the caption and the field agree on exactly one.
    QString state() const
    {
        if (!editSet && !editor->changing() && !editor->adding() && addShown && caption == RecordEditor::AddNewCaption)
            return fieldOn ? QStringLiteral("Browse") : QStringLiteral("Empty");
        if (editSet && fieldOn && editor->changing() && !editor->adding() && !addShown)
            return QStringLiteral("Editing");
        if (editSet && fieldOn && editor->adding() && !editor->changing() && addShown
            && caption == RecordEditor::AddAnotherCaption)
            return QStringLiteral("Adding");
        return QStringLiteral("inconsistent");
    }

    // Starts over on these categories, with the first one shown.
    void start(const QStringList &descriptions, bool cancelShowsLast = false)
    {
        editor.reset();
        records.reset();
        household.dbInventory()->execute(QStringLiteral("delete from categories"));
        for (const QString &description : descriptions)
            household.dbInventory()->execute(QStringLiteral("insert into categories (catDesc) values (?)"),
                                             {description});
        records = household.dbInventory()->openRecordset(
            QStringLiteral("select catid as id, catdesc as descr from categories order by catid"),
            RecordsetType::Dynaset);
        editor = std::make_unique<RecordEditor>(
            household,
            RecordForm{
                .keyColumn = QStringLiteral("id"),
                .cancelShowsLast = cancelShowsLast,
                .records = [this]() -> Recordset & {
                    if (std::exchange(failNextUse, false))
                        throw DbError(DbError::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
                    return *records;
                },
                .recordCount = [this] { return records->recordCount(); },
                .showRecord =
                    [this] {
                        const RecordEditor::Filling filling(*editor);
                        field = records->value(QStringLiteral("descr")).toString();
                    },
                .clearRecord = [this] { field.clear(); },
                .enableFields = [this] { fieldOn = true; },
                .disableFields = [this] { fieldOn = false; },
                .showBrowseButtons =
                    [this] {
                        editSet = false;
                        addShown = true;
                    },
                .showEditButtons = [this] { editSet = true; },
                .hideAddButton = [this] { addShown = false; },
                .setAddCaption = [this](const QString &text) { caption = text; },
                .focusFirstField = [this] { ++focused; },
                .readyToStore = [this] { return !field.isEmpty(); },
                .saveRecord =
                    [this] {
                        bool set = false;
                        household.trapDb([&] {
                            records->setValue(QStringLiteral("descr"), field);
                            set = true;
                        });
                        const bool stored = editor->store(set);
                        failNextUse = stored && failUseAfterStore;
                        return stored;
                    },
            });
        field.clear();
        fieldOn = records->recordCount() > 0;
        editSet = false;
        addShown = true;
        caption = RecordEditor::AddNewCaption;
        focused = 0;
        if (fieldOn)
            editor->moveFirst();
        prompts.clear();
    }

    // Typing in the field: its change event.
    void type(const QString &text)
    {
        field = text;
        editor->beginEdit();
    }
    void deleteShown(std::function<bool(const QVariant &)> remove = {})
    {
        if (!remove)
            remove = [this](const QVariant &) { return editor->deleteCurrent(); };
        editor->deleteRecord({QStringLiteral("Delete it?"), QStringLiteral("Delete")}, remove);
    }
    QStringList stored()
    {
        QStringList out;
        auto rows = household.dbInventory()->openRecordset(
            QStringLiteral("select catdesc from categories order by catid"), RecordsetType::Snapshot);
        for (; !rows->eof(); rows->moveNext())
            out << rows->value(0).toString();
        return out;
    }
    QStringList shownMessages() const
    {
        QStringList out;
        for (const ScriptedPrompts::Call &call : prompts.messages())
            out << call.title + QLatin1Char('|') + call.text;
        return out;
    }

    ScriptedPrompts prompts;
    TestDataFolder folder;
    Household household{folder.path()};
    std::unique_ptr<Recordset> records;
    std::unique_ptr<RecordEditor> editor;
    QString field;
    bool fieldOn = false;
    bool editSet = false;
    bool addShown = true;
    QString caption;
    int focused = 0;
    bool failUseAfterStore = false; // the first use of the recordset after a store fails
    bool failNextUse = false;
};

using Step = std::function<void(RecordEditorTest &)>;

} // namespace

TEST_F(RecordEditorTest, EveryCommandLeavesTheStateAndTheRecordsItShould)
{
    const QStringList abc{"Alpha", "Bravo", "Charlie"};
    struct Row {
        const char *name;
        QStringList codes;
        bool cancelShowsLast;
        std::function<void(RecordEditorTest &, RecordEditor &)> steps;
        const char *state;
        const char *shown;
        QStringList stored;
        int beeps;
        QStringList messages;
    };
    const QStringList none;
    const QStringList asked{"Delete|Delete it?"};
    const Row rows[] = {
        {"moves past either end beep and stay", abc, false,
         [](auto &, auto &e) {
             e.movePrevious();
             e.moveLast();
             e.moveNext();
         },
         "Browse", "Charlie", abc, 2, none},
        {"moves and Delete without records do nothing",
         {},
         false,
         [](auto &t, auto &e) {
             e.moveFirst();
             e.moveNext();
             e.movePrevious();
             e.moveLast();
             t.deleteShown();
         },
         "Empty",
         "",
         {},
         0,
         none},
        // The key finds the record again: its place in the order is kept.
        {"Update of an edit",
         abc,
         false,
         [](auto &t, auto &e) {
             e.moveNext();
             t.type("Bee");
             e.update();
         },
         "Browse",
         "Bee",
         {"Alpha", "Bee", "Charlie"},
         0,
         none},
        {"Update of an addition shows the new record", abc, false,
         [](auto &t, auto &e) {
             e.addNew();
             t.type("Zulu");
             e.update();
         },
         "Browse", "Zulu", abc + QStringList{"Zulu"}, 0, none},
        {"Add Another stores and goes on adding",
         {"Alpha"},
         false,
         [](auto &t, auto &e) {
             e.addNew();
             t.type("X");
             e.addNew();
             t.type("Y");
             e.addNew();
         },
         "Adding",
         "",
         {"Alpha", "X", "Y"},
         0,
         none},
        {"Add New without records switches the field on",
         {},
         false,
         [](auto &, auto &e) { e.addNew(); },
         "Adding",
         "",
         {},
         0,
         none},
        {"Update refused by the window stores nothing", abc, false,
         [](auto &t, auto &e) {
             t.type("");
             e.update();
         },
         "Editing", "", abc, 0, none},
        {"Cancel of an edit shows the record as stored", abc, false,
         [](auto &t, auto &e) {
             e.moveNext();
             t.type("typed");
             e.cancel();
         },
         "Browse", "Bravo", abc, 0, none},
        {"Cancel of an edit, where Cancel shows the last record", abc, true,
         [](auto &t, auto &e) {
             e.moveNext();
             t.type("typed");
             e.cancel();
         },
         "Browse", "Charlie", abc, 0, none},
        {"Cancel of an addition shows the last record", abc, false,
         [](auto &t, auto &e) {
             e.addNew();
             t.type("typed");
             e.cancel();
         },
         "Browse", "Charlie", abc, 0, none},
        {"Cancel of an addition without records",
         {},
         false,
         [](auto &t, auto &e) {
             e.addNew();
             t.type("typed");
             e.cancel();
         },
         "Empty",
         "",
         {},
         0,
         none},
        {"Delete answered No", abc, false,
         [](auto &t, auto &) {
             t.prompts.answer(Prompts::Answer::No);
             t.deleteShown();
         },
         "Browse", "Alpha", abc, 0, asked},
        {"Delete shows the next record",
         abc,
         false,
         [](auto &t, auto &e) {
             e.moveNext();
             t.prompts.answer(Prompts::Answer::Yes);
             t.deleteShown();
         },
         "Browse",
         "Charlie",
         {"Alpha", "Charlie"},
         0,
         asked},
        {"Delete of the last record shows the one before",
         abc,
         false,
         [](auto &t, auto &e) {
             e.moveLast();
             t.prompts.answer(Prompts::Answer::Yes);
             t.deleteShown();
         },
         "Browse",
         "Bravo",
         {"Alpha", "Bravo"},
         0,
         asked},
        {"Delete of the only record empties and switches off",
         {"Alpha"},
         false,
         [](auto &t, auto &) {
             t.prompts.answer(Prompts::Answer::Yes);
             t.deleteShown();
         },
         "Empty",
         "",
         {},
         0,
         asked},
        {"a removal that keeps the record stays on it", abc, false,
         [](auto &t, auto &) {
             t.prompts.answer(Prompts::Answer::Yes);
             t.deleteShown([](const QVariant &) { return false; });
         },
         "Browse", "Alpha", abc, 0, asked},
        {"Find shows the first match", abc, false,
         [](auto &, auto &e) { e.find(QStringLiteral("wlike(descr, ?)"), {QStringLiteral("*r*")}, "none"); }, "Browse",
         "Bravo", abc, 0, none},
        {"Find without a match tells it and stays",
         abc,
         false,
         [](auto &, auto &e) { e.find(QStringLiteral("wlike(descr, ?)"), {QStringLiteral("z*")}, "Not there."); },
         "Browse",
         "Alpha",
         abc,
         0,
         {"No Records Match|Not there."}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        start(row.codes, row.cancelShowsLast);
        row.steps(*this, *editor);
        EXPECT_EQ(state(), QString::fromLatin1(row.state));
        EXPECT_EQ(field, QString::fromLatin1(row.shown));
        EXPECT_EQ(stored(), row.stored);
        EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), row.beeps);
        EXPECT_EQ(shownMessages(), row.messages);
        if (QString::fromLatin1(row.state) == QLatin1String("Adding")) {
            EXPECT_GT(focused, 0) << "adding puts the focus in the field";
        }
    }
}

// Every write of the editor runs in the lock-retry loop: a lock held by
// another connection is waited out, and the write goes through once free.
TEST_F(RecordEditorTest, EveryWriteWaitsOutAnotherProgramsLock)
{
    struct Row {
        const char *name;
        Step prepare; // before the lock is taken
        Step write;
        QStringList stored;
    };
    const Row rows[] = {
        {"Update of an edit", [](auto &t) { t.type("Bee"); }, [](auto &t) { t.editor->update(); }, {"Bee", "Bravo"}},
        {"Add Another",
         [](auto &t) {
             t.editor->addNew();
             t.type("Zulu");
         },
         [](auto &t) { t.editor->addNew(); },
         {"Alpha", "Bravo", "Zulu"}},
        {"Delete",
         [](auto &t) { t.prompts.answer(Prompts::Answer::Yes); },
         [](auto &t) { t.deleteShown(); },
         {"Bravo"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        start({"Alpha", "Bravo"});
        household.dbInventory()->setBusyTimeout(0);
        row.prepare(*this);
        auto other = Database::open(folder.file(InventoryFileName));
        std::optional<Transaction> held(std::in_place, *other);
        prompts.answerWith([&](const ScriptedPrompts::Call &) {
            held.reset();
            return Prompts::Answer::Yes;
        });
        row.write(*this);
        EXPECT_EQ(stored(), row.stored);
        EXPECT_EQ(shownMessages().filter(QStringLiteral("Locked Record|")).size(), 1);
    }
}

// A statement of the connection left part way through its rows keeps a read
// open; after each write the editor frees it, also when nothing was written.
TEST_F(RecordEditorTest, LocksAreFreedAfterEveryWriteAndDelete)
{
    const std::pair<const char *, Step> rows[] = {
        {"store",
         [](auto &t) {
             t.editor->addNew();
             t.type("Zulu");
             t.editor->update();
         }},
        {"store without fields",
         [](auto &t) {
             t.records->edit();
             t.editor->store(false);
         }},
        {"delete", [](auto &t) { t.editor->deleteCurrent(); }},
    };
    for (const auto &[name, write] : rows) {
        SCOPED_TRACE(name);
        start({"Alpha", "Bravo"});
        Statement reading(household.dbInventory()->handle(), QStringLiteral("select catid from categories"));
        ASSERT_TRUE(reading.step());
        ASSERT_TRUE(sqlite3_stmt_busy(reading.get()));
        write(*this);
        EXPECT_FALSE(sqlite3_stmt_busy(reading.get()));
    }
}

// A store that fails keeps the typing on screen and the state, so nothing
// is lost; Cancel then shows the stored record, not the typed one.
TEST_F(RecordEditorTest, AFailedStoreKeepsTheTypingAndCancelShowsWhatIsStored)
{
    start({"Alpha", "Bravo"});
    household.dbInventory()->execute(
        QStringLiteral("create trigger refuse before update on categories begin select raise(abort, 'refused'); end"));
    type("typed");
    editor->update();
    EXPECT_EQ(state(), QStringLiteral("Editing"));
    EXPECT_EQ(field, QStringLiteral("typed"));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("refused")));
    editor->cancel();
    EXPECT_EQ(state(), QStringLiteral("Browse"));
    EXPECT_EQ(field, QStringLiteral("Alpha"));
    EXPECT_EQ(stored(), (QStringList{"Alpha", "Bravo"}));
}

// Update finds the stored record again by its key. When that search fails,
// the fields must still show the record the recordset stands on, else the
// next edit would change another record than the one on screen.
TEST_F(RecordEditorTest, AfterAFailedSearchUpdateShowsTheCurrentRecord)
{
    start({"Alpha", "Bravo"});
    editor->moveLast();
    editor->addNew();
    type("Zulu");
    failUseAfterStore = true;
    editor->update();
    EXPECT_EQ(stored(), (QStringList{"Alpha", "Bravo", "Zulu"}));
    EXPECT_EQ(state(), QStringLiteral("Browse"));
    EXPECT_EQ(field, records->value(QStringLiteral("descr")).toString());
    EXPECT_EQ(prompts.messages().size(), 1u) << "the failed search is reported";
}
