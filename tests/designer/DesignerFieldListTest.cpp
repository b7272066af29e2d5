#include "DesignerFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <functional>

static const QString AddRefusal =
    QStringLiteral("Stowbook|You must select a field from the list of available fields to add to the report.");

TEST_F(DesignerTest, OpensWithEveryFieldAvailableInCaptionOrder)
{
    open();
    // The shipped catalogue's captions, alphabetically.
    const QStringList expected = {"Category",      "Description", "Est. Value",    "Location",      "Manufacturer",
                                  "Miscellaneous", "Model",       "Notes",         "Purchase Date", "Purchase Price",
                                  "Quantity",      "Receipt",     "Serial Number", "Total Value",   "Where Purchased"};
    EXPECT_EQ(available(), expected);
    EXPECT_TRUE(chosen().isEmpty());
    EXPECT_EQ(w->cmbSort1->count(), expected.size());
    EXPECT_EQ(w->cmbSort2->itemText(14), "Where Purchased");
    EXPECT_EQ(w->MaxSpecId, 15);
    EXPECT_EQ(w->windowTitle(), "Custom Report");
    EXPECT_FALSE(w->ReportChanged);
    EXPECT_TRUE(w->frame1->isHidden());
    EXPECT_EQ(w->Design.FieldWidth[specIdNamed(*w, "Description")], 2.5f);
    EXPECT_TRUE(w->Design.FieldIsCurrency[specIdNamed(*w, "Purchase Price")]);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(DesignerTest, AddWithNothingSelectedRefusesButMarksChanged)
{
    open();
    w->cmdAdd_Click();
    EXPECT_EQ(shownMessages(), QStringList{AddRefusal});
    EXPECT_TRUE(w->ReportChanged);
    EXPECT_TRUE(chosen().isEmpty());
}

TEST_F(DesignerTest, SecondAddFindsNothingSelected)
{
    open();
    add("Model");
    EXPECT_EQ(chosen(), QStringList{"Model"});
    EXPECT_FALSE(available().contains("Model"));
    EXPECT_TRUE(!w->frame1->isHidden());
    EXPECT_EQ(w->CurrentSpecId, specIdNamed(*w, "Model"));
    EXPECT_TRUE(prompts.messages().empty());
    w->cmdAdd_Click();
    EXPECT_EQ(shownMessages(), QStringList{AddRefusal});
    EXPECT_EQ(chosen(), QStringList{"Model"});
}

TEST_F(DesignerTest, DoubleClickAddsLikeTheButton)
{
    open();
    const QPoint first = w->List1->visualItemRect(w->List1->item(0)).center();
    // A double click is a press, then the double-click event on the same entry.
    QTest::mousePress(w->List1->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(w->List1->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(chosen(), QStringList{"Category"});
}

TEST_F(DesignerTest, MovesAtTheEndsChangeOnlyTheFlag)
{
    struct Case {
        const char *name;
        QStringList fields;
        QString selected;
        bool up;
    };
    const Case cases[] = {
        {"up on the first", {"Model", "Notes", "Receipt"}, "Model", true},
        {"down on the last", {"Model", "Notes", "Receipt"}, "Receipt", false},
        {"up alone", {"Notes"}, "Notes", true},
        {"down alone", {"Notes"}, "Notes", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        for (const QString &field : c.fields)
            add(field);
        choose(c.selected);
        w->ReportChanged = false;
        c.up ? w->cmdUp_Click() : w->cmdDown_Click();
        EXPECT_EQ(chosen(), c.fields);
        EXPECT_EQ(w->List2->currentItem()->text(), c.selected);
        EXPECT_TRUE(w->ReportChanged);
        EXPECT_TRUE(prompts.messages().empty());
        delete w;
    }
}

TEST_F(DesignerTest, MovesWithoutASelectionAreRefused)
{
    struct Case {
        std::function<void(frmRptSpec &)> press;
        QString message;
    };
    const Case cases[] = {
        {&frmRptSpec::cmdUp_Click, "You must select the field to move up in the list"},
        {&frmRptSpec::cmdDown_Click, "You must select the field to move down in the list"},
        {&frmRptSpec::cmdRemove_Click, "You must select a field to remove from the report."},
    };
    open();
    for (const Case &c : cases) {
        prompts.clear();
        w->ReportChanged = false;
        c.press(*w);
        EXPECT_EQ(shownMessages(), QStringList{"Stowbook|" + c.message});
        EXPECT_TRUE(w->ReportChanged);
    }
}

TEST_F(DesignerTest, UpAndDownCarryTheFieldAndItsSettings)
{
    open();
    for (const char *field : {"Model", "Notes", "Receipt"})
        add(field);
    const int notes = specIdNamed(*w, "Notes");
    w->Design.FieldWidth[notes] = 4.25f;
    choose("Notes");
    w->cmdUp_Click();
    EXPECT_EQ(chosen(), (QStringList{"Notes", "Model", "Receipt"}));
    EXPECT_EQ(w->CurrentSpecId, notes);
    EXPECT_EQ(w->txtWidth->text(), "4.25");
    w->cmdDown_Click();
    w->cmdDown_Click();
    EXPECT_EQ(chosen(), (QStringList{"Model", "Receipt", "Notes"}));
    EXPECT_EQ(w->List2->currentRow(), 2);
}

TEST_F(DesignerTest, RemovedFieldReturnsToItsPlaceAndKeepsItsSettingsUntilNew)
{
    open();
    add("Model");
    const int model = specIdNamed(*w, "Model");
    w->Design.FieldWidth[model] = 3.0f;
    w->Design.FieldHide[model] = true;
    w->Design.SelStartsWith[model] = "XL";
    w->cmdRemove_Click();
    EXPECT_TRUE(chosen().isEmpty());
    EXPECT_TRUE(w->frame1->isHidden());
    EXPECT_EQ(available().indexOf("Model"), 6);
    EXPECT_EQ(w->List1->item(6)->data(Qt::UserRole).toInt(), model);

    add("Model");
    EXPECT_EQ(w->txtWidth->text(), "3");
    EXPECT_TRUE(w->chkHide->isChecked());
    EXPECT_EQ(w->Design.SelStartsWith[model], "XL");

    prompts.answer(Prompts::Answer::No); // discard the design
    w->mnuNew_Click();
    add("Model");
    EXPECT_EQ(w->txtWidth->text(), "1.25");
    EXPECT_FALSE(w->chkHide->isChecked());
    EXPECT_TRUE(w->Design.SelStartsWith[model].isEmpty());
}

TEST_F(DesignerTest, ShowingAFieldIsNoEdit)
{
    open();
    add("Model");
    add("Notes");
    w->ReportChanged = false;
    choose("Model");
    EXPECT_FALSE(w->ReportChanged);
    EXPECT_EQ(w->frame1->title(), "Details For Model");
}

TEST_F(DesignerTest, WidthIsStoredOnLeavingTheBox)
{
    struct Case {
        const char *typed;
        float width; // stored afterwards
        bool hidden;
        bool refused;
    };
    const Case cases[] = {
        {"2.5", 2.5f, false, false},
        {"0", 0.0f, true, false},     // a width of 0 hides the column
        {"wide", 1.25f, false, true}, // the old width stays
        {"", 1.25f, false, true},
        // Widths no page can hold are refused, and the box keeps the focus.
        {"-1", 1.25f, false, true},
        {"101", 1.25f, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        open();
        add("Model");
        const int model = specIdNamed(*w, "Model");
        w->txtWidth->setText(QString::fromLatin1(c.typed));
        EXPECT_TRUE(w->ReportChanged);
        leave(w->txtWidth);
        EXPECT_EQ(w->Design.FieldWidth[model], c.width);
        EXPECT_EQ(w->Design.FieldHide[model], c.hidden);
        EXPECT_EQ(w->chkHide->isChecked(), c.hidden);
        EXPECT_EQ(shownMessages().size(), c.refused ? 1 : 0) << shownMessages().join('\n').toStdString();
        prompts.clear();
        delete w;
    }
}

TEST_F(DesignerTest, CatalogueWithoutFieldsKeepsTheDesignerClosed)
{
    struct Case {
        const char *name;
        std::function<void(DesignerTest &)> spoil;
    };
    const Case cases[] = {
        {"no rows for the subject", [](DesignerTest &t) { t.executeOnCatalogue("delete from rptspec"); }},
        {"catalogue file missing", [](DesignerTest &t) { QFile::remove(t.path("rptspec.db")); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.spoil(*this);
        prompts.clear();
        EXPECT_EQ(frmRptSpec::showDesigner(household, nullptr), nullptr);
        EXPECT_EQ(frmRptSpec::instance(), nullptr);
        EXPECT_EQ(prompts.messages().size(), 1u);
    }
}

TEST_F(DesignerTest, EmptyDefaultWidthCountsAsOne)
{
    executeOnCatalogue("update rptspec set defwidth = null where specid = 3");
    open();
    EXPECT_EQ(w->Design.FieldWidth[3], 1.0f);
}
