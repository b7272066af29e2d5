#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <memory>

class PageLayout;
class Recordset;

// What the value summaries and the serial number list share.

// The page header of a fixed report: the date at the left, the title in the
// centre and the page number at the right.
QString fixedReportHeader(const QDate &today, const QString &title);

// A snapshot of the inventory database (dbInventory). Throws DbError, also
// when the database is not open.
std::unique_ptr<Recordset> openInventorySnapshot(const QString &sql, const QVariantList &params = {});

// The heading row (TableHeading in the columns of TableFormat), printed once
// as a shaded row where the document stands.
void addHeadingRow(PageLayout &doc);
