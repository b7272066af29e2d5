#include "reports/PageLayoutText.h"

#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Lines are filled to a little less than their width, so a line that the
// tables say fits still fits when shaping adds a few twips.
constexpr double AdvanceAllowance = 1.02;

QFont reportFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(int(PageLayoutText::PointSize * 20));
    // Unhinted outlines keep the advances proportional to the size, so
    // text measured here takes the same room at any zoom or resolution.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool isBreak(char16_t c)
{
    return c == u'\n' || c == u'\r';
}

// Characters whose advances simply add up: no combining marks, no shaping,
// no bidirectional reordering.
bool isSimpleChar(char16_t c)
{
    if (c < 0x20)
        return isBlank(c) || isBreak(c);
    if (c >= 0x7F && c < 0xA0)
        return false; // control characters
    if (c < 0x300)
        return c != 0xAD; // soft hyphen
    if (c >= 0x370 && c < 0x530)
        return !(c >= 0x483 && c <= 0x489); // Cyrillic combining marks
    return (c >= 0x2010 && c < 0x2028) || (c >= 0x20A0 && c < 0x20C0);
}

// The length of text without blanks and line breaks at its end.
qsizetype shownLength(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && (isBlank(text[end - 1].unicode()) || isBreak(text[end - 1].unicode())))
        --end;
    return end;
}

} // namespace

