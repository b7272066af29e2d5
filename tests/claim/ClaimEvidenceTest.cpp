#include "ClaimFixture.h"

#include "claim/ClaimDocument.h"
#include "claim/ClaimItems.h"
#include "data/Database.h"
#include "data/Inventory.h"
#include "items/ItemAttachments.h"
#include "reports/PageLayout.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QDate Today(2026, 3, 14);

// Where the serial number label lies in the label photo, in its pixels.
const QRect LabelInPhoto(1450, 1280, 1100, 440);

// A 12-megapixel photo of a rating plate, as a phone takes one from a hand's
// length: the label (50 mm across, 1,100 pixels: some 22 pixels a
// millimetre) fills 4 % of the frame, and its serial number is printed in 8
// points (2.8 mm, 62 pixels to the em; digits 45 pixels tall).
QImage labelPhoto()
{
    QImage photo(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient wall(0, 0, 0, 3000);
    wall.setColorAt(0, QColor(0x6a, 0x7f, 0x99));
    wall.setColorAt(1, QColor(0x2b, 0x24, 0x20));
    painter.fillRect(photo.rect(), wall);
    painter.fillRect(LabelInPhoto, Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(62);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(LabelInPhoto, Qt::AlignCenter, QStringLiteral("7305182649"));
    return photo;
}

QString saved(const QImage &image, const QString &path, const char *format)
{
    EXPECT_TRUE(image.save(path, format, 90)) << path.toStdString();
    return path;
}

QImage plain(QColor colour, QSize size = QSize(400, 300))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A receipt as a shop's till or a web shop writes one: a PDF of pages of
// text.
QString receiptPdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A5));
    writer.setResolution(300);
    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(28);
    painter.setFont(font);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.fillRect(QRect(100, 100, 1000, 600), Qt::black);
        painter.drawText(QPoint(100, 900), QStringLiteral("Receipt page %1").arg(page));
    }
    return path;
}

// The page of pdf (from 1) as a picture at dpi, made by poppler's pdftoppm,
// as a reader's viewer shows it at 100 % for dpi 96.
QImage pdfPage(const QString &pdf, int page, int dpi)
{
    const QString prefix = pdf + QStringLiteral("-page");
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
                    QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"), QStringLiteral("-png"),
                    pdf, prefix});
    EXPECT_TRUE(pdftoppm.waitForFinished(60000));
    EXPECT_EQ(pdftoppm.exitCode(), 0) << pdftoppm.readAllStandardError().toStdString();
    return QImage(prefix + QStringLiteral(".png"));
}

// The height in pixels of the tallest run of rows within area that hold
// dark pixels: the height the label's digits are drawn at.
int inkHeight(const QImage &page, const QRect &area)
{
    int tallest = 0;
    int run = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool ink = false;
        for (int x = area.left(); x <= area.right() && !ink; ++x)
            ink = qGray(page.pixel(x, y)) < 128;
        run = ink ? run + 1 : 0;
        tallest = std::max(tallest, run);
    }
    return tallest;
}

class ClaimEvidence : public ClaimTest {
protected:
    qint64 addEvidenceItem()
    {
        auto db = Database::open(household.DataFolder() + InventoryFileName);
        db->execute(QStringLiteral("insert into categories (catDesc) values ('Evidence')"));
        const qint64 category = db->scalar(QStringLiteral("select max(catid) from categories")).toLongLong();
        db.reset();
        return addItem({{"Item", QStringLiteral("Amplifier")}, {"totvalue", 900}, {"catid", category}});
    }

    QTemporaryDir sources;
};

} // namespace

