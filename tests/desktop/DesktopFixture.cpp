#include "DesktopFixture.h"

#include "InventoryRows.h"
#include "data/Inventory.h"
#include "dates/DateOrder.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <QTest>
#include <QWidget>

void DesktopTest::TearDown()
{
    window.reset();
    household.closeInventory();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    DateOrder.clear();
    DateSep.clear();
}

TestDataFolder &DesktopTest::folder()
{
    if (!m_folder)
        m_folder = std::make_unique<TestDataFolder>();
    return *m_folder;
}

qint64 DesktopTest::addItem(const QVariantMap &columns)
{
    return insertItem(folder().file(InventoryFileName), columns);
}

qint64 DesktopTest::addCode(const QString &table, const QString &description)
{
    return insertCode(folder().file(InventoryFileName), table, description);
}

bool waitUntilActive(QWidget *window)
{
    window->raise();
    window->activateWindow();
    // The display's focus reaches the window before the application makes
    // it the active one.
    return QTest::qWaitFor([window] { return window->isActiveWindow(); }, 5000);
}

frmMain &DesktopTest::start()
{
    window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder().path()});
    window->Form_Load();
    window->show();
    EXPECT_TRUE(waitUntilActive(window.get())) << "the display did not activate the main window";
    return *window;
}

QVariantMap DesktopTest::stored(qint64 iteid)
{
    return storedItem(folder().file(InventoryFileName), iteid);
}

int DesktopTest::storedCount(const QString &table)
{
    return Database::open(folder().file(InventoryFileName))
        ->scalar(QStringLiteral("select count(*) from ") + table)
        .toInt();
}

QString DesktopTest::storedText(const QString &sql)
{
    return Database::open(folder().file(InventoryFileName))->scalar(sql).toString();
}

QWidget *DesktopTest::focus()
{
    return QApplication::focusWidget();
}

void DesktopTest::press(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(focus(), Qt::Key(key), modifiers);
}

void DesktopTest::alt(char letter)
{
    QTest::keyClick(focus(), Qt::Key(Qt::Key_A + (letter - 'a')), Qt::AltModifier);
}

void DesktopTest::type(const QString &text)
{
    QTest::keyClicks(focus(), text);
}

void DesktopTest::click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void DesktopTest::clickAndType(QWidget *box, const QString &text)
{
    click(box);
    type(text);
}

QStringList DesktopTest::shownMessages() const
{
    QStringList out;
    for (const ScriptedPrompts::Call &call : prompts.messages())
        out << call.title + QLatin1Char('|') + call.text;
    return out;
}
