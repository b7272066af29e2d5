#include "LayoutFixture.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <mutex>

namespace {

using PicturePlacement = LayoutTest;

// A picture of a given shape, one colour, that records every size it was
// asked for (from whichever thread asks).
class FakePicture : public LayoutPicture {
public:
    FakePicture(QSize shape, QColor colour) : m_shape(shape), m_colour(colour) {}
    QSize size() const override { return m_shape; }
    QImage image(QSize pixels) const override
    {
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            asked.push_back(pixels);
        }
        QImage image(m_shape.scaled(pixels, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        image.fill(m_colour);
        return image;
    }
    mutable std::vector<QSize> asked;

private:
    mutable std::mutex m_lock;
    QSize m_shape;
    QColor m_colour;
};

const QString Format = QStringLiteral("5760|4320;");
constexpr double Height = 2880;

} // namespace

// The picture keeps its proportions within the column (less padding) and the
// height it is given, sits at the top of its cell, centred across it, and
// makes the row at least that tall.
TEST_F(PicturePlacement, APictureFitsItsCellWithItsProportionsKept)
{
    struct Row {
        const char *name;
        QSize shape;
        QSizeF drawn;
    };
    const double room = 4320 - 2 * PageLayout::CellPaddingX; // 4200 twips across
    const Row rows[] = {
        {"landscape, limited by the width", {4000, 2000}, {room, room / 2}},
        {"landscape, limited by the height", {4000, 3000}, {Height * 4 / 3, Height}},
        {"portrait, limited by the height", {3000, 4000}, {Height * 0.75, Height}},
        {"a thin strip", {1000, 10}, {room, room / 100}},
        {"a tiny icon is enlarged to its room", {16, 16}, {Height, Height}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PageLayout document;
        document.startDoc();
        ASSERT_TRUE(document.pictureRow(Format, {QStringLiteral("Clock"), QStringLiteral("no picture")}, 1,
                                        std::make_shared<FakePicture>(row.shape, Qt::red), Height));
        document.endDoc();
        const PlacedRow placed = document.pageContent(0).rows.at(0);
        const PlacedCell &cell = placed.cells.at(1);
        ASSERT_TRUE(cell.picture);
        EXPECT_TRUE(cell.lines.isEmpty()) << "the picture's cell shows no text";
        EXPECT_NEAR(cell.pictureRect.width(), row.drawn.width(), 1);
        EXPECT_NEAR(cell.pictureRect.height(), row.drawn.height(), 1);
        EXPECT_NEAR(cell.pictureRect.top(), cell.rect.top() + PageLayout::CellPaddingY, 0.01);
        EXPECT_NEAR(cell.pictureRect.center().x(), cell.rect.center().x(), 0.5);
        EXPECT_GE(placed.rect.height(), Height + 2 * PageLayout::CellPaddingY) << "the row makes room for it";
        EXPECT_EQ(placed.cells.at(0).lines, QStringList{QStringLiteral("Clock")});
    }
}

// Without a picture that can be read, the cell shows its text like any.
TEST_F(PicturePlacement, ACellWithoutAReadablePictureShowsItsText)
{
    PageLayout document;
    document.startDoc();
    EXPECT_TRUE(document.pictureRow(Format, {QStringLiteral("a"), QStringLiteral("no picture")}, 1, nullptr, Height));
    EXPECT_TRUE(document.pictureRow(Format, {QStringLiteral("b"), QStringLiteral("unreadable")}, 1,
                                    std::make_shared<FakePicture>(QSize(), Qt::red), Height));
    EXPECT_FALSE(document.pictureRow(Format, {QStringLiteral("c"), QString()}, 2,
                                     std::make_shared<FakePicture>(QSize(4, 3), Qt::red), Height))
        << "a column the format does not have";
    EXPECT_FALSE(document.pictureRow(QStringLiteral("bad"), {QStringLiteral("d")}, 0,
                                     std::make_shared<FakePicture>(QSize(4, 3), Qt::red), Height));
    document.endDoc();
    const QList<PlacedRow> rows = document.pageContent(0).rows;
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].cells[1].lines, QStringList{QStringLiteral("no picture")});
    EXPECT_EQ(rows[1].cells[1].lines, QStringList{QStringLiteral("unreadable")});
    EXPECT_FALSE(rows[0].cells[1].picture);
    EXPECT_LT(rows[0].rect.height(), Height) << "no room is kept for a missing picture";
}

