#include "DesktopFixture.h"

#include "app/Globals.h"
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
    resetGlobals();
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
    auto db = Database::open(folder().file(InventoryFileName));
    QStringList placeholders;
    for (int i = 1; i <= columns.size(); ++i)
        placeholders << QStringLiteral("?%1").arg(i);
    db->execute(QStringLiteral("insert into items (%1) values (%2)")
                    .arg(columns.keys().join(QLatin1Char(',')), placeholders.join(QLatin1Char(','))),
                columns.values());
    return db->scalar(QStringLiteral("select max(iteid) from items")).toLongLong();
}

qint64 DesktopTest::addCode(const QString &table, const QString &description)
{
    auto db = Database::open(folder().file(InventoryFileName));
    const QString column = table == QLatin1String("categories") ? QStringLiteral("catDesc") : QStringLiteral("locDesc");
    db->execute(QStringLiteral("insert into %1 (%2) values (?)").arg(table, column), {description});
    return db->scalar(QStringLiteral("select max(rowid) from ") + table).toLongLong();
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
    window = std::make_unique<frmMain>(QStringList{QStringLiteral("-d"), folder().path()});
    window->Form_Load();
    window->show();
    EXPECT_TRUE(waitUntilActive(window.get())) << "the display did not activate the main window";
    return *window;
}

QVariantMap DesktopTest::stored(qint64 iteid)
{
    auto db = Database::open(folder().file(InventoryFileName));
    auto row = db->openRecordset(QStringLiteral("select * from items where iteid = ?"), RecordsetType::Snapshot,
                                 {iteid});
    QVariantMap out;
    if (row->recordCount() > 0)
        for (const QString &column : row->columnNames())
            out.insert(column, row->value(column));
    return out;
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