// An item with seven photos, a receipt PDF of two pages, a receipt photo and
// a manual: its page shows the first photo across the page, the others in
// rows of five, the documents with their kinds; the appendix gives each
// receipt page a page of its own, labelled with the item. Drawn and turned
// into pictures, the serial number on the first photo is legible at 100 %.
TEST_F(ClaimEvidence, TheClaimShowsEveryPhotoAndReceiptAndTheLabelStaysLegible)
{
    const qint64 key = addEvidenceItem();
    ItemAttachments attachments(household);
    attachments.attach(key, AttachedKind::Photo, saved(labelPhoto(), sources.filePath("plate.jpg"), "JPG"));
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta, Qt::yellow};
    for (qsizetype i = 0; i < colours.size(); ++i)
        attachments.attach(key, AttachedKind::Photo,
                           saved(plain(colours[i]), sources.filePath(QStringLiteral("side%1.jpg").arg(i)), "JPG"));
    attachments.attach(key, AttachedKind::Receipt, receiptPdf(sources.filePath("invoice.pdf"), 2),
                       QStringLiteral("paid by card"));
    attachments.attach(key, AttachedKind::Manual, saved(plain(Qt::gray), sources.filePath("manual.png"), "PNG"));
    attachments.attach(key, AttachedKind::Receipt,
                       saved(plain(Qt::darkGreen, QSize(300, 600)), sources.filePath("till.jpg"), "JPG"));

    QString problem;
    const std::optional<QList<ClaimItem>> items =
        selectClaimItems(household, {ClaimSelection::Kind::Category, QStringLiteral("evidence")}, &problem);
    ASSERT_TRUE(items) << problem.toStdString();
    ASSERT_EQ(items->size(), 1);
    EXPECT_EQ(items->front().photoPaths.size(), 7);
    EXPECT_EQ(items->front().photoPaths.front(), household.itemFiles().picture(key)) << "the picture first";

    PageLayout doc;
    buildClaimDocument(doc, ClaimantDetails{QStringLiteral("Ada"), {}, QStringLiteral("P-1"), {}, {}}, {}, *items,
                       Today);
    // The first photo keeps the size that lets its label be read; a second
    // row of further photos goes on to the next page.
    ASSERT_EQ(doc.pageCount(), 6) << "the cover, the item on two pages, and three receipt pages";

    const QList<PlacedRow> rows = doc.pageContent(1).rows + doc.pageContent(2).rows;
    ASSERT_EQ(doc.pageContent(1).rows.size(), 4) << "heading, fields, the first photo, five further photos";
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].cells[0].text, QStringLiteral("1 of 1: Amplifier"));
    EXPECT_EQ(rows[1].cells[1].text,
              QStringLiteral("Documents:\nReceipt: invoice.pdf (paid by card)\n"
                             "Manual: manual.png\nReceipt: till.jpg"));
    const PlacedCell &first = rows[2].cells.value(0);
    ASSERT_TRUE(first.picture);
    EXPECT_GT(first.pictureRect.width(), 6.5 * 1440) << "the first photo spans the page, or nearly";
    EXPECT_GE(first.pictureDotsPerInch, 144);
    const auto picturesIn = [](const PlacedRow &row) {
        return std::count_if(row.cells.begin(), row.cells.end(), [](const PlacedCell &c) { return bool(c.picture); });
    };
    EXPECT_EQ(picturesIn(rows[3]), 5);
    EXPECT_EQ(picturesIn(rows[4]), 1);
    EXPECT_LT(rows[3].cells[0].pictureRect.width(), first.pictureRect.width() / 4);

    const QStringList labels{QStringLiteral("Receipt of 1 of 1: Amplifier (invoice.pdf, page 1 of 2)"),
                             QStringLiteral("Receipt of 1 of 1: Amplifier (invoice.pdf, page 2 of 2)"),
                             QStringLiteral("Receipt of 1 of 1: Amplifier (till.jpg)")};
    for (int page = 3; page < 6; ++page) {
        const QList<PlacedRow> receipt = doc.pageContent(page).rows;
        ASSERT_EQ(receipt.size(), 2);
        EXPECT_EQ(receipt[0].cells[0].text, labels[page - 3]);
        EXPECT_TRUE(receipt[1].cells[0].picture) << page;
        EXPECT_GT(receipt[1].cells[0].pictureRect.height(), 8 * 1440) << "the receipt fills its page";
    }

    const QString pdf = folderPath() + QStringLiteral("claim.pdf");
    QString error;
    ASSERT_TRUE(doc.exportPdf(pdf, &error)) << error.toStdString();

    // At 100 % the label's digits are drawn tall enough to read: 7 pixels
    // is what a screen needs for a digit to be told from its neighbours.
    const QImage itemPage = pdfPage(pdf, 2, 96);
    ASSERT_FALSE(itemPage.isNull());
    const double pixelsPerTwip = 96.0 / 1440;
    const QRectF photo = first.pictureRect;
    const double scale = photo.width() / 4000 * pixelsPerTwip;
    const QRect label(qRound(photo.left() * pixelsPerTwip + LabelInPhoto.left() * scale) + 3,
                      qRound(photo.top() * pixelsPerTwip + LabelInPhoto.top() * scale) + 3,
                      qRound(LabelInPhoto.width() * scale) - 6, qRound(LabelInPhoto.height() * scale) - 6);
    ASSERT_TRUE(itemPage.rect().contains(label));
    const int digits = inkHeight(itemPage, label);
    EXPECT_GE(digits, 7) << "the serial number is drawn " << digits << " pixels tall";
    EXPECT_LE(digits, 12) << "only the digits are dark on the label";

    // The receipt PDF's page was drawn: its black box is on the page.
    const QImage receiptPage = pdfPage(pdf, 4, 48);
    ASSERT_FALSE(receiptPage.isNull());
    int dark = 0;
    for (int y = receiptPage.height() / 8; y < receiptPage.height() * 7 / 8; ++y)
        for (int x = 0; x < receiptPage.width(); ++x)
            dark += qGray(receiptPage.pixel(x, y)) < 64;
    EXPECT_GT(dark, receiptPage.width() * receiptPage.height() / 50);
}

