#include "transfer/ItemRowCheck.h"

#include "dates/LocaleFormats.h"
#include "dates/Today.h"
#include "items/ItemStatus.h"
#include "items/Quantity.h"
#include "transfer/FormulaCells.h"

#include <stdexcept>

namespace {

QString numberStyleWords(NumberStyle style)
{
    return QStringLiteral("written like %1").arg(numberStyleExample(style));
}

// Why a number could not be read, as the first part of a problem message.
QString numberRefusal(const QString &text, FileNumber::Kind kind, NumberStyle style, const char *what)
{
    switch (kind) {
    case FileNumber::Kind::TooManyDecimals:
        return QStringLiteral("%1 has more than four decimals").arg(quotedValue(text));
    case FileNumber::Kind::OutOfRange:
        return QStringLiteral("%1 is larger than an amount can be").arg(quotedValue(text));
    case FileNumber::Kind::Number:
    case FileNumber::Kind::NotANumber:
        break;
    }
    if (numberClue(text) != NumberClue::None)
        return QStringLiteral("%1 is not %2, as the numbers of this file are")
            .arg(quotedValue(text), numberStyleWords(style));
    return QStringLiteral("%1 is not %2").arg(quotedValue(text), QLatin1String(what));
}

// Money is stored as a floating-point number, which keeps four decimals
// exactly only up to some hundreds of billions; beyond that the stored
// amount would not be the file's.
bool storedExactly(Money amount)
{
    return Money::fromDouble(amount.toDouble()) == amount;
}

// NUL and the C1 controls (U+0080 to U+009F, what undefined bytes of a code
// page turn into) are no text; the first one found.
std::optional<char16_t> firstControl(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() == 0 || (c.unicode() >= 0x80 && c.unicode() <= 0x9F))
            return c.unicode();
    }
    return std::nullopt;
}

QString withoutControls(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() != 0 && (c.unicode() < 0x80 || c.unicode() > 0x9F))
            kept += c;
    }
    return kept;
}

} // namespace

QString quotedValue(const QString &text)
{
    constexpr qsizetype Longest = 40;
    QString cut = text.size() > Longest ? text.left(Longest) + QChar(0x2026) : text;
    cut.replace(u'\r', u' ').replace(u'\n', u' ');
    return u'"' + cut + u'"';
}

std::optional<bool> readYesNo(QStringView text)
{
    text = text.trimmed();
    static constexpr QStringView yes[] = {u"yes", u"y", u"true", u"1", u"x", u"on file", u"\u2713", u"\u2714"};
    static constexpr QStringView no[] = {u"no", u"n", u"false", u"0", u"", u"-"};
    const auto among = [&](const auto &words) {
        return std::any_of(std::begin(words), std::end(words),
                           [&](QStringView word) { return text.compare(word, Qt::CaseInsensitive) == 0; });
    };
    if (among(yes))
        return true;
    if (among(no))
        return false;
    return std::nullopt;
}

ItemRowChecker::ItemRowChecker(std::vector<ItemField> mapping, ReadingRules rules)
    : m_mapping(std::move(mapping))
    , m_rules(rules)
{
    for (const ItemField field : m_mapping) {
        if (field != ItemField::None)
            m_mapped[std::size_t(field)] = true;
    }
}

bool ItemRowChecker::has(ItemField field) const
{
    return m_mapped[std::size_t(field)];
}

void ItemRowChecker::readField(ItemField field, const QString &text, CheckedItem &item,
                               std::vector<ImportProblem> &problems) const
{
    const auto problem = [&](const QString &message) {
        problems.push_back({item.line, field, message});
        item.good = false;
        item.troubled |= 1u << int(field);
    };
    switch (fieldKind(field)) {
    case FieldKind::Text: {
        QString value = m_rules.exportApostrophes ? withoutFormulaGuard(text) : text;
        if (const std::optional<char16_t> control = firstControl(value)) {
            problem(QStringLiteral("holds control characters that are not text (U+%1); they are left out.")
                        .arg(QString::number(*control, 16).toUpper().rightJustified(4, u'0')));
            value = withoutControls(value);
        }
        const int limit = fieldEntryLimit(field);
        if (limit > 0 && value.size() > limit)
            problem(QStringLiteral("%1 characters, more than the %2 the form takes; stored whole.")
                        .arg(value.size())
                        .arg(limit));
        item[field] = value;
        break;
    }
    case FieldKind::Date:
        if (const std::optional<DateValue> date = readFileDate(text, m_rules.dates))
            item[field] = QVariant::fromValue(*date);
        else if (dateClue(text) != DateClue::None)
            problem(QStringLiteral("%1 is not a date written %2, as the dates of this column are; left empty.")
                        .arg(quotedValue(text), dateStyleWords(m_rules.dates)));
        else
            problem(QStringLiteral("%1 is not a date; left empty.").arg(quotedValue(text)));
        break;
    case FieldKind::Amount: {
        const FileNumber amount = readFileNumber(text, m_rules.numbers);
        if (amount.kind != FileNumber::Kind::Number)
            problem(numberRefusal(text, amount.kind, m_rules.numbers, "an amount") + QStringLiteral("; left empty."));
        else if (!storedExactly(amount.value))
            problem(
                QStringLiteral("%1 is larger than the inventory stores exactly; left empty.").arg(quotedValue(text)));
        else
            item[field] = QVariant::fromValue(amount.value);
        break;
    }
    case FieldKind::Quantity: {
        // What the record form stores for a quantity it cannot read.
        const QString stored = QStringLiteral("; stored as 1, as the record form stores a quantity it cannot read.");
        const FileNumber number = readFileNumber(text, m_rules.numbers);
        if (number.kind != FileNumber::Kind::Number) {
            problem(numberRefusal(text, number.kind, m_rules.numbers, "a number") + stored);
            item[field] = 1;
            break;
        }
        const std::int64_t units = number.value.units();
        const std::int64_t whole = units / Money::Scale;
        const std::int64_t fraction = units % Money::Scale;
        // Rounded as the record form rounds a quantity: halves to even.
        std::int64_t rounded = whole;
        if (2 * std::abs(fraction) > Money::Scale || (2 * std::abs(fraction) == Money::Scale && whole % 2 != 0))
            rounded += fraction < 0 ? -1 : 1;
        if (rounded < MinQuantity || rounded > MaxQuantity) {
            problem(QStringLiteral("%1 is outside %2 to %3").arg(quotedValue(text)).arg(MinQuantity).arg(MaxQuantity)
                    + stored);
            item[field] = 1;
        } else {
            if (fraction != 0)
                problem(QStringLiteral("%1 is not a whole number; %2 is stored.").arg(quotedValue(text)).arg(rounded));
            item[field] = int(rounded);
        }
        break;
    }
    case FieldKind::YesNo:
        if (const std::optional<bool> yes = readYesNo(text))
            item[field] = *yes;
        else
            problem(QStringLiteral("%1 is neither yes nor no; stored as no.").arg(quotedValue(text)));
        break;
    case FieldKind::Disposal:
        if (const std::optional<DisposalKind> how = disposalKindOf(text))
            item[field] = storedDisposalKind(*how);
        else
            problem(QStringLiteral("%1 is not sold, given away or thrown away; left empty.").arg(quotedValue(text)));
        break;
    }
}

