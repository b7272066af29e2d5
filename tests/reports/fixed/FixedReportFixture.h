#pragma once

#include "QtPrinters.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "data/Inventory.h"
#include "program/Household.h"
#include "reports/PageLayout.h"
#include "reports/ReportDefaults.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>
#include <vector>

// A fresh empty inventory opened as the household's, and en_US formats.
class FixedReportTest : public ::testing::Test {
protected:
    FixedReportTest()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        household.openInventory();
    }
    ~FixedReportTest() override { QLocale::setDefault(m_locale); }

    // A document left by an earlier listing, whose pages began with its
    // headings; a fixed report built on it must not inherit them.
    static void leaveListingIn(PageLayout &document)
    {
        document.startDoc(PageLayout::RepeatedHeading{QStringLiteral("1440;"), {QStringLiteral("Earlier heading")}});
        document.endDoc();
    }

    // A date for the header, fixed so nothing depends on today.
    static QDate day() { return QDate(2024, 3, 5); }

    ScriptedPrompts prompts;
    TestDataFolder folder;
    Household household{folder.path()};
    PageLayout doc;

private:
    QLocale m_locale;
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
