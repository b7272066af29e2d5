#include "runner/ConsolePrompts.h"

#include <cstdio>

void printError(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

Prompts::Answer ConsolePrompts::message(const QString &text, Buttons buttons, Icon, const QString &title)
{
    printError(title + QStringLiteral(": ") + text);
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return Answer::Cancel;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    }
    return Answer::Ok;
}

std::optional<QString> ConsolePrompts::inputBox(const QString &prompt, const QString &title, const QString &)
{
    printError(title + QStringLiteral(": ") + prompt);
    return std::nullopt;
}

std::optional<QString> ConsolePrompts::openFileName(const FileDialog &)
{
    return std::nullopt;
}

std::optional<QString> ConsolePrompts::saveFileName(const FileDialog &)
{
    return std::nullopt;
}

void ConsolePrompts::endProgram(int exitCode)
{
    throw RunnerEnded{exitCode};
}
