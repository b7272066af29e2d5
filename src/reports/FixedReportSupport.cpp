#include "reports/FixedReportSupport.h"

#include "data/DbError.h"
#include "data/Recordset.h"
#include "dates/LocaleFormats.h"
#include "program/Household.h"
#include "reports/PageLayout.h"
#include "reports/ReportDefaults.h"

QString fixedReportHeader(const QDate &today, const QString &title)
{
    return formatDdddd(DateValue::fromDate(today)) + QLatin1Char('|') + title + QStringLiteral("|Page %d");
}

std::unique_ptr<Recordset> openInventorySnapshot(const Household &household, const QString &sql,
                                                 const QVariantList &params)
{
    // After a failed repair the handler leaves no database behind.
    return household.inventory().openRecordset(sql, RecordsetType::Snapshot, params);
}

void addHeadingRow(PageLayout &doc, const QString &format, const QStringList &heading)
{
    doc.addTable(format, QStringList(), {heading}, HeaderShade, BodyShade);
}
