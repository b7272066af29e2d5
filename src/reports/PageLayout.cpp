#include "reports/PageLayout.h"

#include <QLocale>
#include <QPageSize>
#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>

namespace {

QPageSize paperForLocale()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

} // namespace

PageLayout::PageLayout(QObject *parent) : QObject(parent)
{
    m_pictureReaders.setMaxThreadCount(PictureReaders);
}

PageLayout::~PageLayout() = default;

QSizeF PageLayout::pageSizeFor(Orientation orientation) const
{
    // From the paper's own units, which are exact (points are rounded).
    const QPageSize paper = paperForLocale();
    const double twips = paper.definitionUnits() == QPageSize::Millimeter ? 1440 / 25.4 : 1440;
    const QSizeF portrait = paper.definitionSize() * twips;
    return orientation == Orientation::Landscape ? portrait.transposed() : portrait;
}

double PageLayout::pageWidth() const
{
    return pageSizeFor(m_orientation).width();
}

double PageLayout::pageHeight() const
{
    return pageSizeFor(m_orientation).height();
}

QPageLayout PageLayout::documentPageLayout() const
{
    return QPageLayout(paperForLocale(),
                       m_docOrientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

double PageLayout::bodyTop() const
{
    return Margin + m_text.lineHeight() + HeaderGap;
}

double PageLayout::bodyBottom() const
{
    return m_docSize.height() - Margin - m_text.lineHeight() - HeaderGap;
}

double PageLayout::fragmentHeight(quint32 lines) const
{
    return lines * m_text.lineHeight() + 2 * CellPaddingY;
}

void PageLayout::startDoc(std::optional<RepeatedHeading> heading)
{
    ++m_generation;
    m_repeatedHeading = std::move(heading);
    m_wrappedRow.reset();
    m_wrappedLines.clear();
    // Swapping with empty vectors gives the memory of a long report back.
    std::vector<Style>().swap(m_styles);
    std::vector<Row>().swap(m_rows);
    std::vector<QString>().swap(m_rowText);
    std::vector<quint32>().swap(m_cellEnds);
    std::vector<Fragment>().swap(m_fragments);
    std::vector<Page>().swap(m_pages);
    std::vector<RowPicture>().swap(m_pictures);
    m_pictureCache.clear();
    m_docOrientation = m_orientation;
    m_docSize = pageSizeFor(m_orientation);
    m_docOpen = true;
    emit documentChanged();
    beginPage();
}

void PageLayout::endDoc()
{
    if (!m_docOpen)
        return;
    finishPage();
    m_docOpen = false;
    emit documentChanged();
}

void PageLayout::finishPage()
{
    if (m_pages.empty())
        return;
    m_pages.back().header = m_header;
    m_pages.back().footer = m_footer;
}

void PageLayout::beginPage()
{
    finishPage();
    m_pages.push_back(Page{quint32(m_fragments.size()), PageLine(), PageLine()});
    m_y = bodyTop();
    m_pageFresh = true;
    if (m_inNewPage)
        return;
    QScopedValueRollback<bool> handling(m_inNewPage, true);
    emit newPage();
}

std::optional<quint32> PageLayout::styleFor(const QString &format, std::optional<QRgb> shade)
{
    // m_lastColumns starts empty, which is right for the null format too.
    if (format != m_lastFormat) {
        m_lastFormat = format;
        m_lastColumns = parseTableFormat(format);
    }
    if (!m_lastColumns)
        return std::nullopt;
    // Consecutive tables of one look share their style.
    if (!m_styles.empty() && m_styles.back().shade == shade && m_styles.back().columns == *m_lastColumns)
        return quint32(m_styles.size() - 1);
    m_styles.push_back(Style{*m_lastColumns, shade});
    return quint32(m_styles.size() - 1);
}

bool PageLayout::tableText(const QString &format, const QList<QStringList> &rows)
{
    if (!m_docOpen)
        return false;
    const std::optional<quint32> style = styleFor(format, std::nullopt);
    return style && appendRows(*style, rows.constData(), rows.size());
}

bool PageLayout::tableText(const QString &format, const QStringList &row)
{
    if (!m_docOpen)
        return false;
    const std::optional<quint32> style = styleFor(format, std::nullopt);
    return style && appendRows(*style, &row, 1);
}

bool PageLayout::addTable(const QString &format, const QStringList &header, const QList<QStringList> &body,
                          QRgb headerShade, QRgb bodyShade)
{
    if (!m_docOpen)
        return false;
    if (!parseTableFormat(format))
        return false;
    const quint64 generation = m_generation;
    if (!header.isEmpty() && !appendRows(*styleFor(format, headerShade), &header, 1))
        return false;
    if (m_generation != generation)
        return false;
    return appendRows(*styleFor(format, bodyShade), body.constData(), body.size());
}

bool PageLayout::appendRows(quint32 style, const QStringList *rows, qsizetype count)
{
    const quint64 generation = m_generation;
    for (qsizetype i = 0; i < count; ++i) {
        // A newPage handler may have ended or replaced the document.
        if (!m_docOpen || m_generation != generation)
            return false;
        appendRow(style, rows[i]);
    }
    return true;
}

void PageLayout::appendRow(quint32 style, const QStringList &cells, quint32 firstPicture, quint32 pictureCount)
{
    const QList<TableColumn> &columns = m_styles[style].columns;
    const qsizetype count = std::min(cells.size(), columns.size());

    qsizetype length = 0;
    for (qsizetype c = 0; c < count; ++c)
        length += cells[c].size();
    QString text;
    text.reserve(length);

    Row row{style, quint32(m_cellEnds.size()), quint32(count), 1, firstPicture, pictureCount};
    for (qsizetype c = 0; c < count; ++c) {
        text += cells[c];
        m_cellEnds.push_back(quint32(text.size()));
        // A picture's cell is as tall as the picture, whatever its text.
        if (pictureIn(row, quint32(c)))
            continue;
        const int lines = m_text.lineCount(cells[c], columns[c].width - 2 * CellPaddingX);
        row.lines = std::max(row.lines, quint32(lines));
    }
    for (quint32 p = 0; p < pictureCount; ++p) {
        const double pictureLines = std::ceil(m_pictures[firstPicture + p].height / m_text.lineHeight() - 1e-9);
        row.lines = std::max(row.lines, quint32(std::max(1.0, pictureLines)));
    }
    m_rows.push_back(row);
    m_rowText.push_back(std::move(text));
    placeRow(quint32(m_rows.size() - 1));
}

const PageLayout::RowPicture *PageLayout::pictureIn(const Row &row, quint32 column) const
{
    for (quint32 p = 0; p < row.pictureCount; ++p) {
        if (m_pictures[row.firstPicture + p].column == column)
            return &m_pictures[row.firstPicture + p];
    }
    return nullptr;
}

bool PageLayout::pictureRow(const QString &format, const QStringList &cells, int pictureColumn,
                            std::shared_ptr<const LayoutPicture> picture, double pictureHeight)
{
    return pictureRow(format, cells, {CellPicture{pictureColumn, std::move(picture)}}, pictureHeight);
}

bool PageLayout::pictureRow(const QString &format, const QStringList &cells, const QList<CellPicture> &pictures,
                            double pictureHeight, double dotsPerInch)
{
    if (!m_docOpen)
        return false;
    const std::optional<quint32> style = styleFor(format, std::nullopt);
    if (!style)
        return false;
    const qsizetype columns = m_styles[*style].columns.size();
    for (const CellPicture &picture : pictures) {
        if (picture.column < 0 || picture.column >= columns)
            return false;
    }
    const double height = std::min(pictureHeight, bodyBottom() - bodyTop() - 2 * CellPaddingY);
    const quint32 first = quint32(m_pictures.size());
    quint32 count = 0;
    for (const CellPicture &picture : pictures) {
        // A picture that cannot be read, or one in a column whose cell is
        // missing or shows one already, leaves the cell its text.
        const QSize shape = picture.picture ? picture.picture->size() : QSize();
        const bool taken = std::any_of(m_pictures.begin() + first, m_pictures.end(),
                                       [&](const RowPicture &p) { return p.column == quint32(picture.column); });
        if (shape.isEmpty() || !(pictureHeight > 0) || picture.column >= cells.size() || taken)
            continue;
        m_pictures.push_back(
            RowPicture{quint32(picture.column), picture.picture, QSizeF(shape), height, std::max(1.0, dotsPerInch)});
        ++count;
    }
    if (count == 0)
        return appendRows(*style, &cells, 1);
    appendRow(*style, cells, first, count);
    return true;
}

bool PageLayout::breakPage()
{
    if (!m_docOpen)
        return false;
    if (!m_pageFresh)
        beginPage();
    return true;
}

void PageLayout::addFragment(quint32 row, quint32 firstLine, quint32 lineCount)
{
    m_fragments.push_back(Fragment{row, firstLine, lineCount, float(m_y)});
    m_y += fragmentHeight(lineCount);
    if (!m_inNewPage)
        m_pageFresh = false;
}

// Puts a row on the current page when it fits; else on a new page when it
// would fit a whole one; else it fills the page and continues on the next.
// Every turn of the loop places lines or begins a page that gets some, so
// even a heading taller than the page cannot stall it.
void PageLayout::placeRow(quint32 row)
{
    const quint64 generation = m_generation;
    const quint32 total = m_rows[row].lines;
    const double lineHeight = m_text.lineHeight();
    const double bodyHeight = bodyBottom() - bodyTop();
    quint32 line = 0;
    bool moved = false;
    while (line < total) {
        const double room = bodyBottom() - m_y - 2 * CellPaddingY;
        const quint32 fitting = room > 0 ? quint32(std::floor(room / lineHeight + 1e-9)) : 0;
        const quint32 remaining = total - line;
        if (remaining <= fitting) {
            addFragment(row, line, remaining);
            return;
        }
        quint32 take = fitting;
        if (!m_pageFresh && !moved && fragmentHeight(remaining) <= bodyHeight) {
            take = 0;
            moved = true;
        } else if (take == 0 && m_pageFresh) {
            take = 1; // not even one line fits an empty page: let it overflow
        }
        if (take > 0) {
            addFragment(row, line, take);
            line += take;
            if (line == total)
                return;
        }
        beginPage();
        if (m_generation != generation || !m_docOpen)
            return;
    }
}

QStringList PageLayout::rowCells(int row) const
{
    QStringList cells;
    if (row < 0 || row >= rowCount())
        return cells;
    const Row &r = m_rows[size_t(row)];
    for (quint32 c = 0; c < r.cellCount; ++c)
        cells.append(cellText(r, c, quint32(row)));
    return cells;
}

QString PageLayout::cellText(const Row &row, quint32 cell, quint32 rowIndex) const
{
    const quint32 start = cell == 0 ? 0 : m_cellEnds[row.firstCell + cell - 1];
    const quint32 end = m_cellEnds[row.firstCell + cell];
    return m_rowText[rowIndex].mid(start, end - start);
}
