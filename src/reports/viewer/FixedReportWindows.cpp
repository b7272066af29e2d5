#include "reports/viewer/FixedReportWindows.h"

#include "program/Prompts.h"
#include "reports/SerialNumberReport.h"
#include "reports/ValueSummaryReport.h"
#include "reports/viewer/frmOutput.h"

void RunValueSummary(QWidget *mainWindow, int kind)
{
    BusyCursor busy; // until the window shows
    buildValueSummary(*frmOutput::instance(mainWindow)->PrintPreview, kind);
    frmOutput::showOutput();
}

void RunSerialNumberList(QWidget *mainWindow)
{
    BusyCursor busy;
    buildSerialNumberList(*frmOutput::instance(mainWindow)->PrintPreview);
    frmOutput::showOutput();
}
