#pragma once

#include <QString>

// The question before an output file is replaced. chosenName is the full
// name the user chose in the save dialog. True when the file may be written:
// there is none of that name, or the user answered Yes to replacing it.
// False (KeepExistingFile) when the user declined: the caller skips its file.
[[nodiscard]] bool ConfirmReplaceFile(const QString &chosenName);
