#include "transfer/ItemFields.h"

#include <QHash>

std::array<ItemField, ItemFieldCount> allItemFields()
{
    std::array<ItemField, ItemFieldCount> fields{};
    for (int i = 0; i < ItemFieldCount; ++i)
        fields[std::size_t(i)] = ItemField(i);
    return fields;
}

QString fieldCaption(ItemField field)
{
    switch (field) {
    case ItemField::None:
        break;
    case ItemField::Item:
        return QStringLiteral("Item Description");
    case ItemField::Manufact:
        return QStringLiteral("Manufacturer");
    case ItemField::Model:
        return QStringLiteral("Model Number");
    case ItemField::SerNo:
        return QStringLiteral("Serial Number");
    case ItemField::PurchDate:
        return QStringLiteral("Purchase Date");
    case ItemField::PurchPrice:
        return QStringLiteral("Purchase Price");
    case ItemField::EstValue:
        return QStringLiteral("Est. Value");
    case ItemField::Quantity:
        return QStringLiteral("Quantity");
    case ItemField::TotValue:
        return QStringLiteral("Total Value");
    case ItemField::Receipt:
        return QStringLiteral("Receipt on File");
    case ItemField::WherePurch:
        return QStringLiteral("Where Purchased");
    case ItemField::Misc1:
        return QStringLiteral("Miscellaneous");
    case ItemField::Notes:
        return QStringLiteral("Notes");
    case ItemField::Category:
        return QStringLiteral("Category");
    case ItemField::Location:
        return QStringLiteral("Location");
    case ItemField::WarrantyEnds:
        return QStringLiteral("Warranty Ends");
    case ItemField::Lifetime:
        return QStringLiteral("Lifetime Warranty");
    case ItemField::WarrantyDetails:
        return QStringLiteral("Warranty Details");
    case ItemField::Disposed:
        return QStringLiteral("Date Disposed");
    case ItemField::DisposedHow:
        return QStringLiteral("How Disposed");
    }
    return QString();
}

FieldKind fieldKind(ItemField field)
{
    switch (field) {
    case ItemField::PurchDate:
    case ItemField::WarrantyEnds:
    case ItemField::Disposed:
        return FieldKind::Date;
    case ItemField::DisposedHow:
        return FieldKind::Disposal;
    case ItemField::PurchPrice:
    case ItemField::EstValue:
    case ItemField::TotValue:
        return FieldKind::Amount;
    case ItemField::Quantity:
        return FieldKind::Quantity;
    case ItemField::Receipt:
    case ItemField::Lifetime:
        return FieldKind::YesNo;
    default:
        return FieldKind::Text;
    }
}

int fieldEntryLimit(ItemField field)
{
    switch (field) {
    case ItemField::Item:
    case ItemField::WherePurch:
        return 80;
    case ItemField::Manufact:
    case ItemField::Model:
    case ItemField::SerNo:
    case ItemField::Category:
    case ItemField::Location:
        return 50;
    case ItemField::Misc1:
        return 120;
    default:
        return 0;
    }
}

// Letters and digits only, case folded: "Est. Value", "EST VALUE" and
// "est_value" all become "estvalue".
static QString headingKey(const QString &heading)
{
    QString key;
    for (const QChar c : heading.toCaseFolded()) {
        if (c.isLetterOrNumber())
            key += c;
    }
    return key;
}

