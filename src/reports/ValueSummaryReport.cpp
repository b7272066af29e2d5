#include "reports/ValueSummaryReport.h"

#include "data/Money.h"
#include "data/Recordset.h"
#include "dates/LocaleFormats.h"
#include "items/ItemStatus.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/FixedReportSupport.h"
#include "reports/PageLayout.h"

#include <optional>
#include <stdexcept>

// The statements and texts of one kind of summary. Groups come in
// description order ignoring case; the key keeps equal descriptions in a
// fixed order.
struct SummaryKind {
    QString groupName;
    QString groups;     // description, id
    QString members;    // totvalue of the items of the group bound as ?1
    QString unassigned; // totvalue of the items without a group
    QString unassignedRow;
};

static SummaryKind summaryKind(int kind)
{
    if (kind == 1) {
        return {QStringLiteral("Category"),
                QStringLiteral("select catdesc as Descr, catid from categories order by fold(catdesc), catid"),
                QStringLiteral("select totvalue from items where catid = ?"),
                QStringLiteral("select totvalue from items where catid is null"),
                QStringLiteral("No Category Entered")};
    }
    return {QStringLiteral("Location"),
            QStringLiteral("select locdesc as descr, locid from locations order by fold(locdesc), locid"),
            QStringLiteral("select totvalue from items where locid = ?"),
            QStringLiteral("select totvalue from items where locid is null"), QStringLiteral("No Location Entered")};
}

// A running sum that can no longer be trusted once it overflowed: printing
// a wrapped or clipped amount on an insurance list would be worse than
// printing none.
using Total = std::optional<Money>;

// Sums for one report: an amount past the money range is reported to the
// household's handler once it happens, and the sum becomes unknown.
class Summing {
public:
    explicit Summing(Household &household) : m_household(household) {}

    Total plus(Total sum, Total amount) const
    {
        if (!sum || !amount)
            return std::nullopt;
        try {
            return *sum + *amount;
        } catch (const std::overflow_error &) {
            reportOverflow();
            return std::nullopt;
        }
    }

    // The sum of the first column over every row; values that are not
    // amounts (Null, or text another program stored) are skipped.
    Total sumTotals(Recordset &rows) const
    {
        Total sum = Money();
        for (rows.moveFirst(); !rows.eof() && sum; rows.moveNext()) {
            const QVariant value = rows.value(0);
            Total amount;
            if (value.metaType() == QMetaType::fromType<Money>()) {
                amount = value.value<Money>();
            } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong
                       || value.typeId() == QMetaType::Double) {
                // A number too large for an amount, stored by another program.
                amount = Money::fromDouble(value.toDouble());
                if (!amount)
                    reportOverflow();
            } else {
                continue;
            }
            sum = plus(sum, amount);
        }
        return sum;
    }

private:
    void reportOverflow() const { m_household.HandleDbError(DbError::overflow()); }

    Household &m_household;
};

static QString amountText(const Total &amount)
{
    return amount ? formatCurrency(*amount) : QString();
}

void buildValueSummary(Household &household, PageLayout &doc, int kind)
{
    buildValueSummary(household, doc, kind, QDate::currentDate());
}

void buildValueSummary(Household &household, PageLayout &doc, int kind, const QDate &today)
{
    BusyCursor busy;
    SummaryKind summary = summaryKind(kind);
    // Items that left the household are no longer worth anything to it.
    household.trapDb([&] {
        if (const QString kept = keptItemsCondition(household, QStringLiteral("iteid")); !kept.isEmpty()) {
            summary.members += QStringLiteral(" and ") + kept;
            summary.unassigned += QStringLiteral(" and ") + kept;
        }
    });
    const QString format = QStringLiteral("4320|>2880;");
    const Summing summing(household);

    std::unique_ptr<Recordset> groups;
    household.trapDb([&] { groups = openInventorySnapshot(household, summary.groups); });
    const QString title = QStringLiteral("Value Summary by ") + summary.groupName;
    doc.setHeaderText(fixedReportHeader(today, title));
    doc.setTitle(title);
    doc.startDoc();
    addHeadingRow(doc, format, {summary.groupName, QStringLiteral("Total Value")});

    Total grandTotal = Money();
    const auto addGroupRow = [&](const QString &description, Recordset &members) {
        if (members.recordCount() == 0)
            return;
        const Total groupTotal = summing.sumTotals(members);
        doc.tableText(format, QStringList{description, amountText(groupTotal)});
        grandTotal = summing.plus(grandTotal, groupTotal);
    };

    // One statement per group, the sums made here. A group that fails is
    // reported and left out; a failing move ends the list of groups (the
    // snapshot is gone when the database was repaired meanwhile).
    household.trapDb([&] {
        if (!groups)
            return;
        for (groups->moveFirst(); !groups->eof(); groups->moveNext()) {
            household.trapDb([&] {
                const QString description = groups->value(0).toString();
                const auto members = openInventorySnapshot(household, summary.members, {groups->value(1)});
                addGroupRow(description, *members);
            });
        }
    });
    household.trapDb([&] {
        const auto members = openInventorySnapshot(household, summary.unassigned);
        addGroupRow(summary.unassignedRow, *members);
    });

    doc.tableText(format, QStringList{QStringLiteral("Grand Total"), amountText(grandTotal)});
    doc.endDoc();
}
