#include "DesignerFixture.h"

#include "dates/calendar/DateBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// The criteria frames shown, as their indexes.
static QList<int> shownFrames(const frmRptSpec &w)
{
    QList<int> shown;
    for (int type = 1; type <= 5; ++type)
        if (!w.fraSel[std::size_t(type)]->isHidden())
            shown << type;
    return shown;
}

TEST_F(DesignerTest, EachDataTypeShowsExactlyItsCriteriaFrame)
{
    executeOnCatalogue("insert into rptspec (specid, usewith, fieldname, datatype, \"Desc\", defwidth, IsCurrency, "
                       "FileName) values (16, 'items', 'purchdate', 5, 'Bought At', 1, 0, 'items'), "
                       "(17, 'items', 'Notes', 9, 'Odd Kind', 1, 0, 'items')");
    open();
    struct Case {
        const char *caption;
        QList<int> frames;
    };
    const Case cases[] = {
        {"Description", {1}}, {"Quantity", {2}}, {"Purchase Date", {3}}, {"Receipt", {4}},
        {"Bought At", {5}},   {"Odd Kind", {}},  {"Model", {1}},
    };
    for (const Case &c : cases)
        add(c.caption);
    // Each selection hides the frame of the field shown before it.
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        choose(c.caption);
        EXPECT_EQ(shownFrames(*w), c.frames);
    }
    choose("Receipt");
    EXPECT_EQ(shownFrames(*w), QList<int>{4});
}

TEST_F(DesignerTest, NumberCriteriaKeepTheTextOrTheFocus)
{
    open();
    w->show();
    add("Quantity");
    const int quantity = specIdNamed(*w, "Quantity");
    struct Case {
        QLineEdit *box;
        PerField<QString> *values;
    };
    for (const Case c : {Case{w->txtGreater, &w->Design.SelGreater}, Case{w->txtLess, &w->Design.SelLess}}) {
        prompts.clear();
        c.box->setText("1,000.50"); // kept exactly as typed
        leave(c.box);
        EXPECT_EQ((*c.values)[quantity], "1,000.50");

        w->cmdGenerate->setFocus();
        c.box->setText("lots");
        leave(c.box);
        EXPECT_EQ(shownMessages(), QStringList{"Stowbook|You must enter a number or leave this selection field blank"});
        EXPECT_EQ(w->focusWidget(), c.box);
        EXPECT_EQ((*c.values)[quantity], "1,000.50");

        c.box->clear();
        leave(c.box);
        EXPECT_TRUE((*c.values)[quantity].isEmpty());
    }
}

TEST_F(DesignerTest, DateAndTimeCriteriaStoreOnLeaving)
{
    executeOnCatalogue("insert into rptspec (specid, usewith, fieldname, datatype, \"Desc\", defwidth, IsCurrency, "
                       "FileName) values (16, 'items', 'purchdate', 5, 'Bought At', 1, 0, 'items')");
    open();
    struct Case {
        const char *field;
        QLineEdit *(*box)(frmRptSpec &);
        bool start;
        const char *typed;
        DateValue stored;
        const char *message; // empty: accepted
    };
    const auto startDate = [](frmRptSpec &f) -> QLineEdit * { return f.dcStartDate; };
    const auto endDate = [](frmRptSpec &f) -> QLineEdit * { return f.dcEndDate; };
    const auto startTime = [](frmRptSpec &f) { return f.txtStartTime; };
    const auto endTime = [](frmRptSpec &f) { return f.txtEndTime; };
    const QString badDate = "You must enter a valid date or leave this selection field blank.";
    const QString badTime = "You must enter a valid time or leave this selection field blank.";
    const DateValue march15 = DateValue::fromDate(QDate(2023, 3, 15));
    const DateValue halfPastThree = DateValue::fromTime(QTime(15, 30));
    const Case cases[] = {
        {"Purchase Date", startDate, true, "3/15/2023", march15, ""},
        {"Purchase Date", endDate, false, "3/15/2023", march15, ""},
        {"Purchase Date", startDate, true, "", DateValue(), ""},
        {"Purchase Date", endDate, false, "soon", march15, "date"}, // the value before stays
        {"Bought At", startTime, true, "3:30 PM", halfPastThree, ""},
        {"Bought At", endTime, false, "12:00 AM", DateValue(), ""}, // midnight is no criterion
        {"Bought At", startTime, true, " ", halfPastThree, "time"},
    };
    add("Purchase Date");
    add("Bought At");
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.typed);
        prompts.clear();
        choose(c.field);
        const int id = specIdNamed(*w, c.field);
        QLineEdit *box = c.box(*w);
        box->setText(QString::fromLatin1(c.typed));
        leave(box);
        EXPECT_EQ((c.start ? w->Design.SelStart : w->Design.SelEnd)[id], c.stored);
        const QString expected = QString::fromLatin1(c.message);
        EXPECT_EQ(shownMessages(),
                  expected.isEmpty() ? QStringList()
                                     : QStringList{"Stowbook|" + (expected == "date" ? badDate : badTime)});
    }
    // Shown again from the arrays: 0 as an empty box.
    choose("Purchase Date");
    EXPECT_TRUE(w->dcStartDate->text().isEmpty());
    EXPECT_EQ(w->dcEndDate->text(), "3/15/2023");
    choose("Bought At");
    EXPECT_EQ(w->txtStartTime->text(), "3:30 PM");
    EXPECT_TRUE(w->txtEndTime->text().isEmpty());
}

TEST_F(DesignerTest, OtherDetailsStoreOnLeavingAndShowAgain)
{
    open();
    add("Receipt");
    add("Quantity");
    add("Model");
    const int receipt = specIdNamed(*w, "Receipt");
    const int quantity = specIdNamed(*w, "Quantity");
    const int model = specIdNamed(*w, "Model");

    w->txtStarting->setText("Sony");
    leave(w->txtStarting);
    choose("Quantity");
    w->chkTotal->setChecked(true);
    leave(w->chkTotal);
    choose("Receipt");
    EXPECT_FALSE(w->optTrue->isChecked() || w->optFalse->isChecked());
    w->optFalse->setChecked(true);
    leave(w->optFalse);
    leave(w->optTrue); // off: stores nothing

    EXPECT_EQ(w->Design.SelStartsWith[model], "Sony");
    EXPECT_TRUE(w->Design.FieldTotal[quantity]);
    EXPECT_FALSE(w->Design.SelTrue[receipt]);
    EXPECT_TRUE(w->Design.SelFalse[receipt]);

    choose("Model");
    EXPECT_EQ(w->txtStarting->text(), "Sony");
    choose("Quantity");
    EXPECT_TRUE(w->chkTotal->isChecked());
    choose("Receipt");
    EXPECT_TRUE(w->optFalse->isChecked());
    EXPECT_FALSE(w->optTrue->isChecked());
}
