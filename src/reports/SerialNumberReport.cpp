#include "reports/SerialNumberReport.h"

#include "data/Recordset.h"
#include "items/ItemStatus.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/FixedReportSupport.h"
#include "reports/PageLayout.h"

// The stored order is the key's; saying so keeps it whatever plan SQLite picks.
static const QString SerialNumbersStatement =
    QStringLiteral("select item, manufact, model, serno from items where coalesce(serno, '') <> '' order by iteid");

void buildSerialNumberList(Household &household, PageLayout &doc)
{
    buildSerialNumberList(household, doc, QDate::currentDate());
}

void buildSerialNumberList(Household &household, PageLayout &doc, const QDate &today)
{
    BusyCursor busy;
    const QString title = QStringLiteral("Serial Number List");
    doc.setHeaderText(fixedReportHeader(today, title));
    doc.setTitle(title);
    const QString format = QStringLiteral("2880|2160|2160|2880;");
    const QStringList heading{QStringLiteral("Description"), QStringLiteral("Manufacturer"), QStringLiteral("Model"),
                              QStringLiteral("Serial Number")};
    doc.startDoc();

    std::unique_ptr<Recordset> items;
    household.trapDb([&] {
        QString statement = SerialNumbersStatement;
        // Items that left the household are no longer the insurer's concern.
        if (const QString kept = keptItemsCondition(household, QStringLiteral("iteid")); !kept.isEmpty())
            statement.replace(QStringLiteral(" order by"),
                              QStringLiteral(" and ") + kept + QStringLiteral(" order by"));
        items = openInventorySnapshot(household, statement);
    });
    household.trapDb([&] {
        if (!items || items->recordCount() == 0)
            return;
        addHeadingRow(doc, format, heading);
        QStringList row;
        for (items->moveFirst(); !items->eof(); items->moveNext()) {
            row.clear();
            for (int column = 0; column < 4; ++column)
                row.append(items->value(column).toString());
            doc.tableText(format, row);
        }
    });
    doc.endDoc();
}
