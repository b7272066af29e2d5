#include "reports/SerialNumberReport.h"

#include "data/Recordset.h"
#include "program/HandleDbError.h"
#include "program/Prompts.h"
#include "reports/FixedReportSupport.h"
#include "reports/PageLayout.h"
#include "reports/ReportGlobals.h"

// The stored order is the key's; saying so keeps it whatever plan SQLite picks.
static const QString SerialNumbersStatement = QStringLiteral(
    "select item, manufact, model, serno from items where coalesce(serno, '') <> '' order by iteid");

void buildSerialNumberList(PageLayout &doc)
{
    buildSerialNumberList(doc, QDate::currentDate());
}

void buildSerialNumberList(PageLayout &doc, const QDate &today)
{
    BusyCursor busy;
    RepeatHeading = false;
    const QString title = QStringLiteral("Serial Number List");
    doc.setHeaderText(fixedReportHeader(today, title));
    doc.setTitle(title);
    TableFormat = QStringLiteral("2880|2160|2160|2880;");
    TableHeading = QStringList{QStringLiteral("Description"), QStringLiteral("Manufacturer"),
                               QStringLiteral("Model"), QStringLiteral("Serial Number")};
    doc.startDoc();

    std::unique_ptr<Recordset> items;
    trapDb([&] { items = openInventorySnapshot(SerialNumbersStatement); });
    trapDb([&] {
        if (!items || items->recordCount() == 0)
            return;
        addHeadingRow(doc);
        QStringList row;
        for (items->moveFirst(); !items->eof(); items->moveNext()) {
            row.clear();
            for (int column = 0; column < 4; ++column)
                row.append(items->value(column).toString());
            doc.tableText(TableFormat, row);
        }
    });
    doc.endDoc();
}
