#include "reports/FixedReportSupport.h"

#include "data/DbError.h"
#include "data/Recordset.h"
#include "dates/LocaleFormats.h"
#include "program/Globals.h"
#include "reports/PageLayout.h"
#include "reports/ReportGlobals.h"

QString fixedReportHeader(const QDate &today, const QString &title)
{
    return formatDdddd(DateValue::fromDate(today)) + QLatin1Char('|') + title + QStringLiteral("|Page %d");
}

std::unique_ptr<Recordset> openInventorySnapshot(const QString &sql, const QVariantList &params)
{
    // After a failed repair the handler leaves no database behind.
    if (!dbInventory)
        throw DbError::objectClosed();
    return dbInventory->openRecordset(sql, RecordsetType::Snapshot, params);
}

void addHeadingRow(PageLayout &doc)
{
    doc.addTable(TableFormat, QStringList(), {TableHeading}, HeaderShade, BodyShade);
}
