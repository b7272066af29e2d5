#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "items/PictureFiles.h"
#include "program/Household.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

const QString NoDescription =
    QStringLiteral("No Request Description Entered|You must enter a short description or a long description.|none|ok");
const QString DeleteQuestion =
    QStringLiteral("Delete Inventory Item|Are you sure that you want to delete this Inventory Item?|none|yesno");
const QString NotFound = QStringLiteral("No Records Match|That Inventory Item was not found.|none|ok");

} // namespace

// Every transition of the editor's states, each from a fresh inventory.
TEST_F(ItemWindowTest, StateTransitions)
{
    using Step = std::function<void(frmMain &, ScriptedPrompts &)>;
    const Step nothing = [](frmMain &, ScriptedPrompts &) {};
    const Step edit = [](frmMain &w, ScriptedPrompts &) { QTest::keyClicks(w.txtModel, QStringLiteral("X")); };
    const Step addNew = [](frmMain &w, ScriptedPrompts &) { w.cmdAddNew_Click(); };
    const Step describe = [](frmMain &w, ScriptedPrompts &) {
        QTest::keyClicks(w.txtItem, QStringLiteral("Zebra rug"));
    };
    auto then = [](Step a, Step b) {
        return [a, b](frmMain &w, ScriptedPrompts &p) {
            a(w, p);
            b(w, p);
        };
    };
    auto click = [](void (frmMain::*handler)()) {
        return [handler](frmMain &w, ScriptedPrompts &) { (w.*handler)(); };
    };
    const Step deleteYes = [](frmMain &w, ScriptedPrompts &p) {
        p.answer(Prompts::Answer::Yes);
        w.cmdDelete_Click();
    };
    const Step find = [](frmMain &w, ScriptedPrompts &p) {
        p.answerText(QStringLiteral("charlie"));
        w.cmdFind_Click();
    };
    const Step clearDescription = [](frmMain &w, ScriptedPrompts &) { w.txtItem->clear(); };
    const Step blankDescription = [](frmMain &w, ScriptedPrompts &) { w.txtItem->setText(QStringLiteral("  ")); };

    // What the event shows besides the state: a refusal for want of a
    // description, or the delete question.
    enum class Says { Nothing, NoDescription, DeleteQuestion };
    struct Row {
        const char *name;
        int items;  // Alpha, Bravo, Charlie...
        Step reach; // from the start to the "from" state
        Step event;
        const char *to;
        const char *shown; // description shown afterwards
        int stored;        // items in the table afterwards
        Says says = Says::Nothing;
        bool keepsModel = false; // the edit's model "X", stored or still on screen
    };
    const Row rows[] = {
        {"load with items", 3, nothing, nothing, "Browsing", "Alpha", 3},
        {"load without items", 0, nothing, nothing, "Empty", "", 0},
        {"Next", 3, nothing, click(&frmMain::cmdNext_Click), "Browsing", "Bravo", 3},
        {"Last", 3, nothing, click(&frmMain::cmdLast_Click), "Browsing", "Charlie", 3},
        {"Previous", 3, click(&frmMain::cmdLast_Click), click(&frmMain::cmdPrevious_Click), "Browsing", "Bravo", 3},
        {"First", 3, click(&frmMain::cmdLast_Click), click(&frmMain::cmdFirst_Click), "Browsing", "Alpha", 3},
        {"Find", 3, nothing, find, "Browsing", "Charlie", 3},
        {"Delete one of several", 3, nothing, deleteYes, "Browsing", "Bravo", 2, Says::DeleteQuestion},
        {"Delete the only item", 1, nothing, deleteYes, "Empty", "", 0, Says::DeleteQuestion},
        {"a change in a field", 3, nothing, edit, "Editing", "Alpha", 3},
        {"Add New while browsing", 3, nothing, addNew, "Adding", "", 3},
        {"Add New while empty", 0, nothing, addNew, "Adding", "", 0},
        {"Update of an edit", 3, edit, click(&frmMain::cmdUpdate_Click), "Browsing", "Alpha", 3, Says::Nothing, true},
        {"Cancel of an edit", 3, edit, click(&frmMain::cmdCancel_Click), "Browsing", "Charlie", 3},
        {"Add Another", 3, addNew, then(describe, addNew), "Adding", "", 4},
        {"Update of an addition", 3, addNew, then(describe, click(&frmMain::cmdUpdate_Click)), "Browsing", "Zebra rug",
         4},
        {"Cancel of an addition", 3, addNew, then(describe, click(&frmMain::cmdCancel_Click)), "Browsing", "Charlie",
         3},
        {"Cancel of an addition without items", 0, addNew, then(describe, click(&frmMain::cmdCancel_Click)), "Empty",
         "", 0},
        {"Update of an edit without a description", 3, edit, then(clearDescription, click(&frmMain::cmdUpdate_Click)),
         "Editing", "", 3, Says::NoDescription, true},
        {"Update of an edit with a blank description", 3, edit,
         then(blankDescription, click(&frmMain::cmdUpdate_Click)), "Browsing", "  ", 3, Says::Nothing, true},
        {"Update of an addition without a description", 3, addNew, click(&frmMain::cmdUpdate_Click), "Adding", "", 3,
         Says::NoDescription},
        {"Add Another without a description", 3, addNew, addNew, "Adding", "", 3, Says::NoDescription},
    };
    const char *names[] = {"Alpha", "Bravo", "Charlie"};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        for (int i = 0; i < row.items; ++i)
            addItem({{"Item", names[i]}});
        frmMain &w = start();
        row.reach(w, prompts);
        prompts.clear();
        row.event(w, prompts);
        EXPECT_EQ(stateOf(w), QString::fromLatin1(row.to));
        EXPECT_EQ(w.txtItem->text(), QString::fromLatin1(row.shown));
        EXPECT_EQ(storedCount(), row.stored);
        if (row.keepsModel) {
            EXPECT_EQ(w.txtModel->text(), QStringLiteral("X"));
        }
        EXPECT_EQ(shownMessages(prompts),
                  row.says == Says::NoDescription        ? QStringList{NoDescription}
                      : row.says == Says::DeleteQuestion ? QStringList{DeleteQuestion}
                                                         : QStringList{});
        if (row.says == Says::NoDescription || QString::fromLatin1(row.to) == QLatin1String("Adding")) {
            EXPECT_EQ(QApplication::focusWidget(), w.txtItem);
        }
        TearDown();
        m_folder.reset();
    }
}

