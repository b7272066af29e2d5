#include "CodesWindowFixture.h"

#include "help/viewer/HelpKey.h"
#include "program/Household.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sqlite3.h>

namespace {

// True when a statement of the connection is part way through its rows,
// which keeps a read open on the file.
bool holdsARead(const Database &db)
{
    for (sqlite3_stmt *s = sqlite3_next_stmt(db.handle(), nullptr); s; s = sqlite3_next_stmt(db.handle(), s)) {
        if (sqlite3_stmt_busy(s))
            return true;
    }
    return false;
}

} // namespace

// Opening the window, and each later activation of it, tells the main window
// to read that list again, even when nothing is changed.
TEST_F(CodesWindowTest, ActivationMarksItsOwnListForReloading)
{
    QWidget elsewhere;
    elsewhere.show();
    // The main window's flags, as it keeps them from what the household tells.
    bool CatListChanged = false;
    bool LocListChanged = false;
    QObject::connect(&household, &Household::codeListChanged,
                     [&](int kind) { (kind == 1 ? CatListChanged : LocListChanged) = true; });
    for (qint16 kind : {1, 2}) {
        SCOPED_TRACE(kind);
        CatListChanged = false;
        LocListChanged = false;
        frmCodesMaint &w = open(kind);
        EXPECT_EQ(CatListChanged, kind == 1);
        EXPECT_EQ(LocListChanged, kind == 2);

        // The main window has read its list; the user comes back here.
        CatListChanged = false;
        LocListChanged = false;
        QApplication::setActiveWindow(&elsewhere);
        EXPECT_FALSE(CatListChanged || LocListChanged);
        QApplication::setActiveWindow(&w);
        EXPECT_EQ(CatListChanged, kind == 1);
        EXPECT_EQ(LocListChanged, kind == 2);
    }
}

// Closing by the frame does what OK does: rsCodes is closed, no read is left
// open, nothing typed is stored, and the window goes.
TEST_F(CodesWindowTest, ClosingByTheFrameReleasesTheListLikeOk)
{
    addCode(1, QStringLiteral("Books"));
    struct Row {
        const char *how;
        bool adding; // Add New first
        bool typing; // a description typed and not updated
        bool byOk;   // closed by OK, else by the frame
    };
    const Row rows[] = {
        {"OK", false, false, true},
        {"frame", false, false, false},
        {"frame during an edit", false, true, false},
        {"frame during an addition", true, true, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.how);
        frmCodesMaint &w = open(1);
        if (row.adding)
            w.cmdAddNew_Click();
        if (row.typing)
            typeDescription(w, QStringLiteral("Never stored"));
        if (row.byOk)
            w.cmdOK->click();
        else
            EXPECT_TRUE(w.close());

        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.rsCodes, nullptr);
        EXPECT_FALSE(holdsARead(household.inventory()));
        processDeferredDeletes();
        EXPECT_EQ(frmCodesMaint::instance(), nullptr);
        EXPECT_EQ(stored(1), QStringList{"Books"});
    }
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(CodesWindowTest, AfterTheInventoryIsRepairedTheOpenWindowGoesOn)
{
    for (const char *code : {"Books", "Garden", "Tools"})
        addCode(1, QString::fromLatin1(code));
    frmCodesMaint &w = open(1);
    w.cmdNext_Click();
    ASSERT_EQ(w.txtDesc->text(), QStringLiteral("Garden"));
    // The program's repair replaces the inventory's connection under the
    // open window (here of a sound file, which is simply rebuilt).
    household.setDataFolder(folder().path());
    household.HandleDbError(DbError(DbError::NotDatabase, QStringLiteral("file is not a database")));
    ASSERT_EQ(prompts.messages().size(), 1u);
    ASSERT_EQ(prompts.messages().front().title, QStringLiteral("Database Repaired"));
    prompts.clear();

    w.cmdNext_Click();
    EXPECT_EQ(w.txtDesc->text(), QStringLiteral("Tools")) << "the list goes on from the code shown";
    typeDescription(w, QStringLiteral("Tools and Hardware"));
    w.cmdUpdate_Click();
    EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join(u'\n').toStdString();
    // The repaired file is held exclusively: read through the program's own connection.
    EXPECT_EQ(household.dbInventory()
                  ->scalar(QStringLiteral("select group_concat(catDesc, ',') from "
                                          "(select catDesc from categories order by catid)"))
                  .toString(),
              QStringLiteral("Books,Garden,Tools and Hardware"));
    EXPECT_EQ(stateOf(w), QStringLiteral("Browse"));
}

// One window serves both lists: asked for the other list it drops what is
// under way and shows that list as if just opened; asked for the same list
// it keeps everything.
TEST_F(CodesWindowTest, AskedForTheOtherListTheOneWindowReloads)
{
    addCode(1, QStringLiteral("Tools"));
    addCode(1, QStringLiteral("books"));
    frmCodesMaint &w = open(1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Maintain Categories"));
    EXPECT_EQ(w.txtDesc->text(), QStringLiteral("books")) << "order ignores case";
    w.cmdNext_Click();
    typeDescription(w, QStringLiteral("Typed for the categories"));
    EXPECT_EQ(&open(1), &w);
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));

    // There are no locations: the list is empty.
    EXPECT_EQ(&open(2), &w);
    EXPECT_EQ(w.windowTitle() + QLatin1Char('|') + w.lblDesc->text(),
              QStringLiteral("Maintain Locations|Location Description"));
    EXPECT_EQ(stateOf(w), QStringLiteral("Empty"));
    EXPECT_EQ(w.txtDesc->text(), QString());
    EXPECT_TRUE(w.cmdOK->isDefault());
    EXPECT_EQ(stored(1), (QStringList{"Tools", "books"})) << "the edit was dropped";

    w.cmdAddNew_Click();
    typeDescription(w, QStringLiteral("Typed for the locations"));
    EXPECT_EQ(&open(1), &w);
    EXPECT_EQ(w.windowTitle() + QLatin1Char('|') + w.lblDesc->text(),
              QStringLiteral("Maintain Categories|Category Description"));
    EXPECT_EQ(stateOf(w), QStringLiteral("Browse")) << "the box is on again for a list with codes";
    EXPECT_EQ(w.txtDesc->text(), QStringLiteral("books"));
    EXPECT_TRUE(stored(2).isEmpty());

    const std::initializer_list<QWidget *> controls{&w,          w.txtDesc, w.cmdFirst,  w.cmdPrevious,
                                                    w.cmdNext,   w.cmdLast, w.cmdAddNew, w.cmdDelete,
                                                    w.cmdCancel, w.cmdFind, w.cmdUpdate, w.cmdOK};
    for (const int topic : {31, 32}) {
        open(qint16(topic - 30));
        for (QWidget *control : controls)
            EXPECT_EQ(helpTopic(control), topic) << control->objectName().toStdString();
    }
    EXPECT_TRUE(prompts.calls().empty());
}
