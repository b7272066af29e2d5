#include "CodesWindowFixture.h"

#include <QLineEdit>
#include <QPushButton>

// Description order ignores case, the key breaking ties; Next and Previous
// beep at the ends and stay there.
TEST_F(CodesWindowTest, MovesThroughTheCodesInOrderAndBeepsAtTheEnds)
{
    for (const char *description : {"cherry", "Banana", "apple", "Apple"})
        addCode(2, QString::fromLatin1(description));
    frmCodesMaint &w = open(2);
    EXPECT_EQ(w.txtDesc->text(), QStringLiteral("apple"));
    EXPECT_EQ(walk(w), (QStringList{"apple", "Apple", "Banana", "cherry"}));

    struct Step {
        void (frmCodesMaint::*click)();
        const char *shown;
        int beeps; // so far
    };
    const Step steps[] = {
        {&frmCodesMaint::cmdNext_Click, "cherry", 1}, // on the last already
        {&frmCodesMaint::cmdPrevious_Click, "Banana", 1}, {&frmCodesMaint::cmdFirst_Click, "apple", 1},
        {&frmCodesMaint::cmdPrevious_Click, "apple", 2},  {&frmCodesMaint::cmdLast_Click, "cherry", 2},
    };
    for (const Step &step : steps) {
        (w.*step.click)();
        EXPECT_EQ(w.txtDesc->text(), QString::fromLatin1(step.shown));
        EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), step.beeps);
    }
    EXPECT_EQ(stateOf(w), QStringLiteral("Browse")) << "showing codes is no edit";
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(CodesWindowTest, AnEmptyListHasTheBoxOffAndOnlyAddNewDoesAnything)
{
    frmCodesMaint &w = open(1);
    EXPECT_EQ(stateOf(w), QStringLiteral("Empty"));
    for (QPushButton *button : {w.cmdFirst, w.cmdPrevious, w.cmdNext, w.cmdLast, w.cmdDelete})
        button->click();
    EXPECT_TRUE(prompts.calls().empty()) << "no beep, no question, no failure";
    EXPECT_EQ(stateOf(w), QStringLiteral("Empty"));

    w.cmdAddNew->click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Adding"));
    typeDescription(w, QStringLiteral("Tools"));
    w.cmdUpdate->click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Browse"));
    EXPECT_EQ(w.txtDesc->text(), QStringLiteral("Tools"));
    EXPECT_EQ(stored(1), QStringList{"Tools"});
    EXPECT_TRUE(prompts.calls().empty());
}

// Find matches the beginning of the description, ignoring case, with the
// user's own wildcards; everything else it is given is searched for as typed.
TEST_F(CodesWindowTest, FindMatchesTheBeginningWithTheUsersWildcards)
{
    for (const char *description : {"Kitchen", "Bedroom", "Den \"Blue\"", "attic", "50% shelf", "Bedding", "Garage"})
        addCode(2, QString::fromLatin1(description));
    struct Row {
        std::optional<QString> typed;
        const char *shown; // "Garage" (where each search starts) when nothing matches
    };
    const Row rows[] = {
        {QString(), "50% shelf"},    // an empty text finds the first code
        {std::nullopt, "50% shelf"}, // and so does a cancelled box
        {QStringLiteral("KIT"), "Kitchen"},
        {QStringLiteral("bed"), "Bedding"},   // the first of several in order
        {QStringLiteral("?itch"), "Kitchen"}, // the user's wildcard
        {QStringLiteral("Den \"B"), "Den \"Blue\""},
        {QStringLiteral("\" or \"\"=\""), "Garage"}, // would close a criterion pasted together
        {QStringLiteral("Bed_"), "Garage"},          // SQL's wildcards are plain characters
        {QStringLiteral("%"), "Garage"},
        {QStringLiteral("50%"), "50% shelf"},
        {QStringLiteral("itchen"), "Garage"},
    };
    frmCodesMaint &w = open(2);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed.value_or(QStringLiteral("(cancelled)")).toStdString());
        w.cmdLast_Click();
        w.cmdPrevious_Click();
        ASSERT_EQ(w.txtDesc->text(), QStringLiteral("Garage"));
        prompts.clear();
        prompts.answerText(row.typed);
        w.cmdFind_Click();

        ASSERT_EQ(prompts.count(ScriptedPrompts::Kind::Input), 1);
        EXPECT_EQ(prompts.calls().front().text + QLatin1Char('|') + prompts.calls().front().title,
                  QStringLiteral("Enter the description to find:|Find Code"));
        EXPECT_EQ(w.txtDesc->text(), QString::fromLatin1(row.shown));
        const bool notFound = row.shown == QLatin1String("Garage");
        EXPECT_EQ(shownMessages(),
                  notFound ? QStringList{"No Records Match|That record was not found."} : QStringList{});
    }
}
