#pragma once

#include "reports/PageLayoutText.h"
#include "reports/ReportTable.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPageLayout>
#include <QPageRanges>
#include <QRectF>
#include <QRgb>
#include <QSize>
#include <QSizeF>
#include <QStringList>
#include <QThreadPool>
#include <algorithm>
#include <array>
#include <future>
#include <list>
#include <memory>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// A picture that a table cell shows. The document keeps only this source:
// the picture is read each time a page that shows it is painted, at the size
// it is drawn there, so a document of a thousand photos holds none of them.
// image() may be called from several threads at once: while paintPages
// paints one page, the pictures of the next are read on other threads.
class LayoutPicture {
public:
    virtual ~LayoutPicture() = default;
    // The picture's size in pixels as it is shown (upright); its shape is
    // what the document keeps. Empty when it cannot be read.
    virtual QSize size() const = 0;
    // The picture read to fit within pixels, its proportions kept; a null
    // image when it cannot be read.
    virtual QImage image(QSize pixels) const = 0;
};

// One cell as it lands on a page.
struct PlacedCell {
    int column = 0;
    QString text;      // the whole cell text
    QStringList lines; // the lines of it shown on this page (wrapped)
    QRectF rect;       // the cell's box, twips from the page's top left
    bool alignRight = false;
    double scale = 1; // the size its text is drawn at: below 1 when a
                      // figure in it is wider than the column
    // A cell that shows a picture: its source, and where it is drawn (twips,
    // its proportions kept). Only the part of a row that holds the row's
    // first line shows the picture.
    std::shared_ptr<const LayoutPicture> picture;
    QRectF pictureRect;
    double pictureDotsPerInch = 0; // the finest it is read at
};

// One row, or the part of a tall row, that lands on a page.
struct PlacedRow {
    int row = 0;       // index among the document's rows (rowCells)
    int firstLine = 0; // the row's lines shown here: firstLine ...
    int lineCount = 0; // ... firstLine + lineCount - 1
    QRectF rect;       // across all the table's columns, twips
    std::optional<QRgb> shade;
    QList<PlacedCell> cells;
};

// What one page shows. Header and footer are the left, centre and right
// parts as shown, page number and all.
struct PageContent {
    QStringList header;
    QStringList footer;
    QList<PlacedRow> rows;
};

// The report document: pages with a header and a footer line and tables of
// rows, laid out as rows arrive and painted on any paint device on demand.
//
// All lengths are twips (1440 per inch) measured from the page's top left;
// they become device units only in paintPage. A document begins with
// startDoc, which also raises newPage for its first page, and takes rows
// until endDoc. Orientation, header and footer are settings that outlive a
// document: a new document takes the orientation set when it starts, and
// each page keeps the header and footer texts set when the page was
// finished (the last page: when the document ended).
//
// Rows are lists of cells, so "|" and ";" in data never split a cell. A cell
// text wraps within its column; a row too tall for the rest of the page goes
// to the next page, and a row taller than a whole page is continued on the
// following ones. Cells beyond the format's columns are not printed.
class PageLayout : public QObject {
    Q_OBJECT
public:
    enum class Orientation { Portrait, Landscape };

    static constexpr double Margin = 720;    // on all four sides
    static constexpr double HeaderGap = 240; // header line to body, body to footer line
    static constexpr double CellPaddingX = 45;
    static constexpr double CellPaddingY = 30;
    // The finest a picture is drawn, whatever the device: enough for a
    // printed photo, a PDF of many photos stays small, and a camera's JPEG
    // of a few thousand pixels across can be read at an eighth of its size.
    static constexpr double PictureDotsPerInch = 150;
    // The most pictures read at once while pages are painted. Reading a
    // photo is mostly decoding it: a few threads keep the processors busy,
    // and more only hold more photos in memory at once.
    static constexpr int PictureReaders = 4;

    explicit PageLayout(QObject *parent = nullptr);
    ~PageLayout() override;

    void setOrientation(Orientation orientation) { m_orientation = orientation; }
    Orientation orientation() const { return m_orientation; }
    // The page size for the orientation set now: US Letter where the
    // locale measures in inches, A4 elsewhere.
    double pageWidth() const;
    double pageHeight() const;

    // A row that begins every page of a document: a listing's column
    // headings in the columns of its table format.
    struct RepeatedHeading {
        QString format;
        QStringList cells;
    };
    // Drops the document held so far and begins a new one with its first
    // page (raising newPage). heading belongs to the new document alone:
    // whoever adds rows at a new page finds it in repeatedHeading(), and a
    // document begun without one has none, whatever the one before had.
    void startDoc(std::optional<RepeatedHeading> heading = std::nullopt);
    const std::optional<RepeatedHeading> &repeatedHeading() const { return m_repeatedHeading; }
    // Finishes the document; rows are refused until the next startDoc.
    void endDoc();
    bool isDocOpen() const { return m_docOpen; }

