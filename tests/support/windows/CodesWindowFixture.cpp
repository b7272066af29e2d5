#include "CodesWindowFixture.h"

#include "data/Inventory.h"
#include "records/RecordEditor.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QString tableOf(qint16 kind)
{
    return kind == 1 ? QStringLiteral("categories") : QStringLiteral("locations");
}

QString descColumnOf(qint16 kind)
{
    return kind == 1 ? QStringLiteral("catDesc") : QStringLiteral("locDesc");
}

} // namespace

void CodesWindowTest::TearDown()
{
    delete frmCodesMaint::instance();
    processDeferredDeletes();
    household.closeInventory();
}

void CodesWindowTest::startOver()
{
    TearDown();
    m_folder.reset();
    prompts.clear();
}

TestDataFolder &CodesWindowTest::folder()
{
    if (!m_folder)
        m_folder = std::make_unique<TestDataFolder>();
    return *m_folder;
}

void CodesWindowTest::execute(const QString &sql)
{
    Database::open(folder().file(InventoryFileName))->execute(sql);
}

qint64 CodesWindowTest::addCode(qint16 kind, const QString &description)
{
    auto db = Database::open(folder().file(InventoryFileName));
    db->execute(QStringLiteral("insert into %1 (%2) values (?)").arg(tableOf(kind), descColumnOf(kind)), {description});
    return db->scalar(QStringLiteral("select max(rowid) from ") + tableOf(kind)).toLongLong();
}

void CodesWindowTest::addItemUsing(qint16 kind, qint64 code)
{
    Database::open(folder().file(InventoryFileName))
        ->execute(QStringLiteral("insert into items (Item, %1) values ('uses the code', ?)")
                      .arg(kind == 1 ? QStringLiteral("catid") : QStringLiteral("locid")),
                  {code});
}

frmCodesMaint &CodesWindowTest::open(qint16 kind)
{
    if (!household.dbInventory()) {
        household.setDataFolder(folder().path());
        household.openInventory();
    }
    return *frmCodesMaint::showCodesMaint(household, nullptr, kind);
}

QStringList CodesWindowTest::stored(qint16 kind)
{
    auto db = Database::open(folder().file(InventoryFileName));
    auto rows =
        db->openRecordset(QStringLiteral("select %1 from %2 order by rowid").arg(descColumnOf(kind), tableOf(kind)),
                          RecordsetType::Snapshot);
    QStringList out;
    for (; !rows->eof(); rows->moveNext())
        out << rows->value(0).toString();
    return out;
}

QString CodesWindowTest::stateOf(const frmCodesMaint &w)
{
    // First, Previous, Next, Last, OK, Find, Delete, Add New, Cancel, Update.
    QString shown;
    for (const QWidget *button : {w.cmdFirst, w.cmdPrevious, w.cmdNext, w.cmdLast, w.cmdOK, w.cmdFind, w.cmdDelete,
                                  w.cmdAddNew, w.cmdCancel, w.cmdUpdate})
        shown += button->isHidden() ? QLatin1Char('-') : QLatin1Char('+');
    const QString &addNew = w.cmdAddNew->text();
    const bool boxOn = w.txtDesc->isEnabled();
    const bool changing = w.editor().changing();
    const bool adding = w.editor().adding();
    if (shown == QLatin1String("++++++++--") && !changing && !adding && addNew == RecordEditor::AddNewCaption)
        return boxOn ? QStringLiteral("Browse") : QStringLiteral("Empty");
    if (shown == QLatin1String("--------++") && boxOn && changing && !adding)
        return QStringLiteral("Editing");
    if (shown == QLatin1String("-------+++") && boxOn && adding && !changing
        && addNew == RecordEditor::AddAnotherCaption)
        return QStringLiteral("Adding");
    return QStringLiteral("inconsistent: buttons %1 Changing=%2 Adding=%3 caption=%4 boxOn=%5")
        .arg(shown)
        .arg(changing)
        .arg(adding)
        .arg(addNew)
        .arg(boxOn);
}

QStringList CodesWindowTest::shownMessages() const
{
    QStringList out;
    for (const ScriptedPrompts::Call &call : prompts.messages())
        out << call.title + QLatin1Char('|') + call.text;
    return out;
}

void typeDescription(frmCodesMaint &w, const QString &text)
{
    w.txtDesc->selectAll();
    if (text.isEmpty())
        QTest::keyClick(w.txtDesc, Qt::Key_Backspace);
    else
        QTest::keyClicks(w.txtDesc, text);
}

QStringList walk(frmCodesMaint &w)
{
    QStringList order;
    w.cmdFirst_Click();
    if (!w.rsCodes)
        return order;
    for (int i = 0; i < w.rsCodes->recordCount(); ++i) {
        if (i > 0)
            w.cmdNext_Click();
        order << w.txtDesc->text();
    }
    return order;
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
