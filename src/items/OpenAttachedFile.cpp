#include "items/OpenAttachedFile.h"

#include "items/ItemAttachments.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

void openAttachedFile(Household &household, const AttachedFile &file)
{
    const QString path = household.itemFiles().folder() + file.fileName;
    if (!QFileInfo(path).isFile()) {
        prompts().message(
            QStringLiteral("The file '%1' is missing from the data folder.").arg(QDir::toNativeSeparators(path)),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
        return;
    }
    prompts().openWebAddress(QUrl::fromLocalFile(path).toString());
}
