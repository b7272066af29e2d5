#pragma once

#include "data/Money.h"
#include "reports/ReportQuery.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

// The text of one cell: Null gives "" for every kind but yes/no, which
// gives "No". Numbers are written with the locale's decimal point and no
// grouping, or in its currency format when the column is a currency one;
// dates in the short date format, times in the medium time format.
QString reportCellText(const QVariant &value, const ReportColumn &column);

// The cell texts of one run, as reportCellText gives them. A long report
// shows the same purchase dates over and over, and writing a date through
// the locale's pattern costs more than the rest of the row, so each day's
// text is written once and kept for the run (the locale cannot change in
// the middle of one).
class ReportCellTexts {
public:
    QString text(const QVariant &value, const ReportColumn &column);
    // The same, for a currency column whose exact amount (exactNumber of
    // value) the caller already has: reading a double as an exact amount is
    // the costly part, and a column's total needs the amount too.
    QString text(const QVariant &value, const ReportColumn &column, const std::optional<Money> &amount);

private:
    QHash<qint64, QString> m_shortDates; // by Julian day
};

// The sums under the columns of one report. Every number is added exactly
// (as money, four decimals), so a long report's total is the sum of what its
// cells show and does not drift.
class ReportTotals {
public:
    explicit ReportTotals(const QList<ReportColumn> &columns);

    // Adds the value of the column at index to its sum when the column is a
    // number column with a total; Null and values that are no number add
    // nothing.
    void add(int index, const QVariant &value);
    // The same with the value's exact amount (exactNumber) already known.
    void add(int index, Money amount);
    // True when at least one column has a total, hidden columns being left
    // out of the report altogether.
    bool any() const;
    // The totals row: a column with a total gives its sum (a non-number
    // column with a total gives 0), any other column "".
    QStringList row() const;
    bool hasTotal(int index) const { return m_columns[index].total; }

private:
    QList<ReportColumn> m_columns;
    QList<Money> m_sums;
};

// True when a cell of column needs its value's exact amount: for its
// currency text or for its column's total.
bool needsExactNumber(const ReportColumn &column);

// The value as an exact amount: Money as it is, integers, doubles rounded to
// four decimals, and texts written with "." (as SQLite may hand back a
// number stored as text). Anything else gives std::nullopt.
std::optional<Money> exactNumber(const QVariant &value);

// Money::fromDouble(value), the same amount, found without writing the
// double out as text whenever that is sure to give the same.
std::optional<Money> moneyFromDouble(double value);
