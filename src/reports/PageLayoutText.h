#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>
#include <vector>

// Measures and wraps cell texts for the page layout. Lengths are in twips:
// the font's pixel size is its point size × 20, so one font pixel is one
// twip, whatever device the page is painted on later.
//
// Texts in the common scripts (Latin, Greek, Cyrillic and the usual
// punctuation and currency signs) are measured from tables of character
// advances and kerning, so laying out a long report costs little per cell; other texts
// go through QTextLayout. Either way layout and painting ask the same
// function, so a page shows exactly the lines that were counted for it.
class PageLayoutText {
public:
    PageLayoutText();
    PageLayoutText(const PageLayoutText &) = delete;
    PageLayoutText &operator=(const PageLayoutText &) = delete;

    // The report font, DejaVu Sans 10 pt (it comes with the program's
    // packages, so reports look the same on every machine).
    const QFont &font() const { return m_font; }
    double lineHeight() const { return m_lineHeight; }
    double ascent() const { return m_ascent; }
    // The exact width of one line of text.
    double width(const QString &line) const;

    // How many lines text takes in a text area `width` twips wide.
    int lineCount(const QString &text, double width) const;
    // The lines themselves, at the size scale() gives. Text wraps at blanks
    // and after hyphens; a word wider than the area is broken anywhere;
    // line breaks in the text are kept; blanks at the end are not shown.
    // Empty text gives no line. In an area narrower than MinWrapWidth the
    // text is not wrapped but shown on one line (and clipped when painted):
    // a sliver of a column would turn one word into a tall stack of letters.
    //
    // A figure is never broken, not even after its hyphens: a word holding
    // a digit (an amount, a number, a date, a time, a serial or model
    // number), a code of capitals (a serial number of letters), and figures
    // standing together ("1 200,00", "1. 11. 2015": a blank between a word
    // ending in a digit, or in a digit and "." or ",", and one beginning
    // with a digit), of up to 40 characters. When a figure is wider than the
    // area, the whole text is drawn smaller, so the figure fits on one line;
    // the other words wrap to the area as they would at that size.
    // *scale (when given) gets the size the lines are drawn at.
    QStringList lines(const QString &text, double width, double *scale = nullptr) const;
    // The size the text is drawn at in an area `width` twips wide: 1, or
    // less when a figure is wider than the area (see lines).
    double scale(const QString &text, double width) const;

    // text with its line breaks and tabs turned into blanks.
    static QString oneLine(QString text);

    static constexpr double PointSize = 10;
    static constexpr double MinWrapWidth = 240; // 1/6 inch

private:
    bool isSimple(const QString &text) const;
    // The advance of c after previous (0 at the start of a line).
    double advance(char16_t previous, char16_t c) const;
    QStringList complexLines(const QString &text, double width, double *scale) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    double m_lineHeight = 0;
    double m_ascent = 0;
    // Advances of the characters below SimpleLimit, filled on first use;
    // negative means not measured yet.
    static constexpr char16_t SimpleLimit = 0x2100;
    mutable std::vector<float> m_advance;
    // Kerning of printable ASCII pairs, filled on first use; NaN not yet.
    mutable std::vector<float> m_kerning;
};
