#pragma once

#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "codes/window/frmCodesMaint.h"
#include "data/Recordset.h"
#include "program/Household.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// The maintenance window on a fresh, empty data folder, opened as the
// Maintain menu opens it, with scripted prompts. Codes and items are put in
// through a connection of the test's own. Kind 1 is categories, 2 locations.
class CodesWindowTest : public ::testing::Test {
protected:
    void TearDown() override;
    // Closes everything and starts over on a new, empty data folder.
    void startOver();

    TestDataFolder &folder();
    qint64 addCode(qint16 kind, const QString &description); // its key
    void addItemUsing(qint16 kind, qint64 code);
    void execute(const QString &sql);
    // Opens the household's inventory (once) and the window for that kind.
    frmCodesMaint &open(qint16 kind);
    // The stored descriptions of a list, in key order.
    QStringList stored(qint16 kind);
    // Browse, Empty (Browse with the box off), Editing or Adding when flags,
    // button set, Add New caption and box agree with exactly that state.
    static QString stateOf(const frmCodesMaint &w);
    // The message boxes shown, as "title|text".
    QStringList shownMessages() const;

    ScriptedPrompts prompts;
    std::unique_ptr<TestDataFolder> m_folder;
    Household household;
};

// Types into the description box as the user does, replacing its text.
void typeDescription(frmCodesMaint &w, const QString &text);
// The descriptions from the first code on, as Next reaches them.
QStringList walk(frmCodesMaint &w);
// Lets Qt delete the windows closed since (they delete themselves on close).
void processDeferredDeletes();
