#include "claim/ClaimDocument.h"

#include "claim/ClaimPicture.h"
#include "claim/ClaimReceipts.h"
#include "dates/LocaleFormats.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/ReportDefaults.h"

#include <QLocale>
#include <cmath>

namespace {

// The first photo of an item spans the page and is read finely enough that a
// serial number label photographed with it stays legible: at 100 % on the
// screen (96 dots per inch), the digits of an 8-point label that fills a few
// percent of a 12-megapixel photo are some 7 to 8 pixels tall at the width
// the photo is drawn, and a reader who zooms in gets its 200 dots per inch.
constexpr double FirstPhotoDotsPerInch = 200;
// The other photos are a row under it, enough to see what they show.
constexpr int FurtherPhotosPerRow = 5;
// A receipt page is drawn fine enough for its small print.
constexpr double ReceiptDotsPerInch = 200;

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

// "Receipt: invoice.pdf (bought in the sale)", one a line, under a heading;
// what the claim shows beside the fields of an item.
QString documentsText(const ClaimItem &item)
{
    if (item.documents.isEmpty())
        return QString();
    QStringList lines{QStringLiteral("Documents:")};
    for (const ClaimAttachment &document : item.documents) {
        QString line = attachedKindName(document.kind) + QStringLiteral(": ") + document.title;
        if (!document.note.isEmpty())
            line += QStringLiteral(" (") + document.note + u')';
        lines << line;
    }
    return lines.join(u'\n');
}

// The height of a row that holds pictures height twips tall: whole lines.
double pictureRowHeight(const PageLayout &doc, double height)
{
    return doc.rowHeight(int(std::ceil(height / doc.text().lineHeight() - 1e-9)));
}

// The room the first photo of an item gets: the body's width at a camera's
// 4:3, less tall when the page could not hold the heading, the fields and a
// row of further photos with it (rest, twips).
double firstPhotoHeight(const PageLayout &doc, double rest)
{
    const double width = columnWidth(doc, 1.0) - 2 * PageLayout::CellPaddingX;
    const double body =
        doc.pageHeight() - 2 * PageLayout::Margin - 2 * (doc.text().lineHeight() + PageLayout::HeaderGap);
    // A line less than the room, as the row is made of whole lines.
    const double room = body - rest - 2 * PageLayout::CellPaddingY - doc.text().lineHeight();
    return std::max(PageLayout::Margin, std::min(width * 3 / 4, room));
}

double furtherPhotoHeight(const PageLayout &doc)
{
    return (columnWidth(doc, 1.0 / FurtherPhotosPerRow) - 2 * PageLayout::CellPaddingX) * 3 / 4;
}

void addItem(PageLayout &doc, const ClaimItem &item, int number, int count)
{
    const QString headingFormat = tableFormat(doc, {0.75, -0.25});
    const QString rowFormat = tableFormat(doc, {0.57, 0.43});
    const QStringList heading{QStringLiteral("%1 of %2: %3").arg(number).arg(count).arg(item.item),
                              amountText(item.totvalue)};
    const QString fields = claimItemFields(item);
    const QString documents = documentsText(item);
    const bool photographed = !item.photoPaths.isEmpty();
    QString beside = documents;
    if (!photographed)
        beside = documents.isEmpty() ? QStringLiteral("No picture") : QStringLiteral("No picture\n\n") + documents;

    // The heading, the fields, the first photo and the first row of the
    // others stay together: what does not fit the rest of the page goes to
    // the next one.
    const double headingHeight = doc.rowHeight(doc.text().lineCount(heading.front(), textWidth(doc, 0.75)));
    const double fieldsHeight = doc.rowHeight(std::max(doc.text().lineCount(fields, textWidth(doc, 0.57)),
                                                       doc.text().lineCount(beside, textWidth(doc, 0.43))));
    const qsizetype further = photographed ? item.photoPaths.size() - 1 : 0;
    const double furtherHeight = further > 0 ? pictureRowHeight(doc, furtherPhotoHeight(doc)) : 0;
    const double photoHeight = firstPhotoHeight(doc, headingHeight + fieldsHeight + furtherHeight);
    const double needed =
        headingHeight + fieldsHeight + (photographed ? pictureRowHeight(doc, photoHeight) : 0) + furtherHeight;
    if (needed > doc.roomLeft())
        doc.breakPage();

    doc.addTable(headingFormat, QStringList(), {heading}, BodyShade, BodyShade);
    doc.tableText(rowFormat, QStringList{fields, beside});
    if (!photographed)
        return;
    const QString unreadable = QStringLiteral("The picture cannot be read");
    // One photo is read at a time, as its page is painted, at the size it is drawn.
    doc.pictureRow(tableFormat(doc, {1.0}), QStringList{unreadable},
                   {PageLayout::CellPicture{0, std::make_shared<ClaimPicture>(item.photoPaths.front())}}, photoHeight,
                   FirstPhotoDotsPerInch);
    const double share = 1.0 / FurtherPhotosPerRow;
    const QString rowOfPhotos = tableFormat(doc, std::initializer_list<double>{share, share, share, share, share});
    for (qsizetype first = 1; first < item.photoPaths.size(); first += FurtherPhotosPerRow) {
        QStringList cells;
        QList<PageLayout::CellPicture> pictures;
        for (qsizetype i = first; i < std::min(item.photoPaths.size(), first + FurtherPhotosPerRow); ++i) {
            pictures << PageLayout::CellPicture{int(cells.size()), std::make_shared<ClaimPicture>(item.photoPaths[i])};
            cells << unreadable;
        }
        doc.pictureRow(rowOfPhotos, cells, pictures, furtherPhotoHeight(doc));
    }
}

// Every receipt, a page each, labelled with its item: what an insurer asks
// for beside the list.
void addReceipts(PageLayout &doc, const QList<ReceiptPage> &receipts, int count)
{
    if (receipts.isEmpty())
        return;
    const QString format = tableFormat(doc, {1.0});
    for (const ReceiptPage &receipt : receipts) {
        doc.breakPage();
        QString label = QStringLiteral("Receipt of %1 of %2: %3 (%4")
                            .arg(receipt.itemNumber)
                            .arg(count)
                            .arg(receipt.itemName, receipt.title);
        if (receipt.pages > 0)
            label += QStringLiteral(", page %1 of %2").arg(receipt.page).arg(receipt.pages);
        label += u')';
        // A long file's further pages travel with the inventory's backup.
        if (receipt.page == receipt.shown && receipt.shown < receipt.pages)
            label += QStringLiteral("; pages %1 to %2 are not shown here").arg(receipt.shown + 1).arg(receipt.pages);
        doc.addTable(format, QStringList(), {{label}}, BodyShade, BodyShade);
        if (!receipt.picture) {
            doc.tableText(format, QStringList{receipt.problem});
            continue;
        }
        // The rest of the page, less a line: the row is made of whole lines.
        const double height = doc.roomLeft() - 2 * PageLayout::CellPaddingY - doc.text().lineHeight();
        doc.pictureRow(format, QStringList{QStringLiteral("The receipt cannot be read")},
                       {PageLayout::CellPicture{0, receipt.picture}}, height, ReceiptDotsPerInch);
    }
}

// The claimant's own words closing the cover, kept together on its page.
void addDeclaration(PageLayout &doc, const ClaimantDetails &claimant)
{
    const QString format = tableFormat(doc, {1.0});
    const QString signing = tableFormat(doc, {0.6, 0.4});
    const QString declaration =
        QStringLiteral("I declare that the information given in this claim is true and complete to the best of my "
                       "knowledge and belief.");
    const QStringList place{QStringLiteral("Signature of ")
                                + (claimant.name.isEmpty() ? QStringLiteral("the claimant") : claimant.name)
                                + QStringLiteral("\n\n________________________________________"),
                            QStringLiteral("Date\n\n____________________")};
    const double needed = doc.rowHeight(doc.text().lineCount(declaration, textWidth(doc, 1.0))) + doc.rowHeight(3);
    if (needed > doc.roomLeft())
        doc.breakPage();
    doc.addTable(format, QStringList(), {{declaration}}, BodyShade, BodyShade);
    doc.tableText(signing, place);
}

// "Ada Lovelace, policy HX-1234": who claims under what, on every page.
QString claimantLine(const ClaimantDetails &claimant)
{
    QStringList parts;
    if (!claimant.name.isEmpty())
        parts << claimant.name;
    if (!claimant.policyNumber.isEmpty())
        parts << QStringLiteral("policy ") + claimant.policyNumber;
    return PageLayoutText::oneLine(parts.join(QStringLiteral(", ")));
}

void layOut(PageLayout &doc, const ClaimantDetails &claimant, const ClaimSelection &selection,
            const QList<ClaimItem> &items, const QList<ReceiptPage> &receipts, const ClaimTotals &totals,
            const QDate &today, int pageCount)
{
    doc.setOrientation(PageLayout::Orientation::Portrait);
    // The PDF's own title, as a viewer lists it.
    doc.setTitle(claimant.name.isEmpty() ? QStringLiteral("Insurance Claim")
                                         : QStringLiteral("Insurance Claim of ") + claimant.name);
    // The claimant's texts are shown as typed: a "%d" or "|" in them is no
    // page number and no separator.
    PageLayout::PageLine header;
    header.parts = {QStringLiteral("Insurance Claim"), claimantLine(claimant), dayText(DateValue::fromDate(today))};
    doc.setHeaderLine(header);
    doc.setFooterText(QStringLiteral("|Page %d of ") + QLocale().toString(pageCount) + QStringLiteral("|"));
    doc.startDoc();
    addCover(doc, claimant, selection, items, totals, today);
    addDeclaration(doc, claimant);
    doc.breakPage();
    for (qsizetype i = 0; i < items.size(); ++i)
        addItem(doc, items[i], int(i + 1), int(items.size()));
    addReceipts(doc, receipts, int(items.size()));
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
    const QList<ReceiptPage> receipts = claimReceiptPages(items);
    layOut(doc, claimant, selection, items, receipts, totals, today, 0);
    const int pages = doc.pageCount();
    layOut(doc, claimant, selection, items, receipts, totals, today, pages);
}
