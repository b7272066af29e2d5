#include "reports/PageLayout.h"

#include "data/BufferedSaveFile.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <exception>
#include <future>
#include <memory>

PageLayout::PageLine PageLayout::PageLine::fromText(const QString &text)
{
    PageLine line;
    line.numbered = {true, true, true};
    const qsizetype first = text.indexOf(QLatin1Char('|'));
    if (first < 0) {
        line.parts[0] = text;
        return line;
    }
    const qsizetype last = text.lastIndexOf(QLatin1Char('|'));
    line.parts[0] = text.left(first);
    if (last == first) {
        line.parts[1] = text.mid(first + 1);
        return line;
    }
    line.parts[1] = text.mid(first + 1, last - first - 1);
    line.parts[2] = text.mid(last + 1);
    return line;
}

QStringList PageLayout::PageLine::shown(int pageNumber) const
{
    QStringList shown;
    for (size_t i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (numbered[i])
            part.replace(QStringLiteral("%d"), QString::number(pageNumber));
        shown << part;
    }
    return shown;
}

PageContent PageLayout::pageContent(int page) const
{
    PageContent content;
    if (page < 0 || page >= pageCount())
        return content;
    const Page &p = m_pages[size_t(page)];
    // The page being filled shows the texts as they are set now.
    const bool open = m_docOpen && page == pageCount() - 1;
    content.header = (open ? m_header : p.header).shown(page + 1);
    content.footer = (open ? m_footer : p.footer).shown(page + 1);

    const size_t end = size_t(page) + 1 < m_pages.size() ? m_pages[size_t(page) + 1].firstFragment : m_fragments.size();
    for (size_t f = p.firstFragment; f < end; ++f) {
        const Fragment &fragment = m_fragments[f];
        const Row &row = m_rows[fragment.row];
        const Style &style = m_styles[row.style];
        const double height = fragmentHeight(fragment.lineCount);

        // Only a row shown in parts is wrapped through the cache; a whole
        // row is wrapped once anyway.
        const bool part = fragment.lineCount < row.lines;
        const QList<QStringList> partLines = part ? wrappedCells(fragment.row) : QList<QStringList>();

        PlacedRow placed;
        placed.row = int(fragment.row);
        placed.firstLine = int(fragment.firstLine);
        placed.lineCount = int(fragment.lineCount);
        placed.shade = style.shade;
        double x = Margin;
        for (qsizetype c = 0; c < style.columns.size(); ++c) {
            const TableColumn &column = style.columns[c];
            if (quint32(c) < row.cellCount) {
                PlacedCell cell;
                cell.column = int(c);
                cell.text = cellText(row, quint32(c), fragment.row);
                cell.rect = QRectF(x, fragment.top, column.width, height);
                cell.alignRight = column.alignRight;
                if (const RowPicture *picture = pictureIn(row, quint32(c))) {
                    if (fragment.firstLine == 0) {
                        cell.picture = picture->source;
                        cell.pictureRect = pictureRect(*picture, cell.rect, height);
                        cell.pictureDotsPerInch = picture->dotsPerInch;
                    }
                } else if (part) {
                    cell.lines = partLines.value(c).mid(fragment.firstLine, fragment.lineCount);
                    cell.scale = m_wrappedScales.value(c, 1.0);
                } else {
                    cell.lines = m_text.lines(cell.text, column.width - 2 * CellPaddingX, &cell.scale)
                                     .mid(fragment.firstLine, fragment.lineCount);
                }
                placed.cells.append(cell);
            }
            x += column.width;
        }
        placed.rect = QRectF(Margin, fragment.top, x - Margin, height);
        content.rows.append(placed);
    }
    return content;
}

QRectF PageLayout::pictureRect(const RowPicture &picture, const QRectF &cell, double fragmentHeight) const
{
    const QSizeF room(cell.width() - 2 * CellPaddingX, std::min(picture.height, fragmentHeight - 2 * CellPaddingY));
    if (room.width() <= 0 || room.height() <= 0)
        return QRectF();
    const QSizeF drawn = picture.shape.scaled(room, Qt::KeepAspectRatio);
    return QRectF(cell.left() + CellPaddingX + (room.width() - drawn.width()) / 2, cell.top() + CellPaddingY,
                  drawn.width(), drawn.height());
}

