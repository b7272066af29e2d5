#include "items/ItemSearch.h"

ItemSearch itemDescriptionSearch(const QString &typed)
{
    // The description must begin with the text; the text's own wildcards act
    // as such, and it reaches the database only as a bound value.
    return {QStringLiteral("wlike(Item, ?)"), {typed + QLatin1Char('*')}};
}
