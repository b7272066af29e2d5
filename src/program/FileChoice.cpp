#include "program/FileChoice.h"

#include "program/Globals.h"

#include <QFileInfo>

QString fileDialogFolder()
{
    return LastChosenFolder.isEmpty() ? DataFolder : LastChosenFolder;
}

static std::optional<QString> remembered(const std::optional<QString> &chosen)
{
    if (chosen && !chosen->isEmpty())
        LastChosenFolder = QFileInfo(*chosen).absolutePath();
    return chosen;
}

std::optional<QString> chooseOpenFile(Prompts::FileDialog dialog)
{
    dialog.initialFolder = fileDialogFolder();
    return remembered(prompts().openFileName(dialog));
}

std::optional<QString> chooseSaveFile(Prompts::FileDialog dialog)
{
    dialog.initialFolder = fileDialogFolder();
    return remembered(prompts().saveFileName(dialog));
}
