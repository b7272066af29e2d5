#include "claim/ClaimDocument.h"

#include "claim/ClaimPicture.h"
#include "dates/LocaleFormats.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/ReportDefaults.h"

#include <QLocale>
#include <cmath>

namespace {

// The picture of an item: as tall as the list of its fields.
constexpr double PictureHeight = 3240; // 2.25 inches

QString amountText(const std::optional<Money> &amount)
{
    return amount ? formatCurrency(*amount) : QString();
}

QString dayText(const DateValue &date)
{
    return date.isZero() ? QString() : formatShortDate(DateValue::fromDate(date.date()));
}

// The width of a column that takes share of the body's width, in whole twips.
int columnWidth(const PageLayout &doc, double share)
{
    return qRound((doc.pageWidth() - 2 * PageLayout::Margin) * std::abs(share));
}

// The room for text in such a column.
double textWidth(const PageLayout &doc, double share)
{
    return columnWidth(doc, share) - 2 * PageLayout::CellPaddingX;
}

// A table format of columns given as shares of the body's width; a share
// below zero marks a right-aligned column.
QString tableFormat(const PageLayout &doc, std::initializer_list<double> shares)
{
    QStringList columns;
    for (const double share : shares)
        columns << (share < 0 ? QStringLiteral(">") : QString()) + QString::number(columnWidth(doc, share));
    return columns.join(u'|') + u';';
}

void addGroupTable(PageLayout &doc, const QString &groupName, const QList<GroupTotal> &groups, Money total)
{
    const QString format = tableFormat(doc, {0.6, -0.15, -0.25});
    doc.addTable(format, QStringList(),
                 {{QStringLiteral("Value by ") + groupName, QStringLiteral("Items"), QStringLiteral("Total Value")}},
                 HeaderShade, BodyShade);
    int count = 0;
    for (const GroupTotal &group : groups) {
        doc.tableText(format, QStringList{group.group, QLocale().toString(group.items), formatCurrency(group.total)});
        count += group.items;
    }
    doc.addTable(format, QStringList(), {{QStringLiteral("Total"), QLocale().toString(count), formatCurrency(total)}},
                 HeaderShade, BodyShade);
    doc.tableText(format, QStringList{QString()});
}

void addCover(PageLayout &doc, const ClaimantDetails &claimant, const ClaimSelection &selection,
              const QList<ClaimItem> &items, const ClaimTotals &totals, const QDate &today)
{
    doc.addTable(tableFormat(doc, {1.0}), QStringList(), {{QStringLiteral("Insurance Claim")}}, HeaderShade,
                 HeaderShade);
    const QString format = tableFormat(doc, {0.3, 0.7});
    const QList<QStringList> rows = {
        {QStringLiteral("Claimant"), claimant.name},
        {QStringLiteral("Address"), claimant.address},
        {QStringLiteral("Policy number"), claimant.policyNumber},
        {QStringLiteral("Date of loss"), dayText(claimant.dateOfLoss)},
        {QStringLiteral("Incident"), claimant.incident},
        {QStringLiteral("Items claimed"), QLocale().toString(items.size())},
        {QStringLiteral("Total value"), formatCurrency(totals.total)},
        {QStringLiteral("Items listed"), selection.description()},
        {QStringLiteral("Produced"), dayText(DateValue::fromDate(today))},
    };
    doc.tableText(format, rows);
    doc.tableText(format, QStringList{QString()});
    addGroupTable(doc, QStringLiteral("Category"), totals.byCategory, totals.total);
    addGroupTable(doc, QStringLiteral("Location"), totals.byLocation, totals.total);
}

void addItem(PageLayout &doc, const ClaimItem &item, int number, int count)
{
    const QString headingFormat = tableFormat(doc, {0.75, -0.25});
    const QString rowFormat = tableFormat(doc, {0.57, 0.43});
    const QStringList heading{QStringLiteral("%1 of %2: %3").arg(number).arg(count).arg(item.item),
                              amountText(item.totvalue)};
    const QString fields = claimItemFields(item);

    // The heading and the fields with the picture stay together: what does
    // not fit the rest of the page goes to the next one.
    const int pictureLines = item.picturePath.isEmpty() ? 1 : int(std::ceil(PictureHeight / doc.text().lineHeight()));
    const double needed = doc.rowHeight(doc.text().lineCount(heading.front(), textWidth(doc, 0.75)))
        + doc.rowHeight(std::max(doc.text().lineCount(fields, textWidth(doc, 0.57)), pictureLines));
    if (needed > doc.roomLeft())
        doc.breakPage();

    doc.addTable(headingFormat, QStringList(), {heading}, BodyShade, BodyShade);
    if (item.picturePath.isEmpty()) {
        doc.tableText(rowFormat, QStringList{fields, QStringLiteral("No picture")});
    } else {
        doc.pictureRow(rowFormat, QStringList{fields, QStringLiteral("The picture cannot be read")}, 1,
                       std::make_shared<ClaimPicture>(item.picturePath), PictureHeight);
    }
}

void layOut(PageLayout &doc, const ClaimantDetails &claimant, const ClaimSelection &selection,
            const QList<ClaimItem> &items, const ClaimTotals &totals, const QDate &today, int pageCount)
{
    doc.setOrientation(PageLayout::Orientation::Portrait);
    // The PDF's own title, as a viewer lists it.
    doc.setTitle(claimant.name.isEmpty() ? QStringLiteral("Insurance Claim")
                                         : QStringLiteral("Insurance Claim of ") + claimant.name);
    doc.setHeaderText(QStringLiteral("Insurance Claim|") + QStringLiteral("|") + dayText(DateValue::fromDate(today)));
    doc.setFooterText(QStringLiteral("|Page %d of ") + QLocale().toString(pageCount) + QStringLiteral("|"));
    doc.startDoc();
    addCover(doc, claimant, selection, items, totals, today);
    doc.breakPage();
    for (qsizetype i = 0; i < items.size(); ++i)
        addItem(doc, items[i], int(i + 1), int(items.size()));
    doc.endDoc();
}

} // namespace

