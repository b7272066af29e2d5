// The category window under real hands: access keys, Enter and Escape on
// the shown, active window, and what they leave in the database.
#include "DesktopFixture.h"

#include "codes/window/frmCodesMaint.h"

#include <QLineEdit>
#include <QPushButton>

class CodesKeysTest : public DesktopTest {
protected:
    frmCodesMaint &openCategories()
    {
        start();
        frmCodesMaint *codes = frmCodesMaint::showCodesMaint(household, window.get(), 1);
        EXPECT_TRUE(waitUntilActive(codes));
        return *codes;
    }
    QString storedCategories()
    {
        return storedText(QStringLiteral("select group_concat(catDesc, ',') from (select catDesc from categories "
                                         "order by catid)"));
    }
};

TEST_F(CodesKeysTest, UpdateAddAnotherAndFirstByTheirKeys)
{
    addCode(QStringLiteral("categories"), QStringLiteral("Garden"));
    addCode(QStringLiteral("categories"), QStringLiteral("Tools"));
    frmCodesMaint &codes = openCategories();
    ASSERT_EQ(codes.txtDesc->text(), QStringLiteral("Garden"));

    alt('n');
    EXPECT_EQ(codes.txtDesc->text(), QStringLiteral("Tools"));
    // &First and &Find share F: from Next the focus goes to Find, then
    // round to First; Enter presses it.
    alt('f');
    EXPECT_EQ(focus(), codes.cmdFind);
    alt('f');
    EXPECT_EQ(focus(), codes.cmdFirst);
    press(Qt::Key_Return);
    EXPECT_EQ(codes.txtDesc->text(), QStringLiteral("Garden"));

    // A rename stored by Alt+U.
    click(codes.txtDesc);
    press(Qt::Key_End);
    type(QStringLiteral(" and Patio"));
    alt('u');
    EXPECT_EQ(storedCategories(), QStringLiteral("Garden and Patio,Tools"));
    EXPECT_TRUE(codes.cmdOK->isVisible()) << "browsing again";
    EXPECT_EQ(codes.txtDesc->cursorPosition(), 0) << "shown from its beginning";

    // Two codes in a row by Alt+A, the second stored by Alt+U.
    alt('a');
    type(QStringLiteral("Kitchen"));
    alt('a');
    EXPECT_EQ(codes.txtDesc->text(), QString());
    type(QStringLiteral("Linens"));
    alt('u');
    EXPECT_EQ(storedCategories(), QStringLiteral("Garden and Patio,Tools,Kitchen,Linens"));
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(CodesKeysTest, EscapeCancelsAnEditAndNeverClosesTheWindow)
{
    addCode(QStringLiteral("categories"), QStringLiteral("Garden"));
    frmCodesMaint &codes = openCategories();
    click(codes.txtDesc);
    type(QStringLiteral("Gardening"));
    ASSERT_TRUE(codes.cmdCancel->isVisible());
    press(Qt::Key_Escape);
    EXPECT_FALSE(codes.cmdCancel->isVisible()) << "browsing again";
    EXPECT_EQ(codes.txtDesc->text(), QStringLiteral("Garden"));
    press(Qt::Key_Escape);
    EXPECT_TRUE(codes.isVisible()) << "Escape while browsing closes nothing";
    EXPECT_EQ(storedCategories(), QStringLiteral("Garden"));
}