// Pictures are read when painted, at the size they land on the device but
// never finer than the document's resolution for pictures; a page break
// starts a page only after something was put on the current one.
TEST_F(PicturePlacement, PicturesAreReadAtTheSizeTheyAreDrawn)
{
    auto photo = std::make_shared<FakePicture>(QSize(4000, 3000), Qt::blue);
    PageLayout document;
    document.startDoc();
    EXPECT_TRUE(document.breakPage());
    EXPECT_EQ(document.pageCount(), 1) << "no empty page";
    document.pictureRow(Format, {QStringLiteral("Lamp"), QString()}, 1, photo, Height);
    EXPECT_TRUE(document.breakPage());
    EXPECT_TRUE(document.breakPage());
    EXPECT_EQ(document.pageCount(), 2);
    document.tableText(Format, QStringList{QStringLiteral("after the break")});
    document.endDoc();
    EXPECT_FALSE(document.breakPage());
    EXPECT_TRUE(photo->asked.empty()) << "nothing is read while the document is laid out";

    const PlacedCell cell = document.pageContent(0).rows.at(0).cells.at(1);
    // On a small image: the picture's own size there.
    const double scale = 0.05; // pixels per twip
    QImage page((document.documentPageSize() * scale).toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        document.paintPage(painter, 0, QRectF(QPointF(0, 0), document.documentPageSize() * scale));
    }
    ASSERT_EQ(photo->asked.size(), 1u);
    EXPECT_NEAR(photo->asked[0].width(), cell.pictureRect.width() * scale, 1.5);
    const QPoint middle = (cell.pictureRect.center() * scale).toPoint();
    EXPECT_EQ(page.pixelColor(middle), QColor(Qt::blue));

    // In a PDF of 1200 dots per inch: no finer than the pictures' resolution.
    photo->asked.clear();
    EXPECT_TRUE(document.exportPdf(path(QStringLiteral("photo.pdf"))));
    ASSERT_EQ(photo->asked.size(), 1u);
    EXPECT_NEAR(photo->asked[0].width(), cell.pictureRect.width() / 1440 * PageLayout::PictureDotsPerInch, 1.5);
    EXPECT_EQ(pdfPageCount(path(QStringLiteral("photo.pdf"))), 2);
}

// A row of pictures: each sits in its own column at the height given; a
// picture that cannot be read, or a second one for a column, leaves the
// cell its text; a column the format lacks refuses the row. They are read
// no finer than the resolution the row asks for.
TEST_F(PicturePlacement, ARowHoldsAPictureInEachOfItsColumns)
{
    const QString row = QStringLiteral("2880|2880|2880;");
    auto red = std::make_shared<FakePicture>(QSize(4000, 3000), Qt::red);
    auto blue = std::make_shared<FakePicture>(QSize(3000, 4000), Qt::blue);
    PageLayout document;
    document.startDoc();
    EXPECT_FALSE(document.pictureRow(row, {"a", "b", "c"}, {{0, red}, {3, blue}}, Height))
        << "a column the format does not have";
    EXPECT_TRUE(document.pictureRow(
        row, {"a", "b", "c"}, {{0, red}, {1, std::make_shared<FakePicture>(QSize(), Qt::red)}, {2, blue}, {2, red}},
        1440, 300));
    EXPECT_TRUE(document.pictureRow(row, {"only text"}, {{1, red}}, 1440)) << "no cell for the picture";
    document.endDoc();
    const QList<PlacedRow> rows = document.pageContent(0).rows;
    ASSERT_EQ(rows.size(), 2);
    const QList<PlacedCell> &cells = rows[0].cells;
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells[0].picture, red);
    EXPECT_FALSE(cells[1].picture);
    EXPECT_EQ(cells[1].lines, QStringList{"b"});
    EXPECT_EQ(cells[2].picture, blue) << "the first picture given for a column";
    // Both as tall as the row allows, each with its own proportions.
    EXPECT_NEAR(cells[0].pictureRect.height(), 1440, 1);
    EXPECT_NEAR(cells[0].pictureRect.width(), 1920, 1);
    EXPECT_NEAR(cells[2].pictureRect.height(), 1440, 1);
    EXPECT_NEAR(cells[2].pictureRect.width(), 1080, 1);
    EXPECT_EQ(cells[0].pictureDotsPerInch, 300);
    EXPECT_FALSE(rows[1].cells[0].picture);

    EXPECT_TRUE(document.exportPdf(path(QStringLiteral("row.pdf"))));
    ASSERT_EQ(red->asked.size(), 1u);
    EXPECT_NEAR(red->asked[0].width(), cells[0].pictureRect.width() / 1440 * 300, 1.5);
    ASSERT_EQ(blue->asked.size(), 1u);
}

