#pragma once

#include <QList>
#include <QString>
#include <optional>

// One column of a table format.
struct TableColumn {
    double width = 0;        // twips, never negative
    bool alignRight = false; // ">" before the width

    friend bool operator==(const TableColumn &, const TableColumn &) = default;
};

// The widest column a format may ask for: 100 inches. Anything wider is a
// broken format, not a report someone could print.
inline constexpr double MaxColumnWidth = 144000;

// Reads a table format: widths in twips, each optionally preceded by ">",
// separated by "|" and ended by ";", e.g. "4320|>2880;". Widths may carry a
// fraction written with "." or "," ("1123.2", "842,4"), and blanks around the
// parts are ignored. A format that is empty, lacks the closing ";", has text
// after it, or holds a width that is missing, not a number, negative or wider
// than MaxColumnWidth gives std::nullopt.
std::optional<QList<TableColumn>> parseTableFormat(const QString &format);
