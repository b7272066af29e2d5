#include "reports/PageLayout.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

namespace {

// "left|centre|right" with "%d" replaced: the first "|" ends the left part,
// the last one begins the right part.
QStringList headerParts(QString text, int pageNumber)
{
    text.replace(QStringLiteral("%d"), QString::number(pageNumber));
    const qsizetype first = text.indexOf(QLatin1Char('|'));
    if (first < 0)
        return {text, QString(), QString()};
    const qsizetype last = text.lastIndexOf(QLatin1Char('|'));
    if (last == first)
        return {text.left(first), text.mid(first + 1), QString()};
    return {text.left(first), text.mid(first + 1, last - first - 1), text.mid(last + 1)};
}

} // namespace

PageContent PageLayout::pageContent(int page) const
{
    PageContent content;
    if (page < 0 || page >= pageCount())
        return content;
    const Page &p = m_pages[size_t(page)];
    // The page being filled shows the texts as they are set now.
    const bool open = m_docOpen && page == pageCount() - 1;
    content.header = headerParts(open ? m_header : p.header, page + 1);
    content.footer = headerParts(open ? m_footer : p.footer, page + 1);

    const size_t end = size_t(page) + 1 < m_pages.size() ? m_pages[size_t(page) + 1].firstFragment
                                                         : m_fragments.size();
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
                if (part) {
                    cell.lines = partLines.value(c).mid(fragment.firstLine, fragment.lineCount);
                    cell.scale = m_wrappedScales.value(c, 1.0);
                } else {
                    cell.lines = m_text.lines(cell.text, column.width - 2 * CellPaddingX, &cell.scale)
                                     .mid(fragment.firstLine, fragment.lineCount);
                }
                cell.rect = QRectF(x, fragment.top, column.width, height);
                cell.alignRight = column.alignRight;
                placed.cells.append(cell);
            }
            x += column.width;
        }
        placed.rect = QRectF(Margin, fragment.top, x - Margin, height);
        content.rows.append(placed);
    }
    return content;
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
                ink = Qt::white;   // a dark shade would swallow black text
        }
        painter.setPen(ink);
        for (const PlacedCell &cell : row.cells) {
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
    for (qsizetype i = 0; i < chosen.size(); ++i) {
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
    if (!file.open(QIODevice::WriteOnly))
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
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
