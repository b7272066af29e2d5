#pragma once

#include "program/Prompts.h"

#include <QString>
#include <optional>

class Household;

// The program's file dialogs, through the installed prompts. Each opens in
// the folder where the user last chose a file in this run, or in the
// household's data folder before any was chosen, whatever folder the dialog
// names; a chosen file's folder becomes the next dialog's.
std::optional<QString> chooseOpenFile(Household &household, Prompts::FileDialog dialog);
// Several files; empty when none was chosen.
QStringList chooseOpenFiles(Household &household, Prompts::FileDialog dialog);
std::optional<QString> chooseSaveFile(Household &household, Prompts::FileDialog dialog);
