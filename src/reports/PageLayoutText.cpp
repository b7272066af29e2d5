#include "reports/PageLayoutText.h"

#include <QTextLayout>
#include <QTextOption>
#include <cmath>
#include <limits>

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
        return false;                                       // control characters
    if (c < 0x300)
        return c != 0xAD;                                   // soft hyphen
    if (c >= 0x370 && c < 0x530)
        return !(c >= 0x483 && c <= 0x489);                 // Cyrillic combining marks
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

// Greedy wrapping with the advance table. addLine(start, length) gets each line.
template<typename Advance, typename Emit>
static void wrapSimple(const QString &text, qsizetype end, double width, Advance advance, Emit addLine)
{
    qsizetype paraStart = 0;
    for (;;) {
        qsizetype paraEnd = paraStart;
        while (paraEnd < end && !isBreak(text[paraEnd].unicode()))
            ++paraEnd;

        qsizetype pos = paraStart;
        if (pos == paraEnd)
            addLine(pos, 0);                       // an empty line of its own
        while (pos < paraEnd) {
            double used = 0;
            qsizetype lineEnd = paraEnd;
            qsizetype next = paraEnd;
            qsizetype breakEnd = -1;            // where the line may end ...
            qsizetype breakNext = -1;           // ... and the next one begin
            for (qsizetype i = pos; i < paraEnd; ++i) {
                const char16_t c = text[i].unicode();
                const bool blank = isBlank(c);
                if (blank && i > pos) {
                    breakEnd = i;
                    breakNext = i + 1;
                }
                const double a = advance(i > pos ? text[i - 1].unicode() : 0, c);
                // Blanks may hang past the edge; they are not shown there.
                if (!blank && used + a > width && i > pos) {
                    if (breakEnd > pos) {
                        lineEnd = breakEnd;
                        next = breakNext;
                    } else {
                        lineEnd = i;            // a word wider than the column
                        next = i;
                    }
                    break;
                }
                used += a;
                if (c == u'-') {
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
            return;
        // "\r\n" is one line break.
        paraStart = paraEnd + 1;
        if (text[paraEnd] == u'\r' && paraStart < end && text[paraStart] == u'\n')
            ++paraStart;
    }
}

QStringList PageLayoutText::complexLines(const QString &text, double width) const
{
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

    QTextLayout layout(shown, m_font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList result;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        QString part = shown.mid(line.textStart(), line.textLength());
        if (part.endsWith(QChar::LineSeparator))
            part.chop(1);
        while (!part.isEmpty() && part.back().isSpace())
            part.chop(1);
        result.append(part);
    }
    layout.endLayout();
    return result;
}

int PageLayoutText::lineCount(const QString &text, double width) const
{
    const qsizetype end = shownLength(text);
    if (end == 0)
        return 0;
    if (!isSimple(text))
        return int(complexLines(text, width).size());
    if (width < MinWrapWidth)
        return 1;
    int count = 0;
    const auto advances = [this](char16_t previous, char16_t c) { return advance(previous, c); };
    wrapSimple(text, end, width / AdvanceAllowance, advances, [&count](qsizetype, qsizetype) { ++count; });
    return count;
}

QStringList PageLayoutText::lines(const QString &text, double width) const
{
    const qsizetype end = shownLength(text);
    if (end == 0)
        return {};
    if (!isSimple(text))
        return complexLines(text, width);
    if (width < MinWrapWidth)
        return {oneLine(text.left(end))};
    QStringList result;
    const auto advances = [this](char16_t previous, char16_t c) { return advance(previous, c); };
    wrapSimple(text, end, width / AdvanceAllowance, advances, [&](qsizetype start, qsizetype length) {
        result.append(oneLine(text.mid(start, length)));
    });
    return result;
}
