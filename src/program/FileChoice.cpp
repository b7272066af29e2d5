#include "program/FileChoice.h"

#include "program/Household.h"

static std::optional<QString> remembered(Household &household, const std::optional<QString> &chosen)
{
    if (chosen && !chosen->isEmpty())
        household.rememberChosenFile(*chosen);
    return chosen;
}

std::optional<QString> chooseOpenFile(Household &household, Prompts::FileDialog dialog)
{
    dialog.initialFolder = household.fileDialogFolder();
    return remembered(household, prompts().openFileName(dialog));
}

std::optional<QString> chooseSaveFile(Household &household, Prompts::FileDialog dialog)
{
    dialog.initialFolder = household.fileDialogFolder();
    return remembered(household, prompts().saveFileName(dialog));
}
