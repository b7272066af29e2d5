#pragma once

#include "data/Money.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

class Household;

// An item made from photos: what the user typed for it and its photos, the
// first of which becomes its picture.
struct PhotoItem {
    QString description;
    QVariant catid; // Null for none
    QVariant locid; // Null for none
    std::optional<Money> value;
    QStringList photos;
};

// Adds the items with their photos (copied in, keeping their bytes), those
// without a value marked to complete (ItemStatus), all of them or none:
// when anything fails, no row and no file of them stays. Returns their
// keys in the order given. Throws DbError for the household's handler.
std::vector<qint64> addPhotoItems(Household &household, const std::vector<PhotoItem> &items);
