#include "program/ConfirmReplaceFile.h"

#include "program/Globals.h"
#include "program/Prompts.h"

#include <QFileInfo>

void ConfirmReplaceFile(const QString &chosenName)
{
    KeepExistingFile = false;
    if (chosenName.isEmpty() || !QFileInfo::exists(chosenName))
        return;
    const QString question = QStringLiteral("The file '") + chosenName
        + QStringLiteral("' already exists.  Do you wish to replace it?");
    if (prompts().message(question, Prompts::Buttons::YesNo, Prompts::Icon::None,
                          QStringLiteral("File Exists")) == Prompts::Answer::No)
        KeepExistingFile = true;
}
