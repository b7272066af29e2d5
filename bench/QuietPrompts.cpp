#include "QuietPrompts.h"

Prompts::Answer QuietPrompts::message(const QString &text, Buttons buttons, Icon, const QString &title)
{
    messages << title + QStringLiteral(": ") + text;
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No : Answer::Ok;
}

std::optional<QString> QuietPrompts::inputBox(const QString &, const QString &, const QString &)
{
    return nextInput;
}

std::optional<QString> QuietPrompts::openFileName(const FileDialog &)
{
    return std::nullopt;
}

std::optional<QString> QuietPrompts::saveFileName(const FileDialog &)
{
    return std::nullopt;
}

void QuietPrompts::endProgram(int exitCode)
{
    throw ProgramEndedError("the program would have ended with code " + std::to_string(exitCode) + ": "
                            + messages.join(QStringLiteral(" / ")).toStdString());
}
