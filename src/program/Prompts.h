#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Every message box, question, input box, file dialog, beep, hourglass and
// the ending of the program goes through this one interface. The program
// installs the real one (message boxes and dialogs); tests install a scripted
// one that records every text, title, button set and icon and answers as told.
class Prompts {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileDialog {
        QString title;
        // In the "Name|*.a;*.b|Other|*.c" form; toQtFileFilter() converts it.
        QString filter;
        int filterIndex = 1; // 1-based, like the filter text's pairs
        QString initialFolder;
        QString fileName;      // proposed name
        QString defaultSuffix; // without the dot; empty for none
        // openFileNames only: the folder shown may be taken as a whole
        // instead of files in it; the answer is then that folder alone.
        bool orFolder = false;
    };

    virtual ~Prompts() = default;

    virtual Answer message(const QString &text, Buttons buttons, Icon icon, const QString &title) = 0;
    // The typed text, or std::nullopt when the box was cancelled.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                            const QString &defaultText = QString()) = 0;
    // The chosen full path, or std::nullopt when the dialog was cancelled.
    virtual std::optional<QString> openFileName(const FileDialog &dialog) = 0;
    virtual std::optional<QString> saveFileName(const FileDialog &dialog) = 0;
    // Several files at once; empty when the dialog was cancelled. Where the
    // prompts cannot offer more than one, one at a time.
    virtual QStringList openFileNames(const FileDialog &dialog)
    {
        const std::optional<QString> one = openFileName(dialog);
        return one && !one->isEmpty() ? QStringList{*one} : QStringList();
    }
    // A folder chosen (dialog's title and initialFolder count), or
    // std::nullopt when the dialog was cancelled. Prompts that cannot show
    // one have no folder to give.
    virtual std::optional<QString> folderName(const FileDialog &dialog)
    {
        (void)dialog;
        return std::nullopt;
    }
    virtual void beep() = 0;
    // The shell's open of a web address; failures are not reported.
    virtual void openWebAddress(const QString &address) = 0;
    // The hourglass pointer; calls nest.
    virtual void setBusy(bool busy) = 0;
    // Ends the program at once: no window is asked, nothing more is written.
    // Never returns normally (the scripted prompts of the tests throw).
    [[noreturn]] virtual void endProgram(int exitCode) = 0;
};

// The installed prompts. Windows and procedures call prompts(); main() and the
// tests install theirs with setPrompts (ownership stays with the caller).
Prompts &prompts();
void setPrompts(Prompts *prompts);

// The program's title: the title of every message box that gives none.
inline const QString ProgramTitle = QStringLiteral("Stowbook");

// Shows the hourglass while it lives.
class BusyCursor {
public:
    BusyCursor() { prompts().setBusy(true); }
    ~BusyCursor() { prompts().setBusy(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// "Text files|*.txt|All files|*.*" -> "Text files (*.txt);;All files (*.*)".
// A trailing odd name without a pattern is ignored.
QString toQtFileFilter(const QString &filter);
