#pragma once

#include "program/Prompts.h"

#include <QString>

// Thrown by ConsolePrompts::endProgram and caught in main, so that open
// files are dropped properly on the way out.
struct RunnerEnded {
    int exitCode;
};

// The prompts of a program without windows: every message goes to stderr
// as "title: text", and each question gets its harmless answer (OK, No,
// Cancel; no file chosen, no text typed).
class ConsolePrompts : public Prompts {
public:
    Answer message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    void beep() override {}
    void openWebAddress(const QString &) override {}
    void setBusy(bool) override {}
    [[noreturn]] void endProgram(int exitCode) override;

    // How many messages were printed.

private:
};

// Prints one line to stderr.
void printError(const QString &line);
