#pragma once

#include "program/Prompts.h"

#include <QString>
#include <QStringList>
#include <stdexcept>

// Prompts that show nothing: the benchmark answers the Find box from
// nextInput, and every message is kept, since one means that something the
// benchmark timed went wrong.
class QuietPrompts : public Prompts {
public:
    QString nextInput;
    QStringList messages;

    Answer message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    void beep() override {}
    void openWebAddress(const QString &) override {}
    void setBusy(bool) override {}
    [[noreturn]] void endProgram(int exitCode) override;
};

struct ProgramEndedError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
