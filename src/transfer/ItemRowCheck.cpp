#include "transfer/ItemRowCheck.h"

#include "dates/LocaleConversions.h"
#include "items/Quantity.h"
#include "transfer/FormulaCells.h"

#include <cmath>
#include <stdexcept>

namespace {

// A value as a problem message shows it: quoted, long ones cut short.
QString shown(const QString &text)
{
    constexpr qsizetype Longest = 40;
    QString cut = text.size() > Longest ? text.left(Longest) + QChar(0x2026) : text;
    cut.replace(u'\r', u' ').replace(u'\n', u' ');
    return u'"' + cut + u'"';
}

bool isPlainDecimal(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

struct QuantityReading {
    enum class Kind { NotANumber, OutOfRange, NotWhole, Whole } kind = Kind::NotANumber;
    int value = 0; // the whole number, rounded for NotWhole
};

QuantityReading readQuantityIn(QStringView text, NumberStyle style)
{
    std::optional<double> number;
    if (style == NumberStyle::Plain) {
        if (isPlainDecimal(text))
            number = text.trimmed().toDouble();
    } else {
        number = toNumber(text);
    }
    if (!number || !std::isfinite(*number))
        return {};
    const double whole = roundHalfToEven(*number);
    if (whole < MinQuantity || whole > MaxQuantity)
        return {QuantityReading::Kind::OutOfRange, 0};
    return {whole == *number ? QuantityReading::Kind::Whole : QuantityReading::Kind::NotWhole, int(whole)};
}

} // namespace

std::optional<Money> readAmount(QStringView text, NumberStyle style)
{
    if (style == NumberStyle::Plain)
        return isPlainDecimal(text) ? Money::fromDecimalText(text) : std::nullopt;
    return toMoney(text);
}

std::optional<DateValue> readDate(QStringView text)
{
    if (const std::optional<DateValue> iso = DateValue::fromIsoText(text.trimmed()))
        return iso;
    return toDate(text);
}

std::optional<bool> readYesNo(QStringView text)
{
    const QString word = text.trimmed().toString().toCaseFolded();
    static const QStringList yes = {QStringLiteral("yes"),    QStringLiteral("y"),     QStringLiteral("true"),
                                    QStringLiteral("1"),      QStringLiteral("x"),     QStringLiteral("on file"),
                                    QStringLiteral("\u2713"), QStringLiteral("\u2714")};
    static const QStringList no = {QStringLiteral("no"), QStringLiteral("n"), QStringLiteral("false"),
                                   QStringLiteral("0"),  QStringLiteral(""),  QStringLiteral("-")};
    if (yes.contains(word))
        return true;
    if (no.contains(word))
        return false;
    return std::nullopt;
}

NumberStyle detectNumberStyle(const std::vector<CsvRecord> &records, std::size_t first,
                              const std::vector<ItemField> &mapping)
{
    for (std::size_t r = first; r < records.size(); ++r) {
        const CsvRecord &record = records[r];
        for (qsizetype c = 0; c < record.fields.size() && std::size_t(c) < mapping.size(); ++c) {
            const FieldKind kind = fieldKind(mapping[std::size_t(c)]);
            if (kind != FieldKind::Amount && kind != FieldKind::Quantity)
                continue;
            // Only a number that the locale reads and the plain style does
            // not tells; a cell that neither reads is just a bad cell.
            const std::optional<QString> &field = record.fields[c];
            if (field && !field->trimmed().isEmpty() && !isPlainDecimal(*field) && toNumber(*field))
                return NumberStyle::Locale;
        }
    }
    return NumberStyle::Plain;
}

ItemRowChecker::ItemRowChecker(std::vector<ItemField> mapping, NumberStyle numbers)
    : m_mapping(std::move(mapping))
    , m_numbers(numbers)
{
}

bool ItemRowChecker::has(ItemField field) const
{
    return std::find(m_mapping.begin(), m_mapping.end(), field) != m_mapping.end();
}

void ItemRowChecker::readField(ItemField field, const QString &text, CheckedItem &item,
                               std::vector<ImportProblem> &problems) const
{
    const auto problem = [&](const QString &message) {
        problems.push_back({item.line, field, message});
        item.good = false;
    };
    switch (fieldKind(field)) {
    case FieldKind::Text: {
        const QString value = withoutFormulaGuard(text);
        const int limit = fieldEntryLimit(field);
        if (limit > 0 && value.size() > limit)
            problem(QStringLiteral("%1 characters, more than the %2 the form takes; stored whole.")
                        .arg(value.size())
                        .arg(limit));
        item[field] = value;
        break;
    }
    case FieldKind::Date:
        if (const std::optional<DateValue> date = readDate(text))
            item[field] = QVariant::fromValue(*date);
        else
            problem(QStringLiteral("%1 is not a date; left empty.").arg(shown(text)));
        break;
    case FieldKind::Amount:
        if (const std::optional<Money> amount = readAmount(text, m_numbers))
            item[field] = QVariant::fromValue(*amount);
        else
            problem(QStringLiteral("%1 is not an amount; left empty.").arg(shown(text)));
        break;
    case FieldKind::Quantity: {
        const QuantityReading quantity = readQuantityIn(text, m_numbers);
        switch (quantity.kind) {
        case QuantityReading::Kind::NotANumber:
            problem(QStringLiteral("%1 is not a number; left empty.").arg(shown(text)));
            break;
        case QuantityReading::Kind::OutOfRange:
            problem(QStringLiteral("%1 is outside %2 to %3; left empty.")
                        .arg(shown(text))
                        .arg(MinQuantity)
                        .arg(MaxQuantity));
            break;
        case QuantityReading::Kind::NotWhole:
            problem(QStringLiteral("%1 is not a whole number; %2 is stored.").arg(shown(text)).arg(quantity.value));
            item[field] = quantity.value;
            break;
        case QuantityReading::Kind::Whole:
            item[field] = quantity.value;
            break;
        }
        break;
    }
    case FieldKind::YesNo:
        if (const std::optional<bool> yes = readYesNo(text))
            item[field] = *yes;
        else
            problem(QStringLiteral("%1 is neither yes nor no; stored as no.").arg(shown(text)));
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
        if (field == ItemField::None || !text || (fieldKind(field) != FieldKind::Text && text->trimmed().isEmpty()))
            continue;
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
            item[ItemField::TotValue] =
                QVariant::fromValue(item[ItemField::EstValue].value<Money>() * item[ItemField::Quantity].toInt());
        } catch (const std::overflow_error &) {
            problems.push_back({item.line, ItemField::TotValue,
                                QStringLiteral("Est. Value times Quantity is too large; left empty.")});
            item.good = false;
        }
    }

    const QVariant &description = item[ItemField::Item];
    if (!description.isValid() || description.toString().isEmpty()) {
        // Without a column for it every row lacks one: said once, not per row.
        if (has(ItemField::Item))
            problems.push_back(
                {item.line, ItemField::Item, QStringLiteral("empty; a row without a description cannot be imported.")});
        item.good = false;
        item.storable = false;
    }
    return item;
}