TEST_F(ItemWindowTest, MovingPastEitherEndBeepsAndStays)
{
    addItem({{"Item", "Alpha"}});
    addItem({{"Item", "Bravo"}});
    frmMain &w = start();
    w.cmdPrevious_Click();
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), 1);
    w.cmdNext_Click();
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), 1) << "a move to an item is silent";
    w.cmdNext_Click();
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Bravo"));
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), 2);
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing")) << "showing an item starts no edit";
}

TEST_F(ItemWindowTest, AnEmptyInventoryIgnoresMovesAndDeleteAndFindsNothing)
{
    frmMain &w = start();
    w.cmdFirst_Click();
    w.cmdPrevious_Click();
    w.cmdNext_Click();
    w.cmdLast_Click();
    w.cmdDelete_Click();
    prompts.answerText(QStringLiteral("anything"));
    w.cmdFind_Click();
    EXPECT_EQ(shownMessages(prompts), QStringList{NotFound});
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), 0);
    EXPECT_EQ(stateOf(w), QStringLiteral("Empty"));
}

TEST_F(ItemWindowTest, FindMatchesTheStartOfTheDescriptionWithTheUsersWildcards)
{
    for (const char *name : {"Desk lamp", "Floor Lamp", "lamp shade", "LAMP post", "The 12\" ruler", "Ölkanne"})
        addItem({{"Item", QString::fromUtf8(name)}});
    struct Row {
        const char *typed;
        const char *shown;
        bool found;
    };
    const Row rows[] = {
        {"lamp", "LAMP post", true},          // "lamp post" sorts before "lamp shade"
        {"*lamp", "Desk lamp", true},         // a leading star: anywhere in the text
        {"The 12\"", "The 12\" ruler", true}, // a quote is searched for as typed
        {"x\" or \"1\"=\"1", nullptr, false}, // and never becomes part of the statement
        {"öl", "Ölkanne", true},              // case is ignored beyond ASCII
        {"[LF]", "Floor Lamp", true},         // a set of characters
        {"zebra", nullptr, false},
    };
    frmMain &w = start();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        w.cmdFirst_Click();
        prompts.clear();
        prompts.answerText(QString::fromUtf8(row.typed));
        w.cmdFind_Click();
        ASSERT_EQ(prompts.calls().front().kind, ScriptedPrompts::Kind::Input);
        EXPECT_EQ(prompts.calls().front().text, QStringLiteral("Enter the description of the Inventory Item to find:"));
        EXPECT_EQ(prompts.calls().front().title, QStringLiteral("Find Inventory Item"));
        EXPECT_EQ(w.txtItem->text(), row.found ? QString::fromUtf8(row.shown) : QStringLiteral("Desk lamp"));
        EXPECT_EQ(shownMessages(prompts), row.found ? QStringList{} : QStringList{NotFound});
    }
    prompts.clear();
    prompts.answerText(std::nullopt);
    w.cmdFind_Click();
    EXPECT_EQ(prompts.messages().size(), 0u) << "a cancelled box finds nothing and says nothing";
}

