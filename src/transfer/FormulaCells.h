#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Spreadsheets run a cell that begins with "=", "+", "-" or "@" (and, in
// some, a tab or a carriage return) as a formula, and a formula such as
// =cmd|'/c calc'!A1 can start programs on the machine that opens the file.
// Written texts that would begin so are kept as text by one apostrophe in
// front, which spreadsheets take as "this cell is text". The rule is
// reversible, so an exported file reads back exactly:
//   written:  an apostrophe is put in front of every text that, after its
//             own leading apostrophes, begins with one of those characters;
//   read:     one apostrophe is taken away from such a text.
// A text without that shape is written and read unchanged.

bool needsFormulaGuard(QByteArrayView utf8);
bool needsFormulaGuard(QStringView text);

// What reading does: the text with the apostrophe of the rule taken away.
QString withoutFormulaGuard(const QString &text);
