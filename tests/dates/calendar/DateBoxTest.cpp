#include "dates/calendar/DateBox.h"
#include "CalendarScript.h"
#include "CalendarTestSupport.h"
#include "focus/FocusReturn.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

const QString Refusal = QStringLiteral("Stowbook|You must enter a valid Purchase Date, or leave the field blank");

// A shown window holding a plain box and two date boxes in that tab order,
// the focus in the first date box. Today is 15 May 2001.
class DateBoxTest : public ::testing::Test {
protected:
    DateBoxTest()
    {
        for (QLineEdit *field : {before, static_cast<QLineEdit *>(box), static_cast<QLineEdit *>(after)})
            layout->addWidget(field);
        host.show();
        QApplication::setActiveWindow(&host);
        box->setFocus();
    }

    DateBox *addBox(const QString &text)
    {
        auto *added = new DateBox(PurchaseDateRole);
        layout->addWidget(added);
        added->show();
        added->setText(text);
        return added;
    }
    // "title|text" of the messages shown, each a plain OK box.
    QStringList messages() const
    {
        QStringList shown;
        for (const ScriptedPrompts::Call &call : prompts.messages()) {
            EXPECT_TRUE(call.icon == Prompts::Icon::None && call.buttons == Prompts::Buttons::Ok);
            shown << call.title + u'|' + call.text;
        }
        return shown;
    }

    ScriptedPrompts prompts;
    TodayGuard clock{QDate(2001, 5, 15)};
    QWidget host;
    QVBoxLayout *layout = new QVBoxLayout(&host);
    QLineEdit *before = new QLineEdit;
    DateBox *box = new DateBox(PurchaseDateRole);
    DateBox *after = new DateBox(PurchaseDateRole);
};

} // namespace

TEST_F(DateBoxTest, PlusAndMinusStepTheDateOrPutTodays)
{
    struct Row {
        const char *locale, *text, *keys;
        const char *expected; // nullptr: beeps, the text stays
    };
    const Row rows[] = {
        {"en_US", "", "++7", "5/16/20017"}, // today, tomorrow, and other keys are typed
        {"en_US", "12/31/2000", "+", "1/1/2001"},
        {"en_GB", "01/03/2000", "-", "29/02/2000"},
        {"en_US", "5/15/2001 2:30 PM", "+", "5/16/2001"},
        {"en_US", "not a date", "-", "5/15/2001"},
        // The locale writes "-" between the parts: the key still steps.
        {"sv_SE", "2001-01-01", "-", "2000-12-31"},
        {"sv_SE", "", "-", "2001-05-15"},
        {"de_DE", "31.12.9999", "+", nullptr},
        {"en_US", "1/1/100", "-", nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.locale) + " " + row.text + " " + row.keys);
        LocaleGuard guard(row.locale);
        prompts.clear();
        box->setText(QString::fromUtf8(row.text));
        QTest::keyClicks(box, row.keys);
        EXPECT_EQ(box->text(), QString::fromUtf8(row.expected ? row.expected : row.text));
        EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), row.expected ? 0 : 1);
    }
}

TEST_F(DateBoxTest, LeavingRefusesWhatIsNeitherADateNorEmpty)
{
    // Only the empty text is empty: blanks are refused.
    for (const auto &[text, refused] :
         {std::pair("", false), std::pair("5/15/2001", false), std::pair("   ", true), std::pair("2/30/2001", true)}) {
        SCOPED_TRACE(text);
        prompts.clear();
        box->setFocus();
        box->setText(QString::fromLatin1(text));
        QSignalSpy accepted(box, &DateBox::leaveAccepted);
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(messages(), refused ? QStringList{Refusal} : QStringList{});
        EXPECT_EQ(QApplication::focusWidget(), refused ? box : after);
        EXPECT_EQ(box->text(), QString::fromLatin1(text)) << "left as typed";
        EXPECT_EQ(accepted.count(), refused ? 0 : 1);
    }
}

TEST_F(DateBoxTest, OnlyTheUserLeavingTheBoxIsChecked)
{
    box->setText(QStringLiteral("soon"));
    QFocusEvent windowSwitch(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(box, &windowSwitch);
    {
        const FocusReturn returning; // another field taking the focus back
        after->setFocus(Qt::OtherFocusReason);
    }
    box->setFocus();
    box->setEnabled(false); // the form switches the box off: the focus moves on
    EXPECT_EQ(messages(), QStringList{});

    // Two refusing boxes: the focus goes back to the first, with one message.
    box->setEnabled(true);
    QWidget::setTabOrder(box, addBox(QStringLiteral("later")));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(messages(), QStringList{Refusal});
    EXPECT_EQ(QApplication::focusWidget(), box);

    // The drop-down button takes the focus first: a refusal keeps the calendar shut.
    const CalendarScript script([](frmDateEnt &) { ADD_FAILURE() << "the calendar opened"; });
    after->dropDownButton()->trigger();
    EXPECT_EQ(messages(), (QStringList{Refusal, Refusal}));
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(after->text(), QString());
}

TEST_F(DateBoxTest, DropDownWritesTheCalendarsDateBackAndMovesOn)
{
    struct Row {
        const char *text;
        DateValue opensAt;
        int pickDay; // 0: closed without a pick
        const char *expected;
    };
    const Row rows[] = {
        {"", day(2001, 5, 15), 0, "5/15/2001"}, // what it started from: today
        {"12/24/1999", day(1999, 12, 24), 3, "12/3/1999"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        box->setText(QString::fromLatin1(row.text));
        box->setFocus();
        const CalendarScript script([&](frmDateEnt &calendar) {
            EXPECT_EQ(calendar.windowTitle(), QStringLiteral("Select Purchase Date Date"));
            EXPECT_EQ(DateValue::fromDate(calendar.page().curDate()), row.opensAt);
            // The box's place counted from the window's outer corner.
            const QPoint boxAt = host.frameGeometry().topLeft() + box->mapTo(&host, QPoint(0, 0));
            EXPECT_EQ(calendar.pos(), boxAt + QPoint(0, qRound(2.5 * box->height())));
            if (row.pickDay)
                calendar.Grid1_Click(cellOf(calendar.page(), row.pickDay).first,
                                     cellOf(calendar.page(), row.pickDay).second);
        });
        if (row.pickDay)
            QTest::keyClick(box, Qt::Key_F4);
        else
            box->dropDownButton()->trigger();
        EXPECT_EQ(box->text(), QString::fromLatin1(row.expected));
        EXPECT_EQ(QApplication::focusWidget(), after) << "the focus moves on as Tab would";
    }
    EXPECT_EQ(messages(), QStringList{});
}
