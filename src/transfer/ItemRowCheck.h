#pragma once

#include "data/DateValue.h"
#include "data/Money.h"
#include "transfer/CsvReader.h"
#include "transfer/FileDates.h"
#include "transfer/FileNumbers.h"
#include "transfer/ItemFields.h"

#include <QString>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

// One thing wrong with a row, by the line it begins on and the field.
struct ImportProblem {
    int line = 0;
    ItemField field = ItemField::None; // None: the row as a whole
    QString message;
};

// How the values of one file are read: the same rules for every row.
struct ReadingRules {
    NumberStyle numbers = NumberStyle::Plain;
    DateStyle dates = DateStyle::YearMonthDay;
    // The file is one of our own exports: the apostrophe the export put in
    // front of a text that looks like a formula comes off. In files of other
    // programs an apostrophe is the text's own ("'-5 degrees" stays).
    bool exportApostrophes = false;
};

// A row read into the item's fields, as it would be stored. Values: Null
// for no value; QString for texts, Category and Location; DateValue;
// Money; int for the quantity; bool for the receipt.
struct CheckedItem {
    int line = 0;
    std::array<QVariant, ItemFieldCount> values;
    bool good = true;     // no problem at all
    bool storable = true; // false: cannot be stored at all (no description)
    quint32 troubled = 0; // one bit per field that a problem names

    const QVariant &operator[](ItemField field) const { return values[std::size_t(field)]; }
    QVariant &operator[](ItemField field) { return values[std::size_t(field)]; }
    bool isTroubled(ItemField field) const { return field != ItemField::None && (troubled >> int(field)) & 1u; }
};

// Checks file rows by the rules of the record form:
// - the description must not be empty (a row without one cannot be stored;
//   it is reported only when a column holds descriptions at all);
// - dates and numbers as the reading rules say; a value that does not fit
//   them is reported, never read as another value;
// - amounts with at most four decimals, and no larger than the inventory
//   stores exactly;
// - a quantity must be a whole number from -32768 to 32767; one that cannot
//   be read is stored as 1, as the record form stores it;
// - the receipt as yes/no, true/false, 1/0, x or a tick; empty is no;
// - texts longer than the form takes are stored whole but reported; NUL
//   and C1 control characters are no text: reported and left out; bytes of
//   a UTF-8 file that are not UTF-8 are reported with the text as read.
// An empty field without quotes is no value (Null); a pair of quotes is an
// empty text. Another value that cannot be read is reported and left empty.
// Without a quantity column every item counts once; without an estimated
// value column the purchase price is the estimated value, as the form
// proposes it; without a total column the total is value times quantity.
class ItemRowChecker {
public:
    ItemRowChecker(std::vector<ItemField> mapping, ReadingRules rules);

    // Null when the record holds nothing (a blank row is skipped).
    std::optional<CheckedItem> check(const CsvRecord &record, std::vector<ImportProblem> &problems) const;

private:
    bool has(ItemField field) const;
    void readField(ItemField field, const QString &text, CheckedItem &item, std::vector<ImportProblem> &problems) const;

    std::vector<ItemField> m_mapping;
    ReadingRules m_rules;
    std::array<bool, ItemFieldCount> m_mapped{};
};

std::optional<bool> readYesNo(QStringView text);

// A value as messages show it: quoted, long ones cut short, line breaks as blanks.
QString quotedValue(const QString &text);
