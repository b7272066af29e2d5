#pragma once

#include <QStringView>
#include <optional>

// Where the parts of a simple "select <list> from ..." statement lie in its
// text, found outside quotes, brackets, comments and parentheses. Used to
// rewrite a recordset's statement so that it gives only the keys of its rows.
struct SelectText {
    qsizetype listStart = 0; // just after the leading "select"
    qsizetype fromStart = 0; // at the first top-level "from"
    // An "order by" or "group by" term that is a bare column number: such a
    // statement cannot have its list replaced without changing its meaning.
    bool numberedOrderTerm = false;
};

// std::nullopt when the text does not begin with "select" or has no
// top-level "from".
std::optional<SelectText> splitSelect(QStringView sql);
