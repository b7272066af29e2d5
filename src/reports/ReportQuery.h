#pragma once

#include "reports/ReportCatalogue.h"
#include "reports/ReportSpec.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

// One visible column of a report, in column order. Column k of the query's
// rows holds the values of columns[k].
struct ReportColumn {
    int specid = 0;
    QString caption;         // the catalogue's Desc: the column heading
    float widthTwips = 0;    // FieldWidth x twips per unit, in single precision
    QString widthText;       // widthTwips as a table format writes it: "2880", "1123.2"
    bool alignRight = false; // number fields
    int datatype = 0;        // the catalogue's kind (FieldType code)
    bool isCurrency = false; // FieldIsCurrency of the design: values and total as currency
    bool total = false;      // FieldTotal of the design: a total under the column
};

// The statement of a report and its column layout, made in one pass over
// the chosen fields.
//
// The statement holds only names from the catalogue and "?" placeholders;
// the criteria travel in params, in placeholder order:
//   text      wlike(field, ?)          the criterion followed by "*"
//   number    field < ?, field > ?     numbers read by the locale's rules
//   date      field >= ?, field <= ?   "YYYY-MM-DD": the day alone, so a
//                                      stored value with a time on the end
//                                      day is after it, as with any day
//   yes/no    field, not field
//   time      time(field) >= ?, time(field) <= ?   "HH:MM:SS"
// A time criterion is a time of day and is compared with the time of day of
// the stored value, whatever day that value carries (a time alone is
// stored on 30 December 1899, a moment on its own day): "from 9 AM" means
// the same for both. A Null value meets no criterion.
// Text sort keys are ordered by fold(field), ignoring case as every list of
// the program does.
struct ReportQuery {
    QString sql;
    QVariantList params;
    QList<ReportColumn> columns;
    QString tableFormat;  // ">"-marked widths joined by "|", ended by ";": "4320|>1440;"
    QString tableHeading; // the captions joined by "|", ended by ";"
    // The parts of sql after the select list: " from ..." with its joins and
    // conditions (taking params), and the " order by ..." part (may be
    // empty), so the same rows can be selected with other columns.
    QString selection;
    QString ordering;
};

// Twips per unit of FieldWidth: 1440 per inch, 561.6 per centimetre.
float twipsPerUnit(qint16 widthUnit);

// Builds the statement and column layout of spec over the catalogue of its
// subject. std::nullopt, with the reason in *problem, when the design names
// a field the catalogue does not hold (chosen or sort field), a number
// criterion is not a number, a date criterion is no day, or no chosen field
// is visible.
std::optional<ReportQuery> buildReportQuery(const ReportSpec &spec, const ReportCatalogue &catalogue,
                                            QString *problem = nullptr);
