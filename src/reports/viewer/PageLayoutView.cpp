#include "reports/viewer/PageLayoutView.h"

#include "reports/PageLayout.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <iterator>

PageLayoutView::PageLayoutView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
}

void PageLayoutView::setDocument(const PageLayout *document)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    if (m_document)
        connect(m_document, &PageLayout::documentChanged, this, &PageLayoutView::documentChanged);
    documentChanged();
}

void PageLayoutView::documentChanged()
{
    m_current = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    emit viewChanged();
}

int PageLayoutView::pageCount() const
{
    return m_document ? m_document->pageCount() : 0;
}

void PageLayoutView::setZoom(Zoom zoom)
{
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    emit viewChanged();
}

namespace {

// The sizes zooming steps through, in percent.
constexpr int ZoomSteps[] = {10, 25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};

} // namespace

int PageLayoutView::zoomPercent() const
{
    if (m_zoom == Zoom::Percent)
        return m_percent;
    // Pixels per twip against those of the paper's own size on this screen.
    return int(std::lround(grid().scale * 1440 / logicalDpiX() * 100));
}

void PageLayoutView::setZoomPercent(int percent)
{
    percent = std::clamp(percent, MinZoomPercent, MaxZoomPercent);
    if (m_zoom == Zoom::Percent && percent == m_percent)
        return;
    // The page in sight stays in sight.
    m_percent = percent;
    m_zoom = Zoom::Percent;
    updateScrollBars();
    viewport()->update();
    emit viewChanged();
}

void PageLayoutView::zoomIn()
{
    const int now = zoomPercent();
    for (const int step : ZoomSteps) {
        if (step > now) {
            setZoomPercent(step);
            return;
        }
    }
    setZoomPercent(MaxZoomPercent);
}

void PageLayoutView::zoomOut()
{
    const int now = zoomPercent();
    for (auto step = std::rbegin(ZoomSteps); step != std::rend(ZoomSteps); ++step) {
        if (*step < now) {
            setZoomPercent(*step);
            return;
        }
    }
    setZoomPercent(MinZoomPercent);
}

void PageLayoutView::setCurrentPage(int page)
{
    page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    if (page == m_current)
        return;
    m_current = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit viewChanged();
}

PageLayoutView::Grid PageLayoutView::grid() const
{
    Grid g;
    const QSize view = viewport()->size();
    g.content = view;
    const QSizeF page = m_document ? m_document->documentPageSize() : QSizeF();
    if (page.isEmpty())
        return g;
    const double width = page.width();
    const double height = page.height();
    switch (m_zoom) {
    case Zoom::WholePage:
        g.scale = std::min((view.width() - 2.0 * Gap) / width, (view.height() - 2.0 * Gap) / height);
        break;
    case Zoom::PageWidth:
        g.scale = (view.width() - 2.0 * Gap) / width;
        g.content.setHeight(int(height * std::max(g.scale, 0.0)) + 2 * Gap);
        break;
    case Zoom::TwoPages:
        g.scale = std::min((view.width() - 3.0 * Gap) / (2 * width), (view.height() - 2.0 * Gap) / height);
        g.columns = 2;
        break;
    case Zoom::Percent:
        g.scale = m_percent / 100.0 * logicalDpiX() / 1440;
        g.content = QSize(int(width * g.scale) + 2 * Gap, int(height * g.scale) + 2 * Gap);
        break;
    case Zoom::Thumbnail: {
        g.scale = ThumbnailWidth / width;
        const int thumbHeight = int(height * g.scale);
        g.columns = std::max(1, (view.width() - Gap) / (ThumbnailWidth + Gap));
        g.rows = std::max(1, (view.height() - Gap) / (thumbHeight + Gap));
        break;
    }
    }
    // A view squeezed to nothing still gets pages of a few pixels.
    g.scale = std::max(g.scale, 0.002);
    return g;
}

int PageLayoutView::pagesShown() const
{
    const Grid g = grid();
    return g.columns * g.rows;
}

QList<QRect> PageLayoutView::pageRects() const
{
    QList<QRect> rects;
    const Grid g = grid();
    if (!m_document)
        return rects;
    const QSizeF page = m_document->documentPageSize();
    const int width = std::max(1, int(page.width() * g.scale));
    const int height = std::max(1, int(page.height() * g.scale));
    const int count = std::min(g.columns * g.rows, pageCount() - m_current);
    const QSize view = viewport()->size();
    const int gridWidth = g.columns * width + (g.columns - 1) * Gap;
    const int gridHeight = g.rows * height + (g.rows - 1) * Gap;
    const int left = std::max(Gap, (view.width() - gridWidth) / 2) - horizontalScrollBar()->value();
    const int top = (m_zoom == Zoom::PageWidth || m_zoom == Zoom::Thumbnail || m_zoom == Zoom::Percent
                         ? Gap
                         : std::max(Gap, (view.height() - gridHeight) / 2))
        - verticalScrollBar()->value();
    for (int i = 0; i < count; ++i) {
        const int column = i % g.columns;
        const int row = i / g.columns;
        rects.append(QRect(left + column * (width + Gap), top + row * (height + Gap), width, height));
    }
    return rects;
}

void PageLayoutView::updateScrollBars()
{
    const Grid g = grid();
    const QSize view = viewport()->size();
    verticalScrollBar()->setRange(0, std::max(0, g.content.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(std::max(1, view.height() / 20));
    horizontalScrollBar()->setRange(0, std::max(0, g.content.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(std::max(1, view.width() / 20));
}

void PageLayoutView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (!m_document)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QList<QRect> rects = pageRects();
    for (int i = 0; i < rects.size(); ++i) {
        const QRect &rect = rects[i];
        if (!rect.intersects(event->rect()))
            continue;
        painter.fillRect(rect, Qt::white);
        painter.save();
        painter.setClipRect(rect);
        m_document->paintPage(painter, m_current + i, QRectF(rect));
        painter.restore();
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void PageLayoutView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    // The fitting zooms change size, and the thumbnails their number.
    emit viewChanged();
}

void PageLayoutView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PageLayoutView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click on a page shows it alone.
    const QList<QRect> rects = pageRects();
    for (int i = 0; i < rects.size(); ++i) {
        if (rects[i].contains(event->position().toPoint())) {
            setCurrentPage(m_current + i);
            setZoom(Zoom::WholePage);
            return;
        }
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void PageLayoutView::wheelEvent(QWheelEvent *event)
{
    // With Ctrl the wheel zooms, as in other programs that show pages.
    // A wheel's notch is 120; touchpads send it in small parts, which add
    // up to a step.
    if (event->modifiers() & Qt::ControlModifier) {
        constexpr int Notch = 120;
        m_zoomWheel += event->angleDelta().y();
        for (; m_zoomWheel >= Notch; m_zoomWheel -= Notch)
            zoomIn();
        for (; m_zoomWheel <= -Notch; m_zoomWheel += Notch)
            zoomOut();
        event->accept();
        return;
    }
    // Where nothing scrolls, the wheel turns the pages.
    if (verticalScrollBar()->maximum() > 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta < 0)
        setCurrentPage(m_current + pagesShown());
    else if (delta > 0)
        setCurrentPage(m_current - pagesShown());
    event->accept();
}
