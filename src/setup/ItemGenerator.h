#pragma once

#include "setup/ItemRow.h"

#include <QRandomGenerator>
#include <iterator>

// Made-up but realistic items for large test inventories: the same seed
// always gives the same sequence of rows, on every machine. Rows refer to
// the category and location ids of HouseholdCodes. About one in three has
// no serial number (an empty text or Null); a few have no category, no
// location, no purchase date or Null amounts.
class ItemGenerator {
public:
    explicit ItemGenerator(quint32 seed);
    ItemRow next();

private:
    quint32 below(quint32 bound) { return m_random.bounded(bound); }
    bool chance(quint32 percent) { return below(100) < percent; }
    template <class List>
    const char *pick(const List &list)
    {
        return list[below(quint32(std::size(list)))];
    }

    QString serialNumber();
    QString modelNumber();

    QRandomGenerator m_random;
};
