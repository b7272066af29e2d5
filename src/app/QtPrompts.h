#pragma once

#include "program/Prompts.h"

class QWidget;

// The real prompts: modal message boxes and dialogs over the active window.
class QtPrompts : public Prompts {
public:
    Answer message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    QStringList openFileNames(const FileDialog &dialog) override;
    std::optional<QString> openFolderName(const FileDialog &dialog) override;
    void beep() override;
    void openWebAddress(const QString &address) override;
    void setBusy(bool busy) override;
    [[noreturn]] void endProgram(int exitCode) override;
};
