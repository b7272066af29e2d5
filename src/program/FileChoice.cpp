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

QStringList chooseOpenFiles(Household &household, Prompts::FileDialog dialog)
{
    dialog.initialFolder = household.fileDialogFolder();
    const QStringList chosen = prompts().openFileNames(dialog);
    if (!chosen.isEmpty())
        household.rememberChosenFile(chosen.front());
    return chosen;
}

std::optional<QString> chooseSaveFile(Household &household, Prompts::FileDialog dialog)
{
    dialog.initialFolder = household.fileDialogFolder();
    return remembered(household, prompts().saveFileName(dialog));
}