QSize PageLayout::picturePixels(const QRectF &rect, double devicePerTwip, double dotsPerInch)
{
    // Read at the size it lands on the device, but never finer than the
    // picture's resolution.
    const double perTwip = std::min(devicePerTwip, dotsPerInch / 1440.0);
    return QSize(std::max(1, int(std::ceil(rect.width() * perTwip))),
                 std::max(1, int(std::ceil(rect.height() * perTwip))));
}

void PageLayout::prefetchPictures(const QList<int> &pages, double devicePerTwip) const
{
    for (const int page : pages) {
        for (const PlacedRow &row : pageContent(page).rows) {
            for (const PlacedCell &cell : row.cells) {
                if (!cell.picture || cell.pictureRect.isEmpty())
                    continue;
                const QSize pixels = picturePixels(cell.pictureRect, devicePerTwip, cell.pictureDotsPerInch);
                const auto known = [&](const auto &entry) {
                    return entry.source == cell.picture.get() && entry.pixels == pixels;
                };
                if (std::any_of(m_pictureCache.begin(), m_pictureCache.end(), known)
                    || std::any_of(m_pendingPictures.begin(), m_pendingPictures.end(), known))
                    continue;
                std::shared_ptr<const LayoutPicture> source = cell.picture;
                auto reading = std::make_shared<std::promise<QImage>>();
                std::future<QImage> image = reading->get_future();
                m_pictureReaders.start([reading, source, pixels] {
                    try {
                        reading->set_value(source->image(pixels));
                    } catch (...) {
                        reading->set_exception(std::current_exception());
                    }
                });
                m_pendingPictures.push_back(PendingPicture{source.get(), pixels, source, std::move(image)});
            }
        }
    }
}

QImage PageLayout::drawnPicture(const std::shared_ptr<const LayoutPicture> &source, QSize pixels) const
{
    for (auto pending = m_pendingPictures.begin(); pending != m_pendingPictures.end(); ++pending) {
        if (pending->source == source.get() && pending->pixels == pixels) {
            const QImage image = pending->image.get();
            m_pendingPictures.erase(pending);
            m_pictureCache.push_front(CachedPicture{source.get(), pixels, image});
            if (m_pictureCache.size() > PictureCacheSize)
                m_pictureCache.pop_back();
            return image;
        }
    }
    for (auto cached = m_pictureCache.begin(); cached != m_pictureCache.end(); ++cached) {
        if (cached->source == source.get() && cached->pixels == pixels) {
            m_pictureCache.splice(m_pictureCache.begin(), m_pictureCache, cached);
            return cached->image;
        }
    }
    const QImage image = source->image(pixels);
    m_pictureCache.push_front(CachedPicture{source.get(), pixels, image});
    if (m_pictureCache.size() > PictureCacheSize)
        m_pictureCache.pop_back();
    return image;
}

QList<QStringList> PageLayout::wrappedCells(quint32 row) const
{
    if (m_wrappedRow == row && m_wrappedGeneration == m_generation)
        return m_wrappedLines;
    const Row &r = m_rows[row];
    const QList<TableColumn> &columns = m_styles[r.style].columns;
    m_wrappedLines.clear();
    m_wrappedScales.clear();
    for (quint32 c = 0; c < r.cellCount; ++c) {
        double scale = 1;
        m_wrappedLines.append(m_text.lines(cellText(r, c, row), columns[c].width - 2 * CellPaddingX, &scale));
        m_wrappedScales.append(scale);
    }
    m_wrappedRow = row;
    m_wrappedGeneration = m_generation;
    return m_wrappedLines;
}