    // A header or footer line: its left, centre and right parts. In a part
    // that counts pages "%d" becomes the page number; every other part is
    // shown exactly as it is given, so a name that holds "%d" or "|" (a
    // claimant's, a policy number) stays as it was typed.
    struct PageLine {
        std::array<QString, 3> parts;
        std::array<bool, 3> numbered{};
        // Up to three parts separated by "|": left, centre, right. The first
        // "|" ends the left part and the last one begins the right part, so a
        // "|" inside a title stays in the centre. Every part counts pages.
        static PageLine fromText(const QString &text);
        // The three parts as page pageNumber shows them.
        QStringList shown(int pageNumber) const;
    };
    void setHeaderText(const QString &text) { m_header = PageLine::fromText(text); }
    void setFooterText(const QString &text) { m_footer = PageLine::fromText(text); }
    void setHeaderLine(const PageLine &line) { m_header = line; }
    void setFooterLine(const PageLine &line) { m_footer = line; }
    // The report's title, a setting like the header: the title of a PDF
    // file and the name proposed for one.
    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }

    // Appends rows as a table without shading. False, and nothing appended,
    // when no document is open or the format is not a valid table format.
    bool tableText(const QString &format, const QList<QStringList> &rows);
    bool tableText(const QString &format, const QStringList &row);
    // Appends a table: its header row (none when empty) shaded in
    // headerShade, then the body rows shaded in bodyShade.
    bool addTable(const QString &format, const QStringList &header, const QList<QStringList> &body, QRgb headerShade,
                  QRgb bodyShade);
    // Appends one row as tableText does, except that the cell of column
    // pictureColumn shows picture instead of its text: drawn as large as
    // fits in the column (less the cell padding) and pictureHeight twips,
    // its proportions kept, at the top of the cell and centred across it.
    // The row is at least that tall. A null picture, or one that cannot be
    // read, leaves the cell its text. False, and nothing appended, when
    // tableText would refuse, or the column is not one of the format's.
    bool pictureRow(const QString &format, const QStringList &cells, int pictureColumn,
                    std::shared_ptr<const LayoutPicture> picture, double pictureHeight);
    // The same with a picture in each of several columns (a row of photos),
    // each placed in its cell as above, all at most pictureHeight twips
    // tall. dotsPerInch is the finest they are read at: above
    // PictureDotsPerInch for a photo whose small print must stay legible
    // when a reader zooms in. False, and nothing appended, when tableText
    // would refuse or a column is not one of the format's.
    struct CellPicture {
        int column = 0;
        std::shared_ptr<const LayoutPicture> picture;
    };
    bool pictureRow(const QString &format, const QStringList &cells, const QList<CellPicture> &pictures,
                    double pictureHeight, double dotsPerInch = PictureDotsPerInch);
    // The next row begins a new page (raising newPage). A page that holds
    // nothing yet but what newPage added is not left, so breaks never make
    // an empty page. False when no document is open.
    bool breakPage();
    // Twips left on the page being filled, from where the next row goes to
    // the bottom of the body; 0 when no document is open. With the text
    // measures, a caller can keep rows that belong together on one page.
    double roomLeft() const { return m_docOpen ? std::max(0.0, bodyBottom() - m_y) : 0.0; }
    // The height of a row of that many lines, padding included.
    double rowHeight(int lines) const { return fragmentHeight(quint32(std::max(1, lines))); }

    // The document laid out so far. Pages are counted from 0 here; the page
    // number shown for "%d" is index + 1.
    int pageCount() const { return int(m_pages.size()); }
    int rowCount() const { return int(m_rows.size()); }
    QStringList rowCells(int row) const;
    PageContent pageContent(int page) const;
    // The page size and orientation of the document held (twips).
    QSizeF documentPageSize() const { return m_docSize; }
    QPageLayout documentPageLayout() const;
    // The report font and its measures.
    const PageLayoutText &text() const { return m_text; }

    // Paints one page into target (painter coordinates), stretched to fill
    // it; the background is left as it is.
    void paintPage(QPainter &painter, int page, const QRectF &target) const;
    // Paints the pages on device, one device page each, each fitted into
    // the device's paint area: those whose numbers (from 1) are in pages, or
    // all when pages is empty. False when there was nothing to paint or the
    // device could not be painted on.
    bool paintPages(QPagedPaintDevice &device, const QPageRanges &pages = {}) const;
    // Writes the document as a PDF file in its page size. The file is
    // replaced only once it is complete; on failure the old file (if any)
    // stays and error tells why.
    bool exportPdf(const QString &path, QString *error = nullptr) const;

signals:
    // A page has begun (the first one included). Rows that a handler adds
    // land at its top; pages begun while a handler runs raise no further
    // notification.
    void newPage();
    // A document was started or ended: views show its first page.
    void documentChanged();

