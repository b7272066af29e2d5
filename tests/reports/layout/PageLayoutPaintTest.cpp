#include "FileSizeLimit.h"
#include "LayoutFixture.h"

#include "reports/ReportDefaults.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

namespace {

using Painting = LayoutTest;

// Pixels per twip of the test images: a Letter page is 612 × 792 pixels.
constexpr double Scale = 0.05;

QImage paint(const PageLayout &document, int page)
{
    const QSizeF size = document.documentPageSize() * Scale;
    QImage image(size.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.paintPage(painter, page, QRectF(QPointF(0, 0), size));
    return image;
}

// The leftmost and rightmost pixel columns with ink within rect (twips).
std::pair<int, int> inkColumns(const QImage &image, const QRectF &rect)
{
    const QRect area = QRectF(rect.topLeft() * Scale, rect.bottomRight() * Scale).toRect().intersected(image.rect());
    int first = -1, last = -1;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

TEST_F(Painting, TextSitsByItsAlignmentAndShadingFillsItsRow)
{
    PageLayout document;
    document.setHeaderText(QStringLiteral("Left|Centre|Page %d"));
    document.startDoc();
    document.tableText(QStringLiteral("2880|>2880;"), QStringList{QStringLiteral("8888"), QStringLiteral("8888")});
    document.addTable(QStringLiteral("2880|2880;"), {}, {{QString(), QString()}}, HeaderShade, BodyShade);
    const QList<PlacedRow> rows = document.pageContent(0).rows;
    ASSERT_EQ(rows.size(), 2);
    const QImage image = paint(document, 0);

    const auto [leftFirst, leftLast] = inkColumns(image, rows[0].cells[0].rect);
    const auto [rightFirst, rightLast] = inkColumns(image, rows[0].cells[1].rect);
    const double padding = PageLayout::CellPaddingX * Scale;
    EXPECT_NEAR(leftFirst, rows[0].cells[0].rect.left() * Scale + padding, 2);
    EXPECT_NEAR(rightLast, rows[0].cells[1].rect.right() * Scale - padding, 2);
    EXPECT_NEAR(leftLast - leftFirst, rightLast - rightFirst, 1);

    EXPECT_EQ(image.pixel((rows[1].rect.center() * Scale).toPoint()), qRgb(200, 200, 200));
    EXPECT_FALSE(rows[0].shade.has_value());
    EXPECT_EQ(image.pixel((rows[1].rect.bottomRight() * Scale).toPoint() + QPoint(4, 0)), qRgb(255, 255, 255));

    // The header runs from the left margin to the right one.
    const double width = document.documentPageSize().width();
    const auto [headerFirst, headerLast] =
        inkColumns(image, QRectF(0, PageLayout::Margin, width, document.text().lineHeight()));
    EXPECT_NEAR(headerFirst, PageLayout::Margin * Scale, 2);
    EXPECT_NEAR(headerLast, (width - PageLayout::Margin) * Scale, 2);
}

TEST_F(Painting, PdfHasTheDocumentsPagesInItsOrientation)
{
    PageLayout document;
    document.setOrientation(PageLayout::Orientation::Landscape);
    document.startDoc();
    document.tableText(QStringLiteral("1440|>1440;"), numberedRows(100));
    document.endDoc();
    ASSERT_GT(document.pageCount(), 1);

    const QString file = path(QStringLiteral("report.pdf"));
    QString error;
    ASSERT_TRUE(document.exportPdf(file, &error)) << error.toStdString();
    EXPECT_EQ(pdfPageCount(file), document.pageCount());
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    // Landscape Letter: 792 × 612 points.
    static const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[0 0 792(\\.0*)? 612(\\.0*)?\\]"));
    EXPECT_TRUE(mediaBox.match(QString::fromLatin1(pdf.readAll())).hasMatch());
}

TEST_F(Painting, AFailedExportLeavesNoFileBehind)
{
    PageLayout document;
    QString error;
    // No document yet: nothing to write.
    EXPECT_FALSE(document.exportPdf(path(QStringLiteral("none.pdf")), &error));
    EXPECT_FALSE(error.isEmpty());

    document.startDoc();
    document.endDoc();
    error.clear();
    EXPECT_FALSE(document.exportPdf(path(QStringLiteral("missing/folder/report.pdf")), &error));
    EXPECT_FALSE(error.isEmpty());

    // An existing file is replaced whole, with no temporary file left over.
    const QString file = path(QStringLiteral("old.pdf"));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    EXPECT_TRUE(document.exportPdf(file));
    EXPECT_EQ(pdfPageCount(file), 1);
    EXPECT_EQ(QDir(path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("old.pdf")});

    // A disk that fills up with the last bytes of the file: refused, and the
    // file that was there stays whole.
    const QByteArray whole = [&] {
        QFile written(file);
        return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    }();
    ASSERT_GT(whole.size(), 200);
    error.clear();
    bool exported = true;
    {
        const FileSizeLimit full(rlim_t(whole.size() - 100));
        exported = document.exportPdf(file, &error);
    }
    EXPECT_FALSE(exported);
    EXPECT_FALSE(error.isEmpty());
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll() == whole);
    EXPECT_EQ(QDir(path(QString())).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.pdf")});
}

} // namespace