QString PageLayoutText::oneLine(QString text)
{
    for (QChar &c : text) {
        if (isBlank(c.unicode()) || isBreak(c.unicode()) || c == QChar::LineSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

PageLayoutText::PageLayoutText()
    : m_font(reportFont())
    , m_metrics(m_font)
    , m_lineHeight(m_metrics.lineSpacing())
    , m_ascent(m_metrics.ascent())
    , m_advance(SimpleLimit, -1.0f)
    , m_kerning(0x60 * 0x60, std::numeric_limits<float>::quiet_NaN())
{
}

double PageLayoutText::width(const QString &line) const
{
    return m_metrics.horizontalAdvance(line);
}

double PageLayoutText::advance(char16_t previous, char16_t c) const
{
    if (isBreak(c))
        return 0;
    if (c == u'\t')
        c = u' ';
    if (previous == u'\t')
        previous = u' ';
    float &known = m_advance[c];
    if (known < 0)
        known = float(m_metrics.horizontalAdvance(QChar(c)));
    // Kerning between ASCII letters is large enough to matter ("Te", "AV").
    if (previous < 0x20 || previous >= 0x80 || c >= 0x80)
        return known;
    float &kern = m_kerning[(previous - 0x20) * 0x60 + (c - 0x20)];
    if (std::isnan(kern)) {
        const QChar pair[2] = {QChar(previous), QChar(c)};
        kern = float(m_metrics.horizontalAdvance(QString(pair, 2)) - advance(0, previous) - known);
    }
    return known + kern;
}

bool PageLayoutText::isSimple(const QString &text) const
{
    for (const QChar c : text) {
        if (!isSimpleChar(c.unicode()))
            return false;
    }
    return true;
}

namespace {

bool isDigit(char16_t c)
{
    return QChar::isDigit(c);
}

// Whether the blank at i stands between two figures ("1 200", "1. 11.
// 2015"), where a line must not break.
bool joinsFigures(const QString &text, qsizetype i, qsizetype end)
{
    if (i == 0 || i + 1 >= end || !isDigit(text[i + 1].unicode()))
        return false;
    char16_t before = text[i - 1].unicode();
    if ((before == u'.' || before == u',') && i >= 2)
        before = text[i - 2].unicode();
    return isDigit(before);
}

bool endsWord(char16_t c)
{
    return isBlank(c) || isBreak(c) || c == QChar::LineSeparator;
}

// Longer runs are no figures but data pasted into a field (a link, a block
// of digits): drawing them small enough to fit would make them unreadable,
// so they are broken like any word. Every search for the ends of a figure
// stops one character beyond this, so a huge word costs no more than a
// short one.
constexpr qsizetype LongestFigure = 40;

// Whether the text from..to is kept whole, never broken inside nor after
// its hyphens: a figure (it holds a digit: an amount, a number, a date, a
// time, a model number) or a code of capitals ("TEUTMRKZXMSRSVH" is a
// serial number, not a word that may be split).
bool keptWhole(const QString &text, qsizetype from, qsizetype to)
{
    if (to - from > LongestFigure)
        return false;
    bool letters = false;
    bool small = false;
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = text[i];
        if (c.isDigit())
            return true;
        if (c.isLetter()) {
            letters = true;
            small = small || c.isLower();
        }
    }
    return letters && !small;
}

// Whether the word around i (between blanks or line breaks) is kept whole.
bool wordKeptWhole(const QString &text, qsizetype i, qsizetype end)
{
    qsizetype from = i;
    while (from > 0 && i - from <= LongestFigure && !endsWord(text[from - 1].unicode()))
        --from;
    qsizetype to = i;
    while (to < end && to - i <= LongestFigure && !endsWord(text[to].unicode()))
        ++to;
    return keptWhole(text, from, to);
}

bool endsRun(const QString &text, qsizetype i, qsizetype end)
{
    const char16_t c = text[i].unicode();
    return isBreak(c) || c == QChar::LineSeparator || (isBlank(c) && !joinsFigures(text, i, end));
}

// Where the run of text that may not be broken, starting at from, ends:
// at a blank that does not join two figures, a line break, or end; or,
// with a limit, after that many characters.
qsizetype unbrokenEnd(const QString &text, qsizetype from, qsizetype end, qsizetype limit = -1)
{
    qsizetype i = from;
    while (i < end && i - from != limit && !endsRun(text, i, end))
        ++i;
    return i;
}

// Where that run, holding position at, begins, searching back at most
// LongestFigure + 1 characters (from is where the paragraph begins).
qsizetype unbrokenStart(const QString &text, qsizetype at, qsizetype from)
{
    qsizetype i = at;
    while (i > from && at - i <= LongestFigure && !endsRun(text, i - 1, text.size()))
        --i;
    return i;
}

// The size that makes a figure `widest` wide fit an area `area` wide, a
// little under the exact ratio so that the figure is sure to fit.
double shrinkToFit(double area, double widest)
{
    constexpr double Margin = 0.999;
    return widest > area ? area / widest * Margin : 1.0;
}

// Greedy wrapping with the advance table. addLine(start, length) gets each
// line. A figure or code wider than the line is put whole on a line of its own;
// the result is the advance of the widest such figure (0 when every figure
// fits), from which the caller finds the size to draw the text at.
template <typename Advance, typename Emit>
double wrapSimple(const QString &text, qsizetype end, double width, Advance advance, Emit addLine)
{
    double widestOver = 0;
    qsizetype paraStart = 0;
    for (;;) {
        qsizetype paraEnd = paraStart;
        while (paraEnd < end && !isBreak(text[paraEnd].unicode()))
            ++paraEnd;

        qsizetype pos = paraStart;
        if (pos == paraEnd)
            addLine(pos, 0); // an empty line of its own
        while (pos < paraEnd) {
            double used = 0;
            qsizetype lineEnd = paraEnd;
            qsizetype next = paraEnd;
            qsizetype breakEnd = -1;  // where the line may end ...
            qsizetype breakNext = -1; // ... and the next one begin
            for (qsizetype i = pos; i < paraEnd; ++i) {
                const char16_t c = text[i].unicode();
                const bool blank = isBlank(c);
                if (blank && i > pos && !joinsFigures(text, i, paraEnd)) {
                    breakEnd = i;
                    breakNext = i + 1;
                }
                const double a = advance(i > pos ? text[i - 1].unicode() : 0, c);
                // Blanks may hang past the edge; they are not shown there.
                if (!blank && used + a > width && i > pos) {
                    if (breakEnd > pos) {
                        lineEnd = breakEnd;
                        next = breakNext;
                        break;
                    }
                    // Nothing since the line's start may be broken: it is
                    // one word, or figures standing together.
                    const qsizetype unitEnd = unbrokenEnd(text, pos, paraEnd, LongestFigure + 1);
                    // The whole run decides, also when a line broken inside
                    // it before begins here.
                    if (!keptWhole(text, unbrokenStart(text, pos, paraStart), unitEnd)) {
                        lineEnd = i; // a word wider than the column
                        next = i;
                        break;
                    }
                    double whole = used;
                    for (qsizetype k = i; k < unitEnd; ++k)
                        whole += advance(text[k - 1].unicode(), text[k].unicode());
                    widestOver = std::max(widestOver, whole);
                    lineEnd = unitEnd;
                    next = unitEnd;
                    break;
                }
                used += a;
                if (c == u'-' && !wordKeptWhole(text, i, paraEnd)) {
                    breakEnd = i + 1;
                    breakNext = i + 1;
                }
            }
            qsizetype shownEnd = lineEnd;
            while (shownEnd > pos && isBlank(text[shownEnd - 1].unicode()))
                --shownEnd;
            addLine(pos, shownEnd - pos);
            pos = next;
            while (pos < paraEnd && isBlank(text[pos].unicode()))
                ++pos;
        }

        if (paraEnd >= end)
            return widestOver;
        // "\r\n" is one line break.
        paraStart = paraEnd + 1;
        if (text[paraEnd] == u'\r' && paraStart < end && text[paraStart] == u'\n')
            ++paraStart;
    }
}

} // namespace

QStringList PageLayoutText::complexLines(const QString &text, double width, double *scale) const
{
    if (scale)
        *scale = 1;
    QString shown = text.left(shownLength(text));
    shown.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    for (QChar &c : shown) {
        if (isBreak(c.unicode()))
            c = QChar::LineSeparator;
        else if (c == u'\t')
            c = QLatin1Char(' ');
    }
    if (shown.isEmpty())
        return {};
    if (width < MinWrapWidth)
        return {oneLine(shown)};

    // The figures: the layout is told not to break them by characters that
    // do not break (same length, so positions stay).
    QString unbreakable = shown;
    std::vector<std::pair<qsizetype, qsizetype>> figures;
    for (qsizetype start = 0; start < shown.size();) {
        const qsizetype end = unbrokenEnd(shown, start, shown.size());
        if (keptWhole(shown, start, end)) {
            figures.emplace_back(start, end);
            for (qsizetype i = start; i < end; ++i) {
                if (shown[i] == u' ')
                    unbreakable[i] = QChar::Nbsp;
                else if (shown[i] == u'-')
                    unbreakable[i] = QChar(0x2011); // non-breaking hyphen
            }
        }
        start = end + 1;
    }

    std::vector<qsizetype> starts; // where each line begins
    const auto layOut = [&](double lineWidth) {
        starts.clear();
        QTextLayout layout(unbreakable, m_font);
        QTextOption option(Qt::AlignLeft);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        QStringList result;
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(lineWidth);
            starts.push_back(line.textStart());
            QString part = shown.mid(line.textStart(), line.textLength());
            if (part.endsWith(QChar::LineSeparator))
                part.chop(1);
            while (!part.isEmpty() && part.back().isSpace())
                part.chop(1);
            result.append(part);
        }
        layout.endLayout();
        return result;
    };
    QStringList result = layOut(width);

    // A figure the layout had to break is wider than a line: the text is
    // laid out again at the size that fits the widest of them. Only those
    // are measured, so a long text of short figures costs one layout.
    double widest = 0;
    auto line = starts.begin();
    for (const auto &[from, to] : figures) {
        while (line != starts.end() && *line <= from)
            ++line;
        if (line != starts.end() && *line < to)
            widest = std::max(widest, m_metrics.horizontalAdvance(unbreakable.mid(from, to - from)));
    }
    if (widest > width) {
        const double size = shrinkToFit(width, widest);
        if (scale)
            *scale = size;
        result = layOut(width / size);
    }
    return result;
}

int PageLayoutText::lineCount(const QString &text, double width) const
{
    const qsizetype end = shownLength(text);
    if (end == 0)
        return 0;
    if (!isSimple(text))
        return int(complexLines(text, width, nullptr).size());
    if (width < MinWrapWidth)
        return 1;
    int count = 0;
    const auto counting = [&count](qsizetype, qsizetype) { ++count; };
    const auto advances = [this](char16_t previous, char16_t c) { return advance(previous, c); };
    const double area = width / AdvanceAllowance;
    const double widest = wrapSimple(text, end, area, advances, counting);
    if (widest > 0) {
        count = 0;
        wrapSimple(text, end, area / shrinkToFit(area, widest), advances, counting);
    }
    return count;
}

QStringList PageLayoutText::lines(const QString &text, double width, double *scale) const
{
    if (scale)
        *scale = 1;
    const qsizetype end = shownLength(text);
    if (end == 0)
        return {};
    if (!isSimple(text))
        return complexLines(text, width, scale);
    if (width < MinWrapWidth)
        return {oneLine(text.left(end))};
    QStringList result;
    const auto collect = [&](qsizetype start, qsizetype length) { result.append(oneLine(text.mid(start, length))); };
    const auto advances = [this](char16_t previous, char16_t c) { return advance(previous, c); };
    const double area = width / AdvanceAllowance;
    const double widest = wrapSimple(text, end, area, advances, collect);
    if (widest > 0) {
        const double size = shrinkToFit(area, widest);
        if (scale)
            *scale = size;
        result.clear();
        wrapSimple(text, end, area / size, advances, collect);
    }
    return result;
}

double PageLayoutText::scale(const QString &text, double width) const
{
    double size = 1;
    lines(text, width, &size);
    return size;
}
