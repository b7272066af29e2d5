#pragma once

#include <QString>
#include <QStringList>

// The table of the screen report being built, shared by the report engine,
// the two fixed reports and the output window's new-page handler.

// Column widths in twips, each optionally preceded by ">" for right
// alignment, separated by "|" and ended by ";" (e.g. "4320|>2880;").
inline QString TableFormat;
// The column headings, one entry per column. Kept as a list so a caption
// holding "|" or ";" stays one cell.
inline QStringList TableHeading;
// While set, every page of a screen report begins with the heading row.
inline bool RepeatHeading = false;
