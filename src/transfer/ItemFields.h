#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// The item fields a file's columns can be read into, in the order of the
// record form. Category and Location are the codes' descriptions.
enum class ItemField {
    None = -1, // the column is not imported
    Item,
    Manufact,
    Model,
    SerNo,
    PurchDate,
    PurchPrice,
    EstValue,
    Quantity,
    TotValue,
    Receipt,
    WherePurch,
    Misc1,
    Notes,
    Category,
    Location,
    // Beside the form: the warranty and disposal window's.
    WarrantyEnds,
    Lifetime,
    WarrantyDetails,
    Disposed,
    DisposedHow,
};
inline constexpr int ItemFieldCount = 20;

// All fields, in form order.
std::array<ItemField, ItemFieldCount> allItemFields();

// The form's caption of the field ("Item Description", "Est. Value"); the
// exported file's heading row uses the same names.
QString fieldCaption(ItemField field);

// What kind of value the field holds in a file.
// Disposal: how an item left the household, one of the words of
// disposalKindOf (ItemStatus.h).
enum class FieldKind { Text, Date, Amount, Quantity, YesNo, Disposal };
FieldKind fieldKind(ItemField field);

// The longest text the record form takes for the field (0: no limit).
int fieldEntryLimit(ItemField field);

// The heading of the exported file's first column, the item's key. Files
// read back never take it: new items get new keys.
inline const QString KeyHeading = QStringLiteral("ID");

// The field a heading names: the form's captions, the database's column
// names, the names spreadsheets and other inventory programs commonly use,
// in English and German ("Name", "Brand", "MPN", "Purchase Cost", "Qty",
// "Storage Location", "Bezeichnung", "Kaufpreis", "Menge", "Raum"...), and
// the "HB." columns of a self-hosted home inventory's export, ignoring case,
// blanks and punctuation. None when the heading names no field.
ItemField fieldForHeading(const QString &heading);

// Matches every heading of a file. A field named by two headings goes to
// the first of them only; the later ones are not imported.
std::vector<ItemField> matchHeadings(const QStringList &headings);
