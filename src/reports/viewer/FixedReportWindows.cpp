#include "reports/viewer/FixedReportWindows.h"

#include "program/Prompts.h"
#include "reports/SerialNumberReport.h"
#include "reports/ValueSummaryReport.h"
#include "reports/viewer/frmOutput.h"

void RunValueSummary(Household &household, QWidget *mainWindow, int kind)
{
    BusyCursor busy; // until the window shows
    buildValueSummary(household, *frmOutput::instance(household, mainWindow)->PrintPreview, kind);
    frmOutput::showOutput();
}

void RunSerialNumberList(Household &household, QWidget *mainWindow)
{
    BusyCursor busy;
    buildSerialNumberList(household, *frmOutput::instance(household, mainWindow)->PrintPreview);
    frmOutput::showOutput();
}