TEST_F(ItemWindowTest, DeleteAsksFirstAndTakesThePictureWithTheRecord)
{
    addItem({{"Item", "Alpha"}});
    const qint64 bravo = addItem({{"Item", "Bravo"}});
    const qint64 charlie = addItem({{"Item", "Charlie"}});
    const QString images = folder().path() + ImagesFolderName + QLatin1Char('/');
    for (const QString &name : {ItemFiles::baseName(charlie) + ".jpg", ItemFiles::baseName(bravo) + ".bmp"}) {
        QFile file(images + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    frmMain &w = start();
    w.cmdLast_Click();

    prompts.answer(Prompts::Answer::No);
    w.cmdDelete_Click();
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(shownMessages(prompts), QStringList{DeleteQuestion});

    prompts.answer(Prompts::Answer::Yes);
    w.cmdDelete_Click();
    EXPECT_EQ(storedCount(), 2);
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Bravo")) << "the last item's predecessor";
    EXPECT_FALSE(QFile::exists(images + ItemFiles::baseName(charlie) + ".jpg"));
    EXPECT_TRUE(QFile::exists(images + ItemFiles::baseName(bravo) + ".bmp"));
    EXPECT_EQ(prompts.messages().size(), 2u);
}

TEST_F(ItemWindowTest, ReloadedListsDuringAnEditKeepWhatIsBeingTyped)
{
    const qint64 tools = addCode(QStringLiteral("categories"), QStringLiteral("Tools"));
    addItem({{"Item", "Alpha"}});
    frmMain &w = start();
    QTest::keyClicks(w.txtManufact, QStringLiteral("typed"));
    w.cmbCat->setCurrentIndex(w.cmbCat->findData(int(tools)));
    addCode(QStringLiteral("categories"), QStringLiteral("Added meanwhile"));
    window->CatListChanged = true;
    w.Form_Activate();
    EXPECT_EQ(w.cmbCat->count(), 2);
    EXPECT_EQ(w.cmbCat->currentText(), QStringLiteral("Tools"));
    EXPECT_EQ(w.txtManufact->text(), QStringLiteral("typed"));
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
}