QString claimItemFields(const ClaimItem &item)
{
    const QString quantity = item.quantity.isNull() ? QString() : QLocale().toString(item.quantity.toLongLong());
    const QList<std::pair<const char *, QString>> fields = {
        {"Description", item.item},
        {"Manufacturer", item.manufact},
        {"Model", item.model},
        {"Serial Number", item.serno},
        {"Purchase Date", dayText(item.purchdate)},
        {"Purchase Price", amountText(item.purchprice)},
        {"Est. Value", amountText(item.estvalue)},
        {"Quantity", quantity},
        {"Total Value", amountText(item.totvalue)},
        {"Receipt on File", item.receipt ? QStringLiteral("Yes") : QStringLiteral("No")},
        {"Where Purchased", item.wherepurch},
        {"Miscellaneous", item.misc1},
        {"Category", item.category},
        {"Location", item.location},
        {"Notes", item.notes},
    };
    QStringList lines;
    for (const auto &[label, value] : fields)
        lines << QLatin1String(label) + QStringLiteral(": ") + value;
    return lines.join(u'\n');
}

void buildClaimDocument(PageLayout &doc, const ClaimantDetails &claimant, const ClaimSelection &selection,
                        const QList<ClaimItem> &items, const QDate &today)
{
    BusyCursor busy;
    const ClaimTotals totals = claimTotals(items);
    // The page count is known once the pages are laid out: the first pass
    // counts them, the second writes it in every footer. Pictures are only
    // read when pages are painted, so a pass costs little.
    layOut(doc, claimant, selection, items, totals, today, 0);
    const int pages = doc.pageCount();
    layOut(doc, claimant, selection, items, totals, today, pages);
}
