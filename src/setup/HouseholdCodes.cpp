#include "setup/HouseholdCodes.h"

#include "data/Database.h"

#include <QString>

void insertHouseholdCodes(Database &db)
{
    // Explicit ids keep the Category and Location enums true whatever the
    // tables' counters say.
    for (std::size_t i = 0; i < householdCategories.size(); ++i)
        db.execute(QStringLiteral("insert into categories (catid, catDesc) values (?, ?)"),
                   {qlonglong(i + 1), QString::fromUtf8(householdCategories[i])});
    for (std::size_t i = 0; i < householdLocations.size(); ++i)
        db.execute(QStringLiteral("insert into locations (locid, locDesc) values (?, ?)"),
                   {qlonglong(i + 1), QString::fromUtf8(householdLocations[i])});
}
