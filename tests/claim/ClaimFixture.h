#pragma once

#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "program/Household.h"

#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

// The demo household in a fresh data folder, open as the program has it;
// scripted prompts.
class ClaimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString folderPath() const { return m_folder->path(); }
    // Adds an item through a connection of the test's own; its key.
    qint64 addItem(const QVariantMap &columns);
    // A JPEG of width x height pixels, a blue top-left corner on green.
    static QByteArray photo(int width, int height);
    void putFile(const QString &path, const QByteArray &bytes);

    ScriptedPrompts prompts;
    std::unique_ptr<TestDataFolder> m_folder;
    Household household;
};