std::optional<CheckedItem> ItemRowChecker::check(const CsvRecord &record, std::vector<ImportProblem> &problems) const
{
    if (record.isBlank())
        return std::nullopt;
    CheckedItem item;
    item.line = record.line;

    const qsizetype width = qsizetype(m_mapping.size());
    for (qsizetype c = 0; c < record.fields.size() && c < width; ++c) {
        const ItemField field = m_mapping[std::size_t(c)];
        const std::optional<QString> &text = record.fields[c];
        // No value at all: Null. An empty quoted text is an empty text, but
        // a number or a date cannot be empty.
        if (field == ItemField::None || !text
            || (fieldKind(field) != FieldKind::Text && QStringView(*text).trimmed().isEmpty()))
            continue;
        if (record.notUtf8.contains(int(c))) {
            problems.push_back(
                {item.line, field,
                 QStringLiteral("holds bytes that are not UTF-8; read as Windows-1252: %1.").arg(quotedValue(*text))});
            item.good = false;
            item.troubled |= 1u << int(field);
        }
        readField(field, *text, item, problems);
    }

    bool extra = record.droppedText;
    for (qsizetype c = width; c < record.fields.size() && !extra; ++c)
        extra = record.fields[c] && !record.fields[c]->isEmpty();
    if (extra) {
        problems.push_back({item.line, ItemField::None,
                            QStringLiteral("%1 fields, but the heading row has %2; only the first %2 are imported.")
                                .arg(record.fields.size() + record.droppedFields)
                                .arg(width)});
        item.good = false;
    }

    if (!item[ItemField::Receipt].isValid())
        item[ItemField::Receipt] = false;
    if (!has(ItemField::Quantity))
        item[ItemField::Quantity] = 1;
    if (!has(ItemField::EstValue))
        item[ItemField::EstValue] = item[ItemField::PurchPrice];
    if (!has(ItemField::TotValue) && item[ItemField::EstValue].isValid() && item[ItemField::Quantity].isValid()) {
        try {
            const Money total = item[ItemField::EstValue].value<Money>() * item[ItemField::Quantity].toInt();
            if (!storedExactly(total))
                throw std::overflow_error("total beyond what is stored exactly");
            item[ItemField::TotValue] = QVariant::fromValue(total);
        } catch (const std::overflow_error &) {
            problems.push_back({item.line, ItemField::TotValue,
                                QStringLiteral("Est. Value times Quantity is too large; left empty.")});
            item.good = false;
            item.troubled |= 1u << int(ItemField::TotValue);
        }
    }

    // An item cannot have left on a day still to come, nor left without a day.
    const QVariant &disposed = item[ItemField::Disposed];
    if (disposed.isValid() && disposed.value<DateValue>().date() > today().date()) {
        problems.push_back({item.line, ItemField::Disposed,
                            QStringLiteral("%1 is after today's date; left empty.")
                                .arg(formatShortDate(disposed.value<DateValue>()))});
        item.good = false;
        item.troubled |= 1u << int(ItemField::Disposed);
        item[ItemField::Disposed] = QVariant();
    }
    if (!item[ItemField::Disposed].isValid() && item[ItemField::DisposedHow].isValid()
        && !item[ItemField::DisposedHow].toString().isEmpty()) {
        problems.push_back({item.line, ItemField::DisposedHow,
                            QStringLiteral("a way of leaving without the day the item left; left empty.")});
        item.good = false;
        item.troubled |= 1u << int(ItemField::DisposedHow);
        item[ItemField::DisposedHow] = QVariant();
    }

    const QVariant &description = item[ItemField::Item];
    if (!description.isValid() || description.toString().isEmpty()) {
        // Without a column for it every row lacks one: said once, not per row.
        if (has(ItemField::Item)) {
            problems.push_back(
                {item.line, ItemField::Item, QStringLiteral("empty; a row without a description cannot be imported.")});
            item.troubled |= 1u << int(ItemField::Item);
        }
        item.good = false;
        item.storable = false;
    }
    return item;
}
