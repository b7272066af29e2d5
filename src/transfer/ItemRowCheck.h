#pragma once

#include "data/DateValue.h"
#include "data/Money.h"
#include "transfer/CsvReader.h"
#include "transfer/ItemFields.h"

#include <QString>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

// How a file writes its amounts and quantities.
enum class NumberStyle {
    Plain,  // "1234.56": a point before the decimals, no grouping, no currency sign
    Locale, // as the locale writes them: "$1,234.56", or "1.234,56 €" in German
};

// Locale when an amount or quantity of the mapped columns reads as the
// locale writes numbers but not as a plain decimal; else Plain. Records from the first on (skip the heading).
NumberStyle detectNumberStyle(const std::vector<CsvRecord> &records, std::size_t first,
                              const std::vector<ItemField> &mapping);

// One thing wrong with a row, by the line it begins on and the field.
struct ImportProblem {
    int line = 0;
    ItemField field = ItemField::None; // None: the row as a whole
    QString message;
};

// A row read into the item's fields, as it would be stored. Values: Null
// for no value; QString for texts, Category and Location; DateValue;
// Money; int for the quantity; bool for the receipt.
struct CheckedItem {
    int line = 0;
    std::array<QVariant, ItemFieldCount> values;
    bool good = true;     // no problem at all
    bool storable = true; // false: cannot be stored at all (no description)

    const QVariant &operator[](ItemField field) const { return values[std::size_t(field)]; }
    QVariant &operator[](ItemField field) { return values[std::size_t(field)]; }
};

// Checks file rows by the rules of the record form:
// - the description must not be empty (a row without one cannot be stored;
//   it is reported only when a column holds descriptions at all);
// - dates as ISO "2021-03-15" or as the locale writes them;
// - amounts and quantities in the file's number style; a quantity must be a
//   whole number from -32768 to 32767;
// - the receipt as yes/no, true/false, 1/0, x or a tick; empty is no;
// - texts longer than the form takes are stored whole but reported.
// An empty field without quotes is no value (Null); a pair of quotes is an
// empty text. A value that cannot be read is reported and left empty.
// Without a quantity column every item counts once; without an estimated
// value column the purchase price is the estimated value, as the form
// proposes it; without a total column the total is value times quantity.
class ItemRowChecker {
public:
    ItemRowChecker(std::vector<ItemField> mapping, NumberStyle numbers);

    // Null when the record holds nothing (a blank row is skipped).
    std::optional<CheckedItem> check(const CsvRecord &record, std::vector<ImportProblem> &problems) const;

private:
    bool has(ItemField field) const;
    void readField(ItemField field, const QString &text, CheckedItem &item, std::vector<ImportProblem> &problems) const;

    std::vector<ItemField> m_mapping;
    NumberStyle m_numbers;
};

// The readers of single values, in the style given; std::nullopt when the
// text is not such a value.
std::optional<Money> readAmount(QStringView text, NumberStyle style);
std::optional<DateValue> readDate(QStringView text);
std::optional<bool> readYesNo(QStringView text);