private:
    struct Style {
        QList<TableColumn> columns;
        std::optional<QRgb> shade;
    };
    struct Row {
        quint32 style;
        quint32 firstCell; // into m_cellEnds
        quint32 cellCount;
        quint32 lines;                    // at least 1
        quint32 firstPicture = NoPicture; // into m_pictures, pictureCount of them
        quint32 pictureCount = 0;
    };
    static constexpr quint32 NoPicture = 0xFFFFFFFFu;
    struct RowPicture {
        quint32 column;
        std::shared_ptr<const LayoutPicture> source;
        QSizeF shape;  // the picture's size, for its proportions
        double height; // twips
        double dotsPerInch;
    };
    struct Fragment {
        quint32 row;
        quint32 firstLine;
        quint32 lineCount;
        float top;
    };
    struct Page {
        quint32 firstFragment; // up to the next page's first one
        PageLine header;       // captured when the page was finished
        PageLine footer;
    };

    std::optional<quint32> styleFor(const QString &format, std::optional<QRgb> shade);
    bool appendRows(quint32 style, const QStringList *rows, qsizetype count);
    void appendRow(quint32 style, const QStringList &cells, quint32 firstPicture = NoPicture, quint32 pictureCount = 0);
    // The picture of the row in column, if it has one.
    const RowPicture *pictureIn(const Row &row, quint32 column) const;
    // Where a row's picture is drawn in a cell box of the given height.
    QRectF pictureRect(const RowPicture &picture, const QRectF &cell, double fragmentHeight) const;
    // The pixels a picture drawn in rect (twips) is read at, on a device of
    // devicePerTwip pixels a twip, never finer than dotsPerInch.
    static QSize picturePixels(const QRectF &rect, double devicePerTwip, double dotsPerInch);
    // Queues for m_pictureReaders the pictures of the pages given that are
    // not read or being read yet (paintPages, devicePerTwip as there).
    void prefetchPictures(const QList<int> &pages, double devicePerTwip) const;
    // The picture read for drawing at pixels, through a few recent ones, so
    // paging back and forth in the preview does not read every photo again.
    QImage drawnPicture(const std::shared_ptr<const LayoutPicture> &source, QSize pixels) const;
    void placeRow(quint32 row);
    void addFragment(quint32 row, quint32 firstLine, quint32 lineCount);
    void beginPage();
    void finishPage();
    double fragmentHeight(quint32 lines) const;
    double bodyTop() const;
    double bodyBottom() const;
    QSizeF pageSizeFor(Orientation orientation) const;
    QString cellText(const Row &row, quint32 cell, quint32 rowIndex) const;

    PageLayoutText m_text;
    Orientation m_orientation = Orientation::Portrait;
    PageLine m_header;
    PageLine m_footer;
    QString m_title;

    // The document.
    bool m_docOpen = false;
    quint64 m_generation = 0; // counts startDoc calls
    Orientation m_docOrientation = Orientation::Portrait;
    QSizeF m_docSize;
    std::vector<Style> m_styles;
    std::vector<Row> m_rows;
    std::vector<QString> m_rowText;  // a row's cells one after another
    std::vector<quint32> m_cellEnds; // where each cell ends in its row's text
    std::vector<Fragment> m_fragments;
    std::vector<Page> m_pages;
    std::vector<RowPicture> m_pictures;
    double m_y = 0;           // where the next row goes
    bool m_pageFresh = false; // nothing but newPage's rows on the page yet
    bool m_inNewPage = false;
    std::optional<RepeatedHeading> m_repeatedHeading;

    // The format read last, so a long run of one-row tables reads it once.
    QString m_lastFormat;
    std::optional<QList<TableColumn>> m_lastColumns;

    // The wrapped lines of the cells of the last row shown in parts: a row
    // taller than a page appears on many pages, and wrapping a huge cell
    // again for each of them made printing such a report take minutes.
    // Valid for m_wrappedRow of document m_wrappedGeneration.
    QList<QStringList> wrappedCells(quint32 row) const;
    mutable quint64 m_wrappedGeneration = 0;
    mutable std::optional<quint32> m_wrappedRow;
    mutable QList<QStringList> m_wrappedLines;
    mutable QList<double> m_wrappedScales; // each cell's size, likewise

    struct CachedPicture {
        const LayoutPicture *source;
        QSize pixels;
        QImage image;
    };
    static constexpr size_t PictureCacheSize = 12;
    mutable std::list<CachedPicture> m_pictureCache; // most recent first
    // Pictures being read ahead by paintPages; taken by drawnPicture.
    struct PendingPicture {
        const LayoutPicture *source;
        QSize pixels;
        std::shared_ptr<const LayoutPicture> keep; // alive while it is read
        std::future<QImage> image;
    };
    mutable std::list<PendingPicture> m_pendingPictures;
    // The threads that read them, PictureReaders at most, in the order the
    // pages need them. Declared last: reads still running end before the
    // rest of the document goes.
    mutable QThreadPool m_pictureReaders;
};
