#include "DesignerFixture.h"

#include "data/Database.h"
#include "data/Inventory.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QListWidget>
#include <QLocale>

static QStringList captions(const QListWidget *list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

void DesignerTest::SetUp()
{
    m_folder = std::make_unique<TestDataFolder>();
    household.setDataFolder(m_folder->path());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void DesignerTest::TearDown()
{
    delete frmRptSpec::instance();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    household.closeInventory();
}

frmRptSpec &DesignerTest::open()
{
    w = frmRptSpec::showDesigner(household, nullptr);
    if (!w)
        throw std::runtime_error("the designer did not open");
    return *w;
}

void DesignerTest::useDemoInventory()
{
    SetupOptions demo;
    demo.demo = true;
    m_folder = std::make_unique<TestDataFolder>(demo);
    household.closeInventory();
    household.setDataFolder(m_folder->path());
    household.openInventory();
}

void DesignerTest::executeOnCatalogue(const QString &sql)
{
    Database::open(m_folder->file(CatalogueFileName))->execute(sql);
}

void DesignerTest::add(const QString &caption)
{
    const QList<QListWidgetItem *> found = w->List1->findItems(caption, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << caption.toStdString();
    w->List1->setCurrentItem(found.first());
    w->cmdAdd_Click();
}

void DesignerTest::choose(const QString &caption)
{
    const QList<QListWidgetItem *> found = w->List2->findItems(caption, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << caption.toStdString();
    w->List2->setCurrentItem(found.first());
    w->List2_Click();
}

QStringList DesignerTest::available() const
{
    return captions(w->List1);
}

QStringList DesignerTest::chosen() const
{
    return captions(w->List2);
}

QStringList DesignerTest::shownMessages() const
{
    QStringList out;
    for (const ScriptedPrompts::Call &call : prompts.messages())
        out << call.title + QLatin1Char('|') + call.text;
    return out;
}

int specIdNamed(const frmRptSpec &window, const QString &caption)
{
    for (const CatalogueField &field : window.rsFields.fields())
        if (field.desc == caption)
            return field.specid;
    return 0;
}

void leave(QWidget *control)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(control, &out);
}
