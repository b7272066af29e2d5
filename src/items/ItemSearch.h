#pragma once

#include <QString>
#include <QVariantList>

// Find's search: items whose description begins with the typed text, the
// text's own wildcards (* ? # [..] [!..]) acting as such, case ignored for
// all of Unicode. The text is only ever bound as a value.
struct ItemSearch {
    QString condition; // for Recordset::findFirst
    QVariantList params;
};
ItemSearch itemDescriptionSearch(const QString &typed);