void PageLayout::paintPage(QPainter &painter, int page, const QRectF &target) const
{
    if (page < 0 || page >= pageCount() || m_docSize.isEmpty())
        return;
    const PageContent content = pageContent(page);
    const double lineHeight = m_text.lineHeight();
    const double ascent = m_text.ascent();
    const double pageWidth = m_docSize.width();

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / pageWidth, target.height() / m_docSize.height());
    // Device pixels a twip, across: what pictures are read for.
    const double devicePerTwip = painter.transform().mapRect(QRectF(0, 0, 1000, 1000)).width() / 1000;
    // Columns wider than the paper end at its edge, wherever it is painted.
    painter.setClipRect(QRectF(QPointF(0, 0), m_docSize), Qt::IntersectClip);
    painter.setFont(m_text.font());
    painter.setPen(Qt::black);

    const auto drawParts = [&](const QStringList &parts, double top) {
        const double baseline = top + ascent;
        const QString left = PageLayoutText::oneLine(parts.value(0));
        const QString centre = PageLayoutText::oneLine(parts.value(1));
        const QString right = PageLayoutText::oneLine(parts.value(2));
        painter.drawText(QPointF(Margin, baseline), left);
        painter.drawText(QPointF((pageWidth - m_text.width(centre)) / 2, baseline), centre);
        painter.drawText(QPointF(pageWidth - Margin - m_text.width(right), baseline), right);
    };
    drawParts(content.header, Margin);
    drawParts(content.footer, m_docSize.height() - Margin - lineHeight);

    for (const PlacedRow &row : content.rows) {
        QColor ink = Qt::black;
        if (row.shade) {
            painter.fillRect(row.rect, QColor(*row.shade));
            if (qGray(*row.shade) < 128)
                ink = Qt::white; // a dark shade would swallow black text
        }
        painter.setPen(ink);
        for (const PlacedCell &cell : row.cells) {
            if (cell.picture && !cell.pictureRect.isEmpty()) {
                const QImage image =
                    drawnPicture(cell.picture, picturePixels(cell.pictureRect, devicePerTwip, cell.pictureDotsPerInch));
                if (!image.isNull()) {
                    painter.save();
                    painter.setRenderHint(QPainter::SmoothPixmapTransform);
                    painter.drawImage(cell.pictureRect, image);
                    painter.restore();
                }
                continue;
            }
            painter.save();
            painter.setClipRect(cell.rect, Qt::IntersectClip);
            const double left = cell.rect.left() + CellPaddingX;
            const double right = cell.rect.right() - CellPaddingX;
            double baseline = cell.rect.top() + CellPaddingY + ascent;
            for (const QString &line : cell.lines) {
                if (cell.scale < 1) {
                    // Smaller on the same baseline as the row's other cells.
                    const double x = cell.alignRight ? right - m_text.width(line) * cell.scale : left;
                    painter.save();
                    painter.translate(x, baseline);
                    painter.scale(cell.scale, cell.scale);
                    painter.drawText(QPointF(0, 0), line);
                    painter.restore();
                } else {
                    const double x = cell.alignRight ? right - m_text.width(line) : left;
                    painter.drawText(QPointF(x, baseline), line);
                }
                baseline += lineHeight;
            }
            painter.restore();
        }
    }
    painter.restore();
}

bool PageLayout::paintPages(QPagedPaintDevice &device, const QPageRanges &pages) const
{
    QList<int> chosen;
    for (int page = 0; page < pageCount(); ++page) {
        if (pages.isEmpty() || pages.contains(page + 1))
            chosen.append(page);
    }
    if (chosen.isEmpty() || m_docSize.isEmpty())
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double scale = std::min(device.width() / m_docSize.width(), device.height() / m_docSize.height());
    const QRectF target(0, 0, m_docSize.width() * scale, m_docSize.height() * scale);
    // Reading photos is most of the time of a page of them: the pictures of
    // the page being painted and of the next one are read by the document's
    // few reader threads meanwhile. What is left over (an early stop) is
    // dropped unread, or waited for when its read has begun.
    const double devicePerTwip = painter.transform().mapRect(QRectF(0, 0, 1000, 1000)).width() / 1000 * scale;
    const auto done = qScopeGuard([this] {
        m_pictureReaders.clear();
        m_pictureReaders.waitForDone();
        m_pendingPictures.clear();
    });
    for (qsizetype i = 0; i < chosen.size(); ++i) {
        prefetchPictures(chosen.mid(i, 2), devicePerTwip);
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        paintPage(painter, chosen[i], target);
    }
    return painter.end();
}

bool PageLayout::exportPdf(const QString &path, QString *error) const
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (pageCount() == 0)
        return fail(QStringLiteral("There is no report to save."));
    QSaveFile file(path);
    if (!openWhole(file))
        return fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(documentPageLayout());
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("Stowbook"));
        writer.setTitle(m_title);
        if (!paintPages(writer)) {
            file.cancelWriting();
            return fail(QStringLiteral("The pages could not be drawn."));
        }
    }
    if (const std::optional<QString> failure = commitWhole(file))
        return fail(*failure);
    return true;
}
