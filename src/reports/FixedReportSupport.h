#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <memory>

class Household;
class PageLayout;
class Recordset;

// What the value summaries and the serial number list share.

// The page header of a fixed report: the date at the left, the title in the
// centre and the page number at the right.
QString fixedReportHeader(const QDate &today, const QString &title);

// A snapshot of the household's inventory database. Throws DbError, also
// when the database is not open.
std::unique_ptr<Recordset> openInventorySnapshot(const Household &household, const QString &sql,
                                                 const QVariantList &params = {});

// The heading row (the cells of heading in the columns of format), printed
// once as a shaded row where the document stands.
void addHeadingRow(PageLayout &doc, const QString &format, const QStringList &heading);
