#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QPointer>
#include <QRect>

class PageLayout;

// Shows the pages of a PageLayout document: one page fitted to the view,
// one page as wide as the view (scrolling down), two pages side by side, as
// many thumbnails as fit, or one page at a size of its own (a percentage of
// the paper's size on the screen, for reading small print). Only the pages
// in sight are painted, so a report of thousands of pages shows as fast as
// one of a single page.
class PageLayoutView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Zoom { WholePage, PageWidth, TwoPages, Thumbnail, Percent };

    explicit PageLayoutView(QWidget *parent = nullptr);

    // The document shown (not owned). Whenever it starts or ends a document
    // the view goes back to the first page.
    void setDocument(const PageLayout *document);

    Zoom zoom() const { return m_zoom; }
    void setZoom(Zoom zoom);
    // The size the pages are shown at, in percent of the paper's own size
    // (rounded), whichever zoom is chosen.
    int zoomPercent() const;
    // Shows one page at that size (kept within MinZoomPercent to
    // MaxZoomPercent), scrolling both ways.
    void setZoomPercent(int percent);
    // The next size of the steps up or down from the size shown now.
    void zoomIn();
    void zoomOut();
    // The first page in sight (index from 0).
    int currentPage() const { return m_current; }
    void setCurrentPage(int page);
    int pageCount() const;
    // How many pages are in sight at once, and so the step of paging.
    int pagesShown() const;
    // The pages in sight, in viewport coordinates: entry i shows page
    // currentPage() + i.
    QList<QRect> pageRects() const;

    static constexpr int Gap = 12;             // pixels around pages
    static constexpr int ThumbnailWidth = 150; // pixels
    static constexpr int MinZoomPercent = 10;
    static constexpr int MaxZoomPercent = 400;

signals:
    // The current page, the zoom or the document changed.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    struct Grid {
        double scale = 0; // pixels per twip
        int columns = 1;
        int rows = 1;
        QSize content; // the scrolled area, pixels
    };
    Grid grid() const;
    void updateScrollBars();
    void documentChanged();

    QPointer<const PageLayout> m_document;
    Zoom m_zoom = Zoom::WholePage;
    int m_percent = 100; // for Zoom::Percent
    int m_zoomWheel = 0; // Ctrl+wheel turned, not yet a whole step
    int m_current = 0;
};
