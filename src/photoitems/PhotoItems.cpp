#include "photoitems/PhotoItems.h"

#include "data/Database.h"
#include "items/ItemAttachments.h"
#include "items/ItemStatus.h"
#include "program/Household.h"
#include "program/ItemFiles.h"

#include <sqlite3.h>

std::vector<qint64> addPhotoItems(Household &household, const std::vector<PhotoItem> &items)
{
    Database &db = household.inventory();
    ItemAttachments attachments(household);
    ItemStatus status(db);
    std::vector<qint64> keys;
    keys.reserve(items.size());
    try {
        Transaction transaction(db);
        for (const PhotoItem &item : items) {
            const QVariant value = item.value ? QVariant::fromValue(*item.value) : QVariant();
            // One of each, as the item form stores a new item: its total is its value.
            db.execute(QStringLiteral("insert into items (Item, estvalue, quantity, totvalue, receipt, catid, locid) "
                                      "values (?, ?, 1, ?, 0, ?, ?)"),
                       {item.description, value, value, item.catid, item.locid});
            keys.push_back(sqlite3_last_insert_rowid(db.handle()));
            if (!item.value)
                status.setToComplete(keys.back(), true);
            for (const QString &photo : item.photos)
                attachments.attach(keys.back(), AttachedKind::Photo, photo);
        }
        transaction.commit();
    } catch (...) {
        // The rows went with the transaction; the files written for them go too.
        for (const qint64 key : keys)
            household.itemFiles().removeFiles(key);
        throw;
    }
    return keys;
}
