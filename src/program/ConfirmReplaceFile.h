#pragma once

#include <QString>

// The question before an output file is replaced. Clears KeepExistingFile;
// when a file with the chosen name exists, asks whether to replace it and
// sets KeepExistingFile on No. chosenName is the full name the user chose in
// the save dialog.
void ConfirmReplaceFile(const QString &chosenName);
