#pragma once

#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "designer/frmRptSpec.h"
#include "program/Household.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// The designer on a fresh data folder (the shipped catalogue: fifteen item
// fields), opened as the Custom Reports menu opens it, with scripted prompts.
class DesignerTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    frmRptSpec &open();
    // Starts on a folder holding the demo household instead, with the
    // inventory open as the main window opens it.
    void useDemoInventory();
    // Runs sql on the folder's catalogue through a connection of the test's own.
    void executeOnCatalogue(const QString &sql);
    // Selects the entry with that caption in "Available Fields" and adds it.
    void add(const QString &caption);
    // Selects the entry with that caption in "Fields to Report".
    void choose(const QString &caption);
    QStringList available() const;
    QStringList chosen() const;
    // The message boxes shown, as "title|text".
    QStringList shownMessages() const;
    QString path(const QString &name) const { return m_folder->file(name); }

    ScriptedPrompts prompts;
    std::unique_ptr<TestDataFolder> m_folder;
    Household household;
    frmRptSpec *w = nullptr;
};

// Sends the focus-out event that leaving the control gives.
void leave(QWidget *control);
// The specid of the shipped catalogue's field with that caption.
int specIdNamed(const frmRptSpec &window, const QString &caption);
