#include "CodesWindowFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

TEST_F(CodesWindowTest, AddNewAddAnotherThenUpdateStoresBothAndShowsTheSecond)
{
    addCode(1, QStringLiteral("Furniture"));
    frmCodesMaint &w = open(1);
    w.cmdAddNew->click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Adding"));
    EXPECT_TRUE(w.cmdAddNew->isDefault());

    typeDescription(w, QStringLiteral("Tools"));
    QTest::keyClick(w.txtDesc, Qt::Key_Return); // the default button: Add Another
    EXPECT_EQ(stateOf(w), QStringLiteral("Adding"));
    EXPECT_EQ(w.txtDesc->text(), QString());
    EXPECT_EQ(stored(1), (QStringList{"Furniture", "Tools"}));

    typeDescription(w, QStringLiteral("Appliances"));
    w.cmdUpdate->click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Browse"));
    EXPECT_EQ(w.txtDesc->text(), QStringLiteral("Appliances"));
    EXPECT_EQ(stored(1), (QStringList{"Furniture", "Tools", "Appliances"}));
    EXPECT_TRUE(w.cmdAddNew->isDefault()) << "Update leaves the default button where it was";
    EXPECT_TRUE(prompts.calls().empty());
}

// The list is read once: codes added in the window come after all others,
// and a renamed code keeps its place, until the window is opened again.
TEST_F(CodesWindowTest, CodesAddedOrRenamedKeepTheirPlaceUntilTheWindowIsOpenedAgain)
{
    for (const char *description : {"Bedroom", "Kitchen"})
        addCode(2, QString::fromLatin1(description));
    frmCodesMaint &w = open(2);
    w.cmdAddNew_Click();
    typeDescription(w, QStringLiteral("Attic"));
    w.cmdUpdate_Click();
    w.cmdFirst_Click();
    typeDescription(w, QStringLiteral("Zoo room")); // renames Bedroom
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
    w.cmdUpdate_Click();
    EXPECT_EQ(w.txtDesc->text(), QStringLiteral("Zoo room"));
    EXPECT_EQ(walk(w), (QStringList{"Zoo room", "Kitchen", "Attic"}));

    w.cmdOK_Click();
    processDeferredDeletes();
    EXPECT_EQ(walk(open(2)), (QStringList{"Attic", "Kitchen", "Zoo room"}));
    EXPECT_EQ(stored(2), (QStringList{"Zoo room", "Kitchen", "Attic"}));
}

// An empty description is refused in either state with the list's own text,
// and the state is kept; Cancel then discards what was typed.
TEST_F(CodesWindowTest, UpdateWithoutADescriptionIsRefusedAndCancelDiscards)
{
    struct Row {
        qint16 kind;
        bool adding;
        void (frmCodesMaint::*store)();
        const char *shownAfterCancel;
    };
    const Row rows[] = {
        {1, true, &frmCodesMaint::cmdUpdate_Click, "Tools"},  // the last code in order
        {1, true, &frmCodesMaint::cmdAddNew_Click, "Tools"},  // Add Another
        {1, false, &frmCodesMaint::cmdUpdate_Click, "Books"}, // the stored text again
        {2, true, &frmCodesMaint::cmdUpdate_Click, "Hall"},   {2, false, &frmCodesMaint::cmdUpdate_Click, "Attic"},
    };
    const QString missing[] = {{},
                               QStringLiteral("Missing Data|You must enter a category name (or press Cancel)"),
                               QStringLiteral("Missing Data|You must enter a location name (or press Cancel)")};
    for (const char *description : {"Tools", "Books"})
        addCode(1, QString::fromLatin1(description));
    for (const char *description : {"Hall", "Attic"})
        addCode(2, QString::fromLatin1(description));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.shownAfterCancel);
        frmCodesMaint &w = open(row.kind);
        w.cmdFirst_Click();
        if (row.adding)
            w.cmdAddNew_Click();
        typeDescription(w, QString());
        const QString before = stateOf(w);
        ASSERT_EQ(before, QLatin1String(row.adding ? "Adding" : "Editing"));
        prompts.clear();
        (w.*row.store)();
        EXPECT_EQ(shownMessages(), QStringList{missing[row.kind]});
        EXPECT_EQ(stateOf(w), before);

        w.cmdCancel->click();
        EXPECT_EQ(stateOf(w), QStringLiteral("Browse"));
        EXPECT_EQ(w.txtDesc->text(), QString::fromLatin1(row.shownAfterCancel));
        EXPECT_TRUE(w.cmdOK->isDefault());
    }
    EXPECT_EQ(stored(1), (QStringList{"Tools", "Books"}));
    EXPECT_EQ(stored(2), (QStringList{"Hall", "Attic"}));
}

// A store that fails is reported and leaves the typed code on screen in its
// state, so nothing typed is lost: Update can be pressed again, and Cancel
// shows what is stored.
TEST_F(CodesWindowTest, AFailedStoreKeepsTheTypedText)
{
    addCode(1, QStringLiteral("Books"));
    for (const char *write : {"insert", "update"}) {
        SCOPED_TRACE(write);
        const bool adding = QByteArray(write) == "insert";
        execute(QStringLiteral("create trigger refuse before %1 on categories "
                               "begin select raise(abort, 'refused for the test'); end")
                    .arg(QString::fromLatin1(write)));
        frmCodesMaint &w = open(1);
        if (adding)
            w.cmdAddNew_Click();
        typeDescription(w, QStringLiteral("Tools"));
        const QString before = stateOf(w);
        prompts.clear();
        w.cmdUpdate_Click();
        EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("Stowbook|19  refused for the test")});
        EXPECT_EQ(stateOf(w), before);
        EXPECT_EQ(w.txtDesc->text(), QStringLiteral("Tools"));
        EXPECT_EQ(stored(1), QStringList{"Books"});

        execute(QStringLiteral("drop trigger refuse"));
        if (adding) {
            w.cmdUpdate_Click();
            EXPECT_EQ(stateOf(w), QStringLiteral("Browse"));
            EXPECT_EQ(w.txtDesc->text(), QStringLiteral("Tools"));
            EXPECT_EQ(stored(1), (QStringList{"Books", "Tools"}));
            execute(QStringLiteral("delete from categories where catDesc = 'Tools'"));
        } else {
            w.cmdCancel_Click();
            EXPECT_EQ(w.txtDesc->text(), QStringLiteral("Books"));
        }
        w.cmdOK_Click();
        processDeferredDeletes();
    }
}
