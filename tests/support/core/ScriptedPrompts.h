#pragma once

#include "QtPrinters.h"
#include "program/Prompts.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Thrown by ScriptedPrompts::endProgram, so the code after "end the program"
// never runs in a test.
struct ProgramEnded {
    int exitCode;
};

// Prompts for tests: installed while it lives, records every call, and
// answers from a script. A prompt nobody scripted fails the test and gets
// the harmless answer (Ok / No / Cancel / cancelled dialog).
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Beep, OpenWeb, End, OpenFolder };
    struct Call {
        Kind kind;
        QString text; // message text, input prompt, dialog title, web address
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        FileDialog dialog;
        int exitCode = 0;
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers, taken in order by the prompts that need one.
    void answer(Answer a)
    {
        m_answers.push_back([a](const Call &) { return a; });
    }
    // An answer worked out when the question comes (e.g. releasing a lock first).
    void answerWith(std::function<Answer(const Call &)> handler) { m_answers.push_back(std::move(handler)); }
    void answerText(std::optional<QString> text) { m_texts.push_back(std::move(text)); }
    // The next file or folder chosen in a dialog (open, save or folder).
    void answerFile(std::optional<QString> path) { m_files.push_back(std::move(path)); }
    // Several files chosen at once in the next dialog that takes several.
    void answerFiles(QStringList paths) { m_fileLists.push_back(std::move(paths)); }

    const std::vector<Call> &calls() const { return m_calls; }
    std::vector<Call> messages() const;
    int count(Kind kind) const;
    int busyDepth() const { return m_busy; }
    void clear() { m_calls.clear(); }

    Answer message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    QStringList openFileNames(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    std::optional<QString> folderName(const FileDialog &dialog) override;
    void beep() override;
    void openWebAddress(const QString &address) override;
    void setBusy(bool busy) override;
    [[noreturn]] void endProgram(int exitCode) override;

private:
    Prompts *m_previous = nullptr;
    std::vector<Call> m_calls;
    std::deque<std::function<Answer(const Call &)>> m_answers;
    std::deque<std::optional<QString>> m_texts;
    std::deque<std::optional<QString>> m_files;
    std::deque<QStringList> m_fileLists;
    int m_busy = 0;
};