// A receipt the claim cannot draw says so on its appendix page, labelled
// with its item; a manual or a warranty card is listed, not appended.
TEST_F(ClaimEvidence, AReceiptThatCannotBeDrawnIsNamedWithTheReason)
{
    const qint64 key = addEvidenceItem();
    ItemAttachments attachments(household);
    QFile broken(sources.filePath("scan.pdf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("%PDF-1.4\nthis is no PDF at all");
    broken.close();
    attachments.attach(key, AttachedKind::Receipt, broken.fileName());
    QFile text(sources.filePath("receipt.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Paid 900.00");
    text.close();
    attachments.attach(key, AttachedKind::Receipt, text.fileName());
    attachments.attach(key, AttachedKind::Warranty, text.fileName());

    QString problem;
    const std::optional<QList<ClaimItem>> items =
        selectClaimItems(household, {ClaimSelection::Kind::Category, QStringLiteral("Evidence")}, &problem);
    ASSERT_TRUE(items);
    PageLayout doc;
    buildClaimDocument(doc, {}, {}, *items, Today);
    ASSERT_EQ(doc.pageCount(), 4);
    EXPECT_EQ(
        doc.pageContent(1).rows.value(1).cells.value(1).text,
        QStringLiteral("No picture\n\nDocuments:\nReceipt: scan.pdf\nReceipt: receipt.txt\nWarranty: receipt.txt"));
    EXPECT_EQ(doc.pageContent(2).rows.value(1).cells.value(0).text,
              QStringLiteral("This receipt is a PDF file that cannot be read."));
    EXPECT_EQ(doc.pageContent(3).rows.value(0).cells.value(0).text,
              QStringLiteral("Receipt of 1 of 1: Amplifier (receipt.txt)"));
    EXPECT_TRUE(doc.pageContent(3).rows.value(1).cells.value(0).text.startsWith(
        QStringLiteral("This receipt is a file the claim cannot show")));
    const QString pdf = folderPath() + QStringLiteral("claim.pdf");
    EXPECT_TRUE(doc.exportPdf(pdf));
}
