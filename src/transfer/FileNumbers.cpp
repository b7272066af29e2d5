#include "transfer/FileNumbers.h"

#include <QLocale>
#include <array>
#include <optional>

namespace {

// Longer than any amount a file holds; past it the text is no number.
constexpr qsizetype MaxNumberText = 1000;

// Currency signs and codes that stand before or after an amount, longest
// first so that "US$" is not taken for "$".
constexpr QStringView Currencies[] = {
    u"SFr.", u"US$",     u"CHF",     u"EUR",    u"USD", u"GBP",    u"CAD",    u"AUD",    u"NZD",
    u"JPY",  u"SEK",     u"NOK",     u"DKK",    u"PLN", u"CZK",    u"Fr.",    u"kr.",    u"R$",
    u"kr",   u"z\u0142", u"K\u010d", u"\u20ac", u"$",   u"\u00a3", u"\u00a5", u"\u20b9", u"\u20bd",
};

bool isBlank(QChar c)
{
    return c.isSpace();
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The digits and separators of a number, with the sign taken off.
struct Body {
    bool negative = false;
    QStringView text; // digits, '.', ',' and blanks; begins and ends with no blank
};

// Whether c may begin or end a currency sign or code: most values begin
// and end with a digit, and need no search.
bool mayBeCurrency(QChar c)
{
    return !isDigit(c) && c != u'.' && c != u',';
}

qsizetype currencyAt(QStringView text, qsizetype at)
{
    if (!mayBeCurrency(text[at]))
        return 0;
    const QStringView rest = text.sliced(at);
    for (const QStringView currency : Currencies) {
        if (rest.startsWith(currency))
            return currency.size();
    }
    return 0;
}

qsizetype currencyEndingAt(QStringView text, qsizetype end)
{
    if (!mayBeCurrency(text[end - 1]))
        return 0;
    const QStringView before = text.first(end);
    for (const QStringView currency : Currencies) {
        if (before.endsWith(currency))
            return currency.size();
    }
    return 0;
}

bool isMinus(QChar c)
{
    return c == u'-' || c == QChar(0x2212);
}

// Takes the signs, parentheses and currency off both ends: each may stand
// at most once, blanks between them and the digits allowed.
std::optional<Body> bodyOf(QStringView text)
{
    if (text.size() > MaxNumberText)
        return std::nullopt;
    qsizetype i = 0, j = text.size();
    const auto skipBlanks = [&] {
        while (i < j && isBlank(text[i]))
            ++i;
        while (j > i && isBlank(text[j - 1]))
            --j;
    };
    skipBlanks();
    bool parentheses = false;
    if (i < j && text[i] == u'(') {
        if (text[j - 1] != u')')
            return std::nullopt;
        parentheses = true;
        ++i;
        --j;
        skipBlanks();
    }
    int sign = 0;
    bool currency = false;
    for (bool taken = true; taken && i < j;) {
        taken = false;
        if (sign == 0 && (isMinus(text[i]) || text[i] == u'+')) {
            sign = isMinus(text[i]) ? -1 : 1;
            ++i;
            taken = true;
        } else if (!currency) {
            if (const qsizetype length = currencyAt(text, i); length > 0 && i + length <= j) {
                currency = true;
                i += length;
                taken = true;
            }
        }
        skipBlanks();
    }
    for (bool taken = true; taken && j > i;) {
        taken = false;
        if (sign == 0 && (isMinus(text[j - 1]) || text[j - 1] == u'+')) {
            sign = isMinus(text[j - 1]) ? -1 : 1;
            --j;
            taken = true;
        } else if (!currency) {
            if (const qsizetype length = currencyEndingAt(text, j); length > 0 && j - length >= i) {
                currency = true;
                j -= length;
                taken = true;
            }
        }
        skipBlanks();
    }
    if (i == j || (parentheses && sign != 0))
        return std::nullopt;
    for (qsizetype k = i; k < j; ++k) {
        if (!isDigit(text[k]) && text[k] != u'.' && text[k] != u',' && !isBlank(text[k]))
            return std::nullopt;
    }
    return Body{parentheses || sign < 0, text.sliced(i, j - i)};
}

// How the body reads in the style: where its decimals begin and how many
// there are; nothing when the style does not write a number so. Every style
// reads the same digits; they differ only in where the decimals begin.
struct Shape {
    qsizetype point = -1; // where the decimal separator stands; -1 for none
    int decimals = 0;
};

std::optional<Shape> shapeIn(QStringView body, NumberStyle style)
{
    const QChar decimal = style == NumberStyle::DecimalComma ? u',' : u'.';
    Shape shape;
    shape.point = body.indexOf(decimal);
    const QStringView whole = shape.point < 0 ? body : body.first(shape.point);
    const QStringView fraction = shape.point < 0 ? QStringView() : body.sliced(shape.point + 1);
    for (const QChar c : fraction) {
        if (!isDigit(c))
            return std::nullopt;
    }
    // The whole part: digits, or groups of three after a first of one to
    // three, all joined by one grouping separator the style allows.
    QChar group;
    int run = 0;
    qsizetype digits = 0;
    bool grouped = false;
    for (const QChar c : whole) {
        if (isDigit(c)) {
            ++run;
            ++digits;
            continue;
        }
        const bool allowed = (style == NumberStyle::DecimalPoint && c == u',')
            || (style == NumberStyle::DecimalComma && (c == u'.' || isBlank(c)));
        const QChar kind = isBlank(c) ? QChar(u' ') : c;
        if (!allowed || run == 0 || (grouped ? run != 3 : run > 3) || (!group.isNull() && group != kind))
            return std::nullopt;
        group = kind;
        grouped = true;
        run = 0;
    }
    // A group of thousands never begins with a zero: "0.500" is a half.
    if (grouped && (run != 3 || whole.front() == u'0'))
        return std::nullopt;
    if (digits == 0 && fraction.isEmpty())
        return std::nullopt;
    shape.decimals = int(fraction.size());
    return shape;
}

// The body's number as plain decimal text ("-1234.5"), as shape reads it.
QString decimalText(const Body &body, const Shape &shape)
{
    QString text;
    text.reserve(body.text.size() + 2);
    if (body.negative)
        text += u'-';
    const qsizetype end = shape.point < 0 ? body.text.size() : shape.point;
    for (qsizetype i = 0; i < end; ++i) {
        if (isDigit(body.text[i]))
            text += body.text[i];
    }
    if (shape.point >= 0) {
        text += u'.';
        text += body.text.sliced(shape.point + 1);
    }
    return text;
}

} // namespace

QString numberStyleExample(NumberStyle style)
{
    switch (style) {
    case NumberStyle::Plain:
        return QStringLiteral("1234.56");
    case NumberStyle::DecimalPoint:
        return QStringLiteral("1,234.56");
    case NumberStyle::DecimalComma:
        return QStringLiteral("1.234,56");
    }
    return QString();
}

NumberStyle localeNumberStyle()
{
    return QLocale().decimalPoint() == QStringLiteral(",") ? NumberStyle::DecimalComma : NumberStyle::DecimalPoint;
}

FileNumber readFileNumber(QStringView text, NumberStyle style)
{
    const std::optional<Body> body = bodyOf(text);
    if (!body)
        return {};
    const std::optional<Shape> shape = shapeIn(body->text, style);
    if (!shape)
        return {};
    if (shape->decimals > 4)
        return {FileNumber::Kind::TooManyDecimals, Money()};
    const std::optional<Money> value = Money::fromDecimalText(decimalText(*body, *shape));
    if (!value)
        return {FileNumber::Kind::OutOfRange, Money()};
    return {FileNumber::Kind::Number, *value};
}

NumberClue numberClue(QStringView text)
{
    const std::optional<Body> body = bodyOf(text);
    if (!body)
        return NumberClue::None;
    const std::optional<Shape> point = shapeIn(body->text, NumberStyle::DecimalPoint);
    const std::optional<Shape> comma = shapeIn(body->text, NumberStyle::DecimalComma);
    if (!point && !comma)
        return NumberClue::None;
    if (!point)
        return NumberClue::CommaDecimal;
    const bool plain = shapeIn(body->text, NumberStyle::Plain).has_value();
    if (!comma)
        return plain ? NumberClue::PointDecimal : NumberClue::PointGrouped;
    // The same digits: the same number when the decimals begin alike.
    if (point->decimals == comma->decimals)
        return NumberClue::Neutral;
    return plain ? NumberClue::AmbiguousPlain : NumberClue::AmbiguousComma;
}