static const QHash<QString, ItemField> &headingNames()
{
    static const QHash<QString, ItemField> names = [] {
        const std::pair<ItemField, const char *> list[] = {
            {ItemField::Item, "item description"},
            {ItemField::Item, "item"},
            {ItemField::Item, "description"},
            {ItemField::Item, "name"},
            {ItemField::Item, "item name"},
            {ItemField::Item, "article"},
            {ItemField::Item, "object"},
            {ItemField::Item, "thing"},
            {ItemField::Item, "title"},
            {ItemField::Item, "hb.name"},
            {ItemField::Item, "bezeichnung"},
            {ItemField::Item, "beschreibung"},
            {ItemField::Item, "artikel"},
            {ItemField::Item, "gegenstand"},
            {ItemField::Manufact, "manufacturer"},
            {ItemField::Manufact, "manufact"},
            {ItemField::Manufact, "maker"},
            {ItemField::Manufact, "brand"},
            {ItemField::Manufact, "make"},
            {ItemField::Manufact, "mfr"},
            {ItemField::Manufact, "mfg"},
            {ItemField::Manufact, "producer"},
            {ItemField::Manufact, "hb.manufacturer"},
            {ItemField::Manufact, "hersteller"},
            {ItemField::Manufact, "marke"},
            {ItemField::Model, "model number"},
            {ItemField::Model, "model"},
            {ItemField::Model, "model no"},
            {ItemField::Model, "model #"},
            {ItemField::Model, "hb.model_number"},
            {ItemField::Model, "mpn"},
            {ItemField::Model, "part number"},
            {ItemField::Model, "manufacturer part number"},
            {ItemField::Model, "part no"},
            {ItemField::Model, "modell"},
            {ItemField::Model, "modellnummer"},
            {ItemField::SerNo, "serial number"},
            {ItemField::SerNo, "serno"},
            {ItemField::SerNo, "serial"},
            {ItemField::SerNo, "serial no"},
            {ItemField::SerNo, "s/n"},
            {ItemField::SerNo, "imei"},
            {ItemField::SerNo, "hb.serial_number"},
            {ItemField::SerNo, "seriennummer"},
            {ItemField::SerNo, "seriennr"},
            {ItemField::PurchDate, "purchase date"},
            {ItemField::PurchDate, "purchdate"},
            {ItemField::PurchDate, "date purchased"},
            {ItemField::PurchDate, "date bought"},
            {ItemField::PurchDate, "date"},
            {ItemField::PurchDate, "purchased"},
            {ItemField::PurchDate, "bought"},
            {ItemField::PurchDate, "acquired"},
            {ItemField::PurchDate, "date acquired"},
            {ItemField::PurchDate, "hb.purchase_time"},
            {ItemField::PurchDate, "purchase time"},
            {ItemField::PurchDate, "purchased time"},
            {ItemField::PurchDate, "purchased date"},
            {ItemField::PurchDate, "kaufdatum"},
            {ItemField::PurchDate, "gekauft am"},
            {ItemField::PurchDate, "anschaffungsdatum"},
            {ItemField::PurchDate, "datum"},
            {ItemField::PurchPrice, "purchase price"},
            {ItemField::PurchPrice, "purchprice"},
            {ItemField::PurchPrice, "price"},
            {ItemField::PurchPrice, "cost"},
            {ItemField::PurchPrice, "paid"},
            {ItemField::PurchPrice, "price paid"},
            {ItemField::PurchPrice, "amount paid"},
            {ItemField::PurchPrice, "unit price"},
            {ItemField::PurchPrice, "hb.purchase_price"},
            {ItemField::PurchPrice, "purchase cost"},
            {ItemField::PurchPrice, "purchased price"},
            {ItemField::PurchPrice, "kaufpreis"},
            {ItemField::PurchPrice, "preis"},
            {ItemField::PurchPrice, "anschaffungspreis"},
            {ItemField::PurchPrice, "einkaufspreis"},
            {ItemField::EstValue, "est. value"},
            {ItemField::EstValue, "estvalue"},
            {ItemField::EstValue, "estimated value"},
            {ItemField::EstValue, "value"},
            {ItemField::EstValue, "current value"},
            {ItemField::EstValue, "replacement value"},
            {ItemField::EstValue, "replacement cost"},
            {ItemField::EstValue, "worth"},
            {ItemField::EstValue, "wert"},
            {ItemField::EstValue, "zeitwert"},
            {ItemField::EstValue, "sch\u00e4tzwert"},
            {ItemField::EstValue, "wiederbeschaffungswert"},
            {ItemField::EstValue, "aktueller wert"},
            {ItemField::Quantity, "quantity"},
            {ItemField::Quantity, "qty"},
            {ItemField::Quantity, "count"},
            {ItemField::Quantity, "pieces"},
            {ItemField::Quantity, "number of items"},
            {ItemField::Quantity, "hb.quantity"},
            {ItemField::Quantity, "menge"},
            {ItemField::Quantity, "anzahl"},
            {ItemField::Quantity, "st\u00fcck"},
            {ItemField::Quantity, "st\u00fcckzahl"},
            {ItemField::TotValue, "total value"},
            {ItemField::TotValue, "totvalue"},
            {ItemField::TotValue, "total"},
            {ItemField::TotValue, "total price"},
            {ItemField::TotValue, "gesamtwert"},
            {ItemField::TotValue, "gesamtpreis"},
            {ItemField::TotValue, "summe"},
            {ItemField::Receipt, "receipt on file"},
            {ItemField::Receipt, "receipt"},
            {ItemField::Receipt, "has receipt"},
            {ItemField::Receipt, "receipt kept"},
            {ItemField::Receipt, "beleg"},
            {ItemField::Receipt, "kaufbeleg"},
            {ItemField::Receipt, "quittung"},
            {ItemField::Receipt, "rechnung"},
            {ItemField::WherePurch, "where purchased"},
            {ItemField::WherePurch, "wherepurch"},
            {ItemField::WherePurch, "store"},
            {ItemField::WherePurch, "shop"},
            {ItemField::WherePurch, "vendor"},
            {ItemField::WherePurch, "seller"},
            {ItemField::WherePurch, "retailer"},
            {ItemField::WherePurch, "purchased from"},
            {ItemField::WherePurch, "bought from"},
            {ItemField::WherePurch, "bought at"},
            {ItemField::WherePurch, "supplier"},
            {ItemField::WherePurch, "hb.purchase_from"},
            {ItemField::WherePurch, "gekauft bei"},
            {ItemField::WherePurch, "h\u00e4ndler"},
            {ItemField::WherePurch, "gesch\u00e4ft"},
            {ItemField::WherePurch, "verk\u00e4ufer"},
            {ItemField::WherePurch, "bezugsquelle"},
            {ItemField::Misc1, "miscellaneous"},
            {ItemField::Misc1, "misc1"},
            {ItemField::Misc1, "misc"},
            {ItemField::Misc1, "other"},
            {ItemField::Misc1, "details"},
            {ItemField::Misc1, "hb.description"},
            {ItemField::Misc1, "sonstiges"},
            {ItemField::Misc1, "verschiedenes"},
            {ItemField::Notes, "notes"},
            {ItemField::Notes, "note"},
            {ItemField::Notes, "comments"},
            {ItemField::Notes, "comment"},
            {ItemField::Notes, "remarks"},
            {ItemField::Notes, "hb.notes"},
            {ItemField::Notes, "notizen"},
            {ItemField::Notes, "bemerkungen"},
            {ItemField::Notes, "bemerkung"},
            {ItemField::Notes, "anmerkungen"},
            {ItemField::Notes, "kommentar"},
            {ItemField::Category, "category"},
            {ItemField::Category, "catdesc"},
            {ItemField::Category, "type"},
            {ItemField::Category, "kind"},
            {ItemField::Category, "group"},
            {ItemField::Category, "kategorie"},
            {ItemField::Category, "gruppe"},
            {ItemField::Location, "location"},
            {ItemField::Location, "locdesc"},
            {ItemField::Location, "room"},
            {ItemField::Location, "place"},
            {ItemField::Location, "where"},
            {ItemField::Location, "stored in"},
            {ItemField::Location, "hb.location"},
            {ItemField::Location, "storage location"},
            {ItemField::Location, "ort"},
            {ItemField::Location, "raum"},
            {ItemField::Location, "zimmer"},
            {ItemField::Location, "standort"},
            {ItemField::Location, "lagerort"},
            {ItemField::Location, "aufbewahrungsort"},
            {ItemField::WarrantyEnds, "warranty ends"},
            {ItemField::WarrantyEnds, "warranty end"},
            {ItemField::WarrantyEnds, "warrantyend"},
            {ItemField::WarrantyEnds, "warranty expires"},
            {ItemField::WarrantyEnds, "warranty until"},
            {ItemField::WarrantyEnds, "garantie bis"},
            {ItemField::Lifetime, "lifetime warranty"},
            {ItemField::Lifetime, "lifetime"},
            {ItemField::WarrantyDetails, "warranty details"},
            {ItemField::WarrantyDetails, "warrantydetails"},
            {ItemField::WarrantyDetails, "warranty"},
            {ItemField::Disposed, "date disposed"},
            {ItemField::Disposed, "disposed"},
            {ItemField::Disposed, "disposed on"},
            {ItemField::Disposed, "sold on"},
            {ItemField::DisposedHow, "how disposed"},
            {ItemField::DisposedHow, "disposedhow"},
            {ItemField::DisposedHow, "disposal"},
        };
        QHash<QString, ItemField> map;
        for (const auto &[field, name] : list)
            map.insert(headingKey(QString::fromUtf8(name)), field);
        return map;
    }();
    return names;
}

ItemField fieldForHeading(const QString &heading)
{
    return headingNames().value(headingKey(heading), ItemField::None);
}

std::vector<ItemField> matchHeadings(const QStringList &headings)
{
    std::vector<ItemField> mapping;
    std::array<bool, ItemFieldCount> taken{};
    for (const QString &heading : headings) {
        ItemField field = fieldForHeading(heading);
        if (field != ItemField::None) {
            if (taken[std::size_t(field)])
                field = ItemField::None;
            else
                taken[std::size_t(field)] = true;
        }
        mapping.push_back(field);
    }
    return mapping;
}
