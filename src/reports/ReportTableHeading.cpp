#include "reports/ReportTableHeading.h"

#include "program/Globals.h"
#include "reports/PageLayout.h"
#include "reports/ReportGlobals.h"

void addRepeatedHeading(PageLayout &document)
{
    if (!RepeatHeading || TableHeading.isEmpty())
        return;
    document.addTable(TableFormat, QStringList(), {TableHeading}, HeaderShade, BodyShade);
}
