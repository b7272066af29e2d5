#include "codes/CodeList.h"

namespace {

const CodeList Categories{
    1,
    QStringLiteral("select catid as id, catdesc as descr from categories order by fold(catdesc), catid"),
    QStringLiteral("select exists (select 1 from items where catid = ?1)"),
    QStringLiteral("delete from categories where catid = ?1"),
    QStringLiteral("Maintain Categories"),
    QStringLiteral("Category Description"),
    31,
    QStringLiteral("You must enter a category name (or press Cancel)"),
    QStringLiteral("Are you sure that you want to delete this category description?"),
    QStringLiteral("Delete Category"),
    QStringLiteral("This category is assigned to an inventory item and cannot be deleted."),
};

const CodeList Locations{
    2,
    QStringLiteral("select locid as id, locdesc as descr from locations order by fold(locdesc), locid"),
    QStringLiteral("select exists (select 1 from items where locid = ?1)"),
    QStringLiteral("delete from locations where locid = ?1"),
    QStringLiteral("Maintain Locations"),
    QStringLiteral("Location Description"),
    32,
    QStringLiteral("You must enter a location name (or press Cancel)"),
    QStringLiteral("Are you sure that you want to delete this location?"),
    QStringLiteral("Delete Location"),
    QStringLiteral("This location is assigned to an inventory item and cannot be deleted."),
};

} // namespace

const CodeList *codeListFor(qint16 kind)
{
    switch (kind) {
    case 1:
        return &Categories;
    case 2:
        return &Locations;
    default:
        return nullptr;
    }
}
