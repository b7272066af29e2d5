#include "claim/ClaimItems.h"
#include "items/ItemAttachments.h"
#include "program/Household.h"
#include "program/ItemFiles.h"

void addClaimEvidence(Household &household, QList<ClaimItem> &items)
{
    // One listing of the folder and one reading of the table serve every
    // item, however many there are.
    const ItemFiles &files = household.itemFiles();
    const QHash<qint64, QString> pictures = files.pictures();
    const QHash<qint64, QList<AttachedFile>> further = ItemAttachments(household).all();
    for (ClaimItem &item : items) {
        item.picturePath = pictures.value(item.iteid);
        item.photoPaths.clear();
        item.documents.clear();
        if (!item.picturePath.isEmpty())
            item.photoPaths << item.picturePath;
        for (const AttachedFile &file : further.value(item.iteid)) {
            if (file.isPhoto())
                item.photoPaths << files.folder() + file.fileName;
            else
                item.documents << ClaimAttachment{file.kind, file.title, file.note, files.folder() + file.fileName};
        }
    }
}
