#include "program/ConfirmReplaceFile.h"

#include "program/Prompts.h"

#include <QFileInfo>

bool ConfirmReplaceFile(const QString &chosenName)
{
    if (chosenName.isEmpty() || !QFileInfo::exists(chosenName))
        return true;
    const QString question =
        QStringLiteral("The file '") + chosenName + QStringLiteral("' already exists.  Do you wish to replace it?");
    return prompts().message(question, Prompts::Buttons::YesNo, Prompts::Icon::None, QStringLiteral("File Exists"))
        != Prompts::Answer::No;
}
