// Showing an item chosen elsewhere (the item list, an import) in the record
// form, found by its key.
#include "app/frmMain.h"
#include "data/Inventory.h"
#include "data/Recordset.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"

void frmMain::reopenItems(qint64 key)
{
    m_household.trapDb([this] { m_household.openItems(); });
    m_household.trapDb([this, key] {
        Recordset &items = m_household.items();
        if (items.recordCount() == 0)
            return;
        items.findFirst(QStringLiteral("iteid = ?"), {qlonglong(key)});
        if (items.noMatch())
            items.moveFirst();
    });
}

bool frmMain::ShowItemByKey(qint64 key)
{
    if (editor().changing() || editor().adding()) {
        prompts().message(QStringLiteral("The item in the main window is being changed. Update or cancel the "
                                         "change first, then show another item."),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, QStringLiteral("Item List"));
        return false;
    }
    bool stored = false;
    bool found = false;
    m_household.trapDb([&] {
        stored = m_household.dbInventory()
            && m_household.dbInventory()
                    ->scalar(QStringLiteral("select count(*) from items where iteid = ?"), {qlonglong(key)})
                    .toLongLong()
                > 0;
        if (!stored)
            return;
        m_household.items().findFirst(QStringLiteral("iteid = ?"), {qlonglong(key)});
        found = !m_household.items().noMatch();
    });
    if (!stored) {
        prompts().message(QStringLiteral("That item is no longer in the inventory."), Prompts::Buttons::Ok,
                          Prompts::Icon::Exclamation, QStringLiteral("Item List"));
        return false;
    }
    if (!found) {
        // Stored since the main window read its items (by another program):
        // the items are read again, which also puts them in description order.
        reopenItems(key);
        m_household.trapDb([&] {
            found = m_household.items().recordCount() > 0
                && m_household.items().value(QStringLiteral("iteid")).toLongLong() == key;
        });
        if (!found)
            return false;
    }
    LoadItem();
    return true;
}

void frmMain::ShowImportedItems(qint64 key)
{
    const bool wasEmpty = !m_household.rsItems() || m_household.rsItems()->recordCount() == 0;
    reopenItems(key);
    // The import may have added categories and locations.
    CatListChanged = true;
    LocListChanged = true;
    bool any = false;
    m_household.trapDb([&] { any = m_household.items().recordCount() > 0; });
    if (!any)
        return;
    if (wasEmpty)
        EnableFields();
    Form_Activate();
    LoadItem();
}

frmMain::ShownItem frmMain::shownItem(bool showsRecord)
{
    ShownItem shown;
    if (!showsRecord)
        return shown;
    m_household.trapDb([&] {
        const Recordset *rsItems = m_household.rsItems();
        if (rsItems && rsItems->isOpen() && rsItems->recordCount() > 0 && !rsItems->bof() && !rsItems->eof()) {
            shown.iteid = m_household.items().value(QStringLiteral("iteid")).toLongLong();
            shown.description = m_household.items().value(QStringLiteral("Item")).toString();
        }
    });
    return shown;
}
