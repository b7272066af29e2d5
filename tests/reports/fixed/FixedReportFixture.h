#pragma once

#include "QtPrinters.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "data/Inventory.h"
#include "program/Globals.h"
#include "reports/PageLayout.h"
#include "reports/ReportGlobals.h"
#include "reports/viewer/frmOutput.h"

#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QLocale>
#include <gtest/gtest.h>
#include <vector>

// A fresh empty inventory opened as dbInventory, en_US formats, and the
// report table globals and output window put back afterwards.
class FixedReportTest : public ::testing::Test {
protected:
    FixedReportTest()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        DataFolder = folder.path();
        dbInventory = Database::open(folder.file(InventoryFileName));
    }
    ~FixedReportTest() override
    {
        delete frmOutput::current();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        resetGlobals();
        TableFormat = m_format;
        TableHeading = m_heading;
        RepeatHeading = m_repeat;
        QLocale::setDefault(m_locale);
    }

    // A date for the header, fixed so nothing depends on today.
    static QDate day() { return QDate(2024, 3, 5); }

    ScriptedPrompts prompts;
    TestDataFolder folder;
    PageLayout doc;

private:
    QLocale m_locale;
    QString m_format = TableFormat;
    QStringList m_heading = TableHeading;
    bool m_repeat = RepeatHeading;
};

// The rows as they land on the pages, in order.
struct ShownRow {
    int page;
    QStringList cells;
    bool shaded;
};

inline std::vector<ShownRow> shownRows(const PageLayout &doc)
{
    std::vector<ShownRow> rows;
    for (int page = 0; page < doc.pageCount(); ++page) {
        for (const PlacedRow &placed : doc.pageContent(page).rows) {
            QStringList cells;
            for (const PlacedCell &cell : placed.cells)
                cells.append(cell.text);
            rows.push_back({page, cells, placed.shade.has_value()});
        }
    }
    return rows;
}

inline std::vector<QStringList> shownCells(const PageLayout &doc)
{
    std::vector<QStringList> cells;
    for (const ShownRow &row : shownRows(doc))
        cells.push_back(row.cells);
    return cells;
}
