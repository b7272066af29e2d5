#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {
Prompts *g_installedBefore = nullptr;

std::optional<QString> take(std::deque<std::optional<QString>> &queue)
{
    std::optional<QString> front = std::move(queue.front());
    queue.pop_front();
    return front;
}
} // namespace

ScriptedPrompts::ScriptedPrompts()
{
    // Remember what was installed (tests may nest) and take over.
    m_previous = g_installedBefore;
    g_installedBefore = this;
    setPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted answer(s) were never asked for";
    EXPECT_TRUE(m_texts.empty()) << m_texts.size() << " scripted input text(s) were never asked for";
    EXPECT_TRUE(m_files.empty()) << m_files.size() << " scripted file name(s) were never asked for";
    EXPECT_TRUE(m_fileLists.empty()) << m_fileLists.size() << " scripted choice(s) of files were never asked for";
    EXPECT_EQ(m_busy, 0) << "the hourglass was left on";
    g_installedBefore = m_previous;
    setPrompts(m_previous);
}

std::vector<ScriptedPrompts::Call> ScriptedPrompts::messages() const
{
    std::vector<Call> out;
    for (const Call &call : m_calls)
        if (call.kind == Kind::Message)
            out.push_back(call);
    return out;
}

int ScriptedPrompts::count(Kind kind) const
{
    int n = 0;
    for (const Call &call : m_calls)
        n += call.kind == kind;
    return n;
}

Prompts::Answer ScriptedPrompts::message(const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    m_calls.push_back({Kind::Message, text, title, buttons, icon, {}, 0});
    if (m_answers.empty()) {
        if (buttons != Buttons::Ok)
            ADD_FAILURE() << "unscripted question: " << title.toStdString() << ": " << text.toStdString();
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
    const auto handler = std::move(m_answers.front());
    m_answers.pop_front();
    return handler(m_calls.back());
}

std::optional<QString> ScriptedPrompts::inputBox(const QString &prompt, const QString &title, const QString &)
{
    m_calls.push_back({Kind::Input, prompt, title, Buttons::OkCancel, Icon::None, {}, 0});
    if (m_texts.empty()) {
        ADD_FAILURE() << "unscripted input box: " << prompt.toStdString();
        return std::nullopt;
    }
    return take(m_texts);
}

std::optional<QString> ScriptedPrompts::openFileName(const FileDialog &dialog)
{
    m_calls.push_back({Kind::OpenFile, dialog.title, dialog.title, Buttons::OkCancel, Icon::None, dialog, 0});
    if (m_files.empty()) {
        ADD_FAILURE() << "unscripted open dialog: " << dialog.title.toStdString();
        return std::nullopt;
    }
    return take(m_files);
}

QStringList ScriptedPrompts::openFileNames(const FileDialog &dialog)
{
    if (m_fileLists.empty())
        return Prompts::openFileNames(dialog);
    m_calls.push_back({Kind::OpenFile, dialog.title, dialog.title, Buttons::OkCancel, Icon::None, dialog, 0});
    QStringList chosen = std::move(m_fileLists.front());
    m_fileLists.pop_front();
    return chosen;
}

std::optional<QString> ScriptedPrompts::folderName(const FileDialog &dialog)
{
    m_calls.push_back({Kind::OpenFolder, dialog.title, dialog.title, Buttons::OkCancel, Icon::None, dialog, 0});
    if (m_files.empty()) {
        ADD_FAILURE() << "unscripted folder dialog: " << dialog.title.toStdString();
        return std::nullopt;
    }
    return take(m_files);
}

std::optional<QString> ScriptedPrompts::saveFileName(const FileDialog &dialog)
{
    m_calls.push_back({Kind::SaveFile, dialog.title, dialog.title, Buttons::OkCancel, Icon::None, dialog, 0});
    if (m_files.empty()) {
        ADD_FAILURE() << "unscripted save dialog: " << dialog.title.toStdString();
        return std::nullopt;
    }
    return take(m_files);
}

void ScriptedPrompts::beep()
{
    m_calls.push_back({Kind::Beep, {}, {}, Buttons::Ok, Icon::None, {}, 0});
}

void ScriptedPrompts::openWebAddress(const QString &address)
{
    m_calls.push_back({Kind::OpenWeb, address, {}, Buttons::Ok, Icon::None, {}, 0});
}

void ScriptedPrompts::setBusy(bool busy)
{
    m_busy += busy ? 1 : -1;
}

void ScriptedPrompts::endProgram(int exitCode)
{
    m_calls.push_back({Kind::End, {}, {}, Buttons::Ok, Icon::None, {}, exitCode});
    throw ProgramEnded{exitCode};
}
