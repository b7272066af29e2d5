#pragma once

#include "RunFixture.h"

#include "reports/viewer/frmOutput.h"

#include <QCoreApplication>
#include <QEvent>

// RunTest for runs that may show the Report Output window: the window is
// one for the program and holds the household, so it goes before the
// household does, and no test finds the report of another.
class RunWindowTest : public RunTest {
protected:
    ~RunWindowTest() override
    {
        delete frmOutput::current();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
