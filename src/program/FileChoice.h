#pragma once

#include "program/Prompts.h"

#include <QString>
#include <optional>

// The program's file dialogs, through the installed prompts. Each opens in
// the folder where the user last chose a file in this run, or in the data
// folder before any was chosen, whatever folder the dialog names; a chosen
// file's folder becomes the next dialog's.
std::optional<QString> chooseOpenFile(Prompts::FileDialog dialog);
std::optional<QString> chooseSaveFile(Prompts::FileDialog dialog);

// The folder the next file dialog opens in.
QString fileDialogFolder();
