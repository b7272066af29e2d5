#pragma once

#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "app/frmMain.h"
#include "program/Household.h"

#include <QString>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

class QWidget;

// The main window on a fresh data folder, shown and active on the display,
// with scripted prompts (a message is recorded, not shown). The helpers act
// as a person does: keys go to the widget that has the focus, clicks land
// on a widget's middle, and the application moves the focus as it would.
class DesktopTest : public ::testing::Test {
protected:
    void TearDown() override;

    TestDataFolder &folder();
    qint64 addItem(const QVariantMap &columns);
    qint64 addCode(const QString &table, const QString &description);
    // Loads and shows the main window, and waits until it is active.
    frmMain &start();
    // The stored row as the program reads it (Money, DateValue, int, Null).
    QVariantMap stored(qint64 iteid);
    int storedCount(const QString &table = QStringLiteral("items"));
    QString storedText(const QString &sql);

    // A key (with modifiers) pressed where the focus is.
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Alt and a letter: a button's access key.
    static void alt(char letter);
    // Text typed where the focus is.
    static void type(const QString &text);
    // A click of the left button on the middle of widget.
    static void click(QWidget *widget);
    // Clicks into box and types text over what entering it selected.
    static void clickAndType(QWidget *box, const QString &text);
    static QWidget *focus();

    // The messages shown, as "title|text".
    QStringList shownMessages() const;

    ScriptedPrompts prompts;
    std::unique_ptr<TestDataFolder> m_folder;
    Household household;
    std::unique_ptr<frmMain> window;
};

// Waits (processing events, without sleeping blindly) until window is the
// active window; false when the display never makes it so.
bool waitUntilActive(QWidget *window);
