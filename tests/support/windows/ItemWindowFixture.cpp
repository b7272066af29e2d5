#include "ItemWindowFixture.h"

#include "InventoryRows.h"
#include "data/Inventory.h"
#include "dates/DateOrder.h"
#include "records/RecordEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

void ItemWindowTest::TearDown()
{
    window.reset();
    household.closeInventory();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    DateOrder.clear();
    DateSep.clear();
}

TestDataFolder &ItemWindowTest::folder()
{
    if (!m_folder)
        m_folder = std::make_unique<TestDataFolder>();
    return *m_folder;
}

void ItemWindowTest::execute(const QString &sql)
{
    Database::open(folder().file(InventoryFileName))->execute(sql);
}

qint64 ItemWindowTest::addItem(const QVariantMap &columns)
{
    return insertItem(folder().file(InventoryFileName), columns);
}

qint64 ItemWindowTest::addCode(const QString &table, const QString &description)
{
    return insertCode(folder().file(InventoryFileName), table, description);
}

frmMain &ItemWindowTest::start()
{
    window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder().path()});
    window->Form_Load();
    window->show();
    QApplication::setActiveWindow(window.get());
    return *window;
}

QVariantMap ItemWindowTest::stored(qint64 iteid)
{
    return storedItem(folder().file(InventoryFileName), iteid);
}

int ItemWindowTest::storedCount()
{
    return Database::open(folder().file(InventoryFileName))
        ->scalar(QStringLiteral("select count(*) from items"))
        .toInt();
}

QString ItemWindowTest::stateOf(const frmMain &w)
{
    auto shown = [](const QWidget *button) { return !button->isHidden(); };
    const bool browseSet = shown(w.cmdFirst) && shown(w.cmdPrevious) && shown(w.cmdNext) && shown(w.cmdLast)
        && shown(w.cmdFind) && shown(w.cmdDelete) && !shown(w.cmdCancel) && !shown(w.cmdUpdate);
    const bool editSet = !shown(w.cmdFirst) && !shown(w.cmdPrevious) && !shown(w.cmdNext) && !shown(w.cmdLast)
        && !shown(w.cmdFind) && !shown(w.cmdDelete) && shown(w.cmdCancel) && shown(w.cmdUpdate);
    const QList<QWidget *> fields{w.txtItem,       w.txtManufact, w.txtModel,    w.txtSerNo,    w.dcPurchDate,
                                  w.txtPurchPrice, w.txtEstValue, w.txtQuantity, w.txtTotValue, w.chkReceipt,
                                  w.txtWherePurch, w.txtMisc1,    w.txtNotes,    w.cmbCat,      w.cmbLoc};
    const bool allOn = std::all_of(fields.begin(), fields.end(), [](QWidget *f) { return f->isEnabled(); });
    const bool allOff = std::none_of(fields.begin(), fields.end(), [](QWidget *f) { return f->isEnabled(); });
    const QString addNew = shown(w.cmdAddNew) ? w.cmdAddNew->text() : QStringLiteral("hidden");
    const bool pictureShown = shown(w.cmdPicture);
    const bool changing = w.editor().changing();
    const bool adding = w.editor().adding();

    if (pictureShown && !changing && !adding && browseSet && addNew == QLatin1String("&Add New")) {
        if (allOff)
            return QStringLiteral("Empty");
        if (allOn)
            return QStringLiteral("Browsing");
    }
    if (pictureShown && allOn && editSet) {
        if (changing && !adding && addNew == QLatin1String("hidden"))
            return QStringLiteral("Editing");
        if (adding && !changing && addNew == QLatin1String("&Add Another"))
            return QStringLiteral("Adding");
    }
    return QStringLiteral("inconsistent: Changing=%1 Adding=%2 browseSet=%3 editSet=%4 addNew=%5 on=%6 off=%7")
        .arg(changing)
        .arg(adding)
        .arg(browseSet)
        .arg(editSet)
        .arg(addNew)
        .arg(allOn)
        .arg(allOff);
}

QStringList shownMessages(const ScriptedPrompts &prompts)
{
    QStringList out;
    for (const ScriptedPrompts::Call &call : prompts.messages())
        out << call.title + QLatin1Char('|') + call.text + QLatin1Char('|')
                + (call.icon == Prompts::Icon::Critical   ? QStringLiteral("stop")
                       : call.icon == Prompts::Icon::None ? QStringLiteral("none")
                                                          : QStringLiteral("other"))
                + (call.buttons == Prompts::Buttons::Ok          ? QStringLiteral("|ok")
                       : call.buttons == Prompts::Buttons::YesNo ? QStringLiteral("|yesno")
                                                                 : QStringLiteral("|other"));
    return out;
}
