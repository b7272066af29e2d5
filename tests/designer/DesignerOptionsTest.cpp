#include "DesignerFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>

TEST_F(DesignerTest, DestinationShowsFormattingOnlyForScreen)
{
    open();
    w->optOrient[1]->setChecked(true);
    struct Case {
        int destination;
        bool formatting;
    };
    for (const Case c : {Case{2, false}, Case{3, false}, Case{1, true}}) {
        SCOPED_TRACE(c.destination);
        w->ReportChanged = false;
        w->optReportTo[std::size_t(c.destination)]->setChecked(true);
        EXPECT_TRUE(w->ReportChanged);
        EXPECT_EQ(!w->fraOrient->isHidden(), c.formatting);
        EXPECT_EQ(!w->fraFormat->isHidden(), c.formatting);
        EXPECT_EQ(w->designForFile().ReportTo, c.destination);
    }
    // Hidden settings were kept.
    EXPECT_TRUE(w->optOrient[1]->isChecked());
}

TEST_F(DesignerTest, EveryOptionEditMarksTheDesignChanged)
{
    struct Case {
        const char *name;
        std::function<void(frmRptSpec &)> edit;
    };
    const Case cases[] = {
        {"title", [](frmRptSpec &f) { f.txtTitle->setText("Insured items"); }},
        {"landscape", [](frmRptSpec &f) { f.optOrient[1]->setChecked(true); }},
        {"centimetres", [](frmRptSpec &f) { f.optWidth[1]->setChecked(true); }},
        {"page numbers", [](frmRptSpec &f) { f.cmbPageNum->setCurrentIndex(2); }},
        {"header date", [](frmRptSpec &f) { f.chkDate->setChecked(false); }},
        {"primary sort", [](frmRptSpec &f) { f.cmbSort1->setCurrentIndex(3); }},
        {"secondary sort", [](frmRptSpec &f) { f.cmbSort2->setCurrentIndex(0); }},
    };
    open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        w->ReportChanged = false;
        c.edit(*w);
        EXPECT_TRUE(w->ReportChanged);
    }
}

TEST_F(DesignerTest, NewRestoresDefaultsButKeepsTheWidthUnit)
{
    open();
    // Fresh: the defaults a new report starts with.
    ReportSpec fresh = w->designForFile();
    EXPECT_EQ(fresh.Title, "Stowbook Report");
    EXPECT_EQ(fresh.ReportTo, ReportToScreen);
    EXPECT_EQ(fresh.Orientation, 0);
    EXPECT_TRUE(fresh.ShowDate);
    EXPECT_EQ(fresh.PageNumbers, PageNumberInHeader);
    EXPECT_EQ(fresh.WidthUnit, WidthInInches);
    EXPECT_EQ(fresh.Sort1, NoSort);
    EXPECT_EQ(fresh.Sort2, NoSort);

    w->txtTitle->setText("Other");
    w->optReportTo[3]->setChecked(true);
    w->optOrient[1]->setChecked(true);
    w->optWidth[1]->setChecked(true);
    w->cmbPageNum->setCurrentIndex(1);
    w->chkDate->setChecked(false);
    w->cmbSort1->setCurrentIndex(4);
    w->cmbSort2->setCurrentIndex(5);
    prompts.answer(Prompts::Answer::No);
    w->mnuNew_Click();

    ReportSpec renewed = w->designForFile();
    EXPECT_EQ(renewed.WidthUnit, WidthInCentimetres);
    renewed.WidthUnit = WidthInInches;
    EXPECT_EQ(renewed, fresh);
    EXPECT_TRUE(!w->fraFormat->isHidden());
    EXPECT_FALSE(w->ReportChanged);
    EXPECT_EQ(shownMessages(), QStringList{"Save Current Report|Do you wish to save the current report?"});
}
