#include "reports/ReportTableHeading.h"

#include "reports/PageLayout.h"
#include "reports/ReportDefaults.h"

void addRepeatedHeading(PageLayout &document)
{
    const std::optional<PageLayout::RepeatedHeading> &heading = document.repeatedHeading();
    if (!heading || heading->cells.isEmpty())
        return;
    document.addTable(heading->format, QStringList(), {heading->cells}, HeaderShade, BodyShade);
}
