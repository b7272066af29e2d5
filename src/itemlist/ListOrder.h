#pragma once

#include <string_view>
#include <vector>

// How the item list orders the texts of a column: as the user's language
// sorts them (QCollator of the default locale, case ignored: "Crème"
// before "Crystal"), no text and the empty text alike.
//
// The rows' texts as UTF-8, in the rows' given order (the items' keys
// ascending); the result lists the row indexes in the collated order, rows
// whose texts compare equal keeping their given order. Equal texts are
// collated once, so a column of a few thousand different texts sorts a
// million rows quickly; texts of printable ASCII are compared through a
// table of the collator's own order when the locale's rules allow it.
std::vector<int> collatedOrder(const std::vector<std::string_view> &texts);
