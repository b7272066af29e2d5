#pragma once

#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "app/frmMain.h"
#include "program/Household.h"

#include <QString>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

// The main window on a fresh data folder, loaded and shown as the program
// starts it, with scripted prompts. Rows are put into the folder's database
// before start() through a connection of the test's own.
class ItemWindowTest : public ::testing::Test {
protected:
    void TearDown() override;

    // An empty inventory; add rows with addItem/addCode before start().
    TestDataFolder &folder();
    qint64 addItem(const QVariantMap &columns);
    qint64 addCode(const QString &table, const QString &description);
    // Loads, shows and activates the main window (activation fills the lists).
    frmMain &start();
    // The stored row as the program reads it (Money, DateValue, int, bool, Null).
    QVariantMap stored(qint64 iteid);
    int storedCount();
    // Runs SQL on the database through another connection.
    void execute(const QString &sql);

    // Browsing, Editing, Adding or Empty when flags, buttons, the Add New
    // caption and the fields agree with exactly that state; else a
    // description of what was seen.
    static QString stateOf(const frmMain &w);

    ScriptedPrompts prompts;
    std::unique_ptr<TestDataFolder> m_folder;
    // Declared before the window, which goes first.
    Household household;
    std::unique_ptr<frmMain> window;
};

// The message boxes shown, as "title|text|icon|buttons" for compact comparison.
QStringList shownMessages(const ScriptedPrompts &prompts);
