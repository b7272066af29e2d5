#include "CalendarTestSupport.h"

#include "dates/LocaleFormats.h"
#include "dates/calendar/frmDateEnt.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class CalendarWindowTest : public ::testing::Test {
protected:
    static QString current(const frmDateEnt &w) { return w.Grid1->currentItem()->text(); }

    ScriptedPrompts prompts;
};

} // namespace

TEST_F(CalendarWindowTest, OpensAtPickedDateWithTheLocalesNames)
{
    LocaleGuard guard("de_DE");
    frmDateEnt w(day(2001, 5, 15));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Select Date"));
    EXPECT_EQ(w.txtMonth->text() + u' ' + w.txtYear->text(), QStringLiteral("Mai 2001"));
    EXPECT_EQ(w.Grid1->horizontalHeaderItem(0)->text(), QStringLiteral(" So "));
    EXPECT_EQ(w.Grid1->item(0, 2)->text(), QStringLiteral("1")) << "1 May 2001 was a Tuesday";
    EXPECT_EQ(w.Grid1->selectedItems(), QList<QTableWidgetItem *>{w.Grid1->currentItem()});
    EXPECT_EQ(current(w), QStringLiteral("15"));
}

TEST_F(CalendarWindowTest, KeysMoveThroughTheDaysAndEnterPicks)
{
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    struct Row {
        QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        DateValue picked;
    };
    const Row rows[] = {
        {{}, day(2001, 5, 15)},
        {{{Qt::Key_Down, none}, {Qt::Key_Right, none}}, day(2001, 5, 23)},
        {{{Qt::Key_Up, none}, {Qt::Key_Up, none}, {Qt::Key_Up, none}, {Qt::Key_Left, none}}, day(2001, 4, 23)},
        {{{Qt::Key_PageDown, none}}, day(2001, 6, 15)},
        {{{Qt::Key_PageUp, Qt::ControlModifier}}, day(2000, 5, 15)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(formatShortDate(row.picked).toStdString());
        frmDateEnt w(day(2001, 5, 15));
        for (const auto &[key, modifiers] : row.keys)
            QTest::keyClick(w.Grid1, key, modifiers);
        EXPECT_EQ(w.PickedDate(), day(2001, 5, 15)) << "moving picks nothing";
        EXPECT_EQ(current(w), QString::number(row.picked.date().day()));
        QTest::keyClick(w.Grid1, Qt::Key_Return);
        EXPECT_EQ(w.PickedDate(), row.picked);
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
}

TEST_F(CalendarWindowTest, ClicksOnEmptyCellsDoNothingAndOnADayPick)
{
    frmDateEnt w(day(2001, 5, 15));
    w.show();
    QApplication::setActiveWindow(&w);
    w.txtMonth->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), w.Grid1) << "the month box hands the focus on";
    auto click = [&](int row, int column) {
        QTest::mouseClick(w.Grid1->viewport(), Qt::LeftButton, {},
                          w.Grid1->visualItemRect(w.Grid1->item(row, column)).center());
    };
    click(0, 0);
    click(4, 6);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.PickedDate(), day(2001, 5, 15));
    EXPECT_EQ(current(w), QStringLiteral("15")) << "the highlight stays";
    click(3, 0);
    EXPECT_EQ(w.PickedDate(), day(2001, 5, 20));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(CalendarWindowTest, SpinnersStepAndClosingWithoutAPickKeepsPickedDate)
{
    frmDateEnt w(day(9999, 11, 30));
    w.show();
    w.Spin1.up->click();
    w.Spin2.up->click(); // no year 10000
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), 1);
    EXPECT_EQ(w.txtMonth->text() + u' ' + w.txtYear->text() + u' ' + current(w), QStringLiteral("December 9999 30"));
    w.Spin2.down->click();
    w.Spin1.down->click();
    EXPECT_EQ(w.txtMonth->text() + u' ' + w.txtYear->text(), QStringLiteral("November 9998"));
    QTest::keyClick(w.Grid1, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.PickedDate(), day(9999, 11, 30));
}

TEST_F(CalendarWindowTest, RunsModalUntilADayIsPicked)
{
    frmDateEnt w(day(2001, 5, 15));
    bool wasModal = false;
    QTimer::singleShot(0, &w, [&] {
        wasModal = QApplication::activeModalWidget() == &w;
        w.Grid1_Click(1, 1);
    });
    w.showModal();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(w.PickedDate(), day(2001, 5, 7));
}