// A row whose text is taller than a page is continued on the next pages;
// its picture is drawn once, in its first part.
TEST_F(PicturePlacement, ARowTallerThanAPageShowsItsPictureOnce)
{
    PageLayout document;
    document.startDoc();
    QStringList lines;
    for (int i = 0; i < 150; ++i)
        lines << QStringLiteral("line %1").arg(i);
    document.pictureRow(Format, {lines.join(u'\n'), QString()}, 1,
                        std::make_shared<FakePicture>(QSize(400, 300), Qt::green), Height);
    document.endDoc();
    ASSERT_GE(document.pageCount(), 2);
    int pictures = 0;
    for (const PlacedOnPage &placed : everyPlacedRow(document)) {
        const PlacedCell &cell = placed.row.cells.at(1);
        if (cell.picture) {
            ++pictures;
            EXPECT_EQ(placed.row.firstLine, 0);
            EXPECT_LE(cell.pictureRect.bottom(), placed.row.rect.bottom());
        }
    }
    EXPECT_EQ(pictures, 1);
}

namespace {

// What the pictures of one document went through: how many reads ran at
// once at most, how many run now, how many ended.
struct ReadCount {
    std::mutex lock;
    int running = 0;
    int most = 0;
    int reads = 0;
};

class CountedPicture : public LayoutPicture {
public:
    explicit CountedPicture(ReadCount &count) : m_count(count) {}
    QSize size() const override { return QSize(400, 300); }
    QImage image(QSize pixels) const override
    {
        {
            const std::lock_guard<std::mutex> lock(m_count.lock);
            m_count.most = std::max(m_count.most, ++m_count.running);
        }
        // Work as a photo's decoding is: long beside starting a thread.
        QImage photo(1600, 1200, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        const QImage image = photo.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const std::lock_guard<std::mutex> lock(m_count.lock);
        --m_count.running;
        ++m_count.reads;
        return image;
    }

private:
    ReadCount &m_count;
};

} // namespace

// A document of many small photos a page is painted with a few reads at a
// time, not a thread for every photo of the pages read ahead; every photo
// is read once, and no read runs on once the pages are painted.
TEST_F(PicturePlacement, AFewPicturesAreReadAtOnceHoweverManyAPageHolds)
{
    ReadCount count;
    constexpr int Pictures = 120;
    PageLayout document;
    document.startDoc();
    for (int i = 0; i < Pictures; ++i)
        document.pictureRow(Format, {QStringLiteral("Item %1").arg(i), QString()}, 1,
                            std::make_shared<CountedPicture>(count), 360);
    document.endDoc();
    ASSERT_GE(document.pageContent(0).rows.size(), 4 * PageLayout::PictureReaders) << "many pictures a page";

    ASSERT_TRUE(document.exportPdf(path(QStringLiteral("many.pdf"))));
    const std::lock_guard<std::mutex> lock(count.lock);
    EXPECT_EQ(count.reads, Pictures);
    EXPECT_EQ(count.running, 0);
    EXPECT_GE(count.most, 1);
    EXPECT_LE(count.most, PageLayout::PictureReaders);
    EXPECT_EQ(pdfPageCount(path(QStringLiteral("many.pdf"))), document.pageCount());
}
