// Showing an item chosen elsewhere (the item list, an import) in the record
// form, found by its key.
#include "app/ItemsRecordset.h"
#include "app/frmMain.h"
#include "data/Inventory.h"
#include "program/Globals.h"
#include "program/HandleDbError.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"

void frmMain::reopenItems(qint64 key)
{
    trapDb([] { rsItems = dbInventory->openRecordset(ItemsStatement, RecordsetType::Dynaset); });
    trapDb([key] {
        if (items().recordCount() == 0)
            return;
        items().findFirst(QStringLiteral("iteid = ?"), {qlonglong(key)});
        if (items().noMatch())
            items().moveFirst();
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
    trapDb([&] {
        stored = dbInventory && dbInventory->scalar(QStringLiteral("select count(*) from items where iteid = ?"),
                                                    {qlonglong(key)}).toLongLong() > 0;
        if (!stored)
            return;
        items().findFirst(QStringLiteral("iteid = ?"), {qlonglong(key)});
        found = !items().noMatch();
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
        trapDb([&] { found = items().recordCount() > 0 && items().value(QStringLiteral("iteid")).toLongLong() == key; });
        if (!found)
            return false;
    }
    LoadItem();
    return true;
}

void frmMain::ShowImportedItems(qint64 key)
{
    const bool wasEmpty = !rsItems || rsItems->recordCount() == 0;
    reopenItems(key);
    // The import may have added categories and locations.
    CatListChanged = true;
    LocListChanged = true;
    bool any = false;
    trapDb([&] { any = items().recordCount() > 0; });
    if (!any)
        return;
    if (wasEmpty)
        EnableFields();
    Form_Activate();
    LoadItem();
}
