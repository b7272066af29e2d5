#include "setup/DemoInventory.h"

const std::vector<std::pair<QString, DemoPicture>> &demoPictures()
{
    static const std::vector<std::pair<QString, DemoPicture>> pictures = {
        {QStringLiteral("55-inch 4K LED Television"), DemoPicture::Television},
        {QStringLiteral("Laptop Computer"), DemoPicture::Laptop},
        {QStringLiteral("Digital SLR Camera"), DemoPicture::Camera},
        {QStringLiteral("French Door Refrigerator"), DemoPicture::Refrigerator},
        {QStringLiteral("Leather Sofa"), DemoPicture::Sofa},
        {QStringLiteral("Diamond Engagement Ring"), DemoPicture::Ring},
        {QStringLiteral("Men's Automatic Watch"), DemoPicture::Watch},
        {QStringLiteral("Cordless Drill/Driver"), DemoPicture::Drill},
        {QStringLiteral("Oil Painting, Coastal Landscape"), DemoPicture::Painting},
        {QStringLiteral("Mountain Bike"), DemoPicture::Bicycle},
        {QStringLiteral("Acoustic Guitar"), DemoPicture::Guitar},
    };
    return pictures;
}

DemoPicture demoPictureFor(const QString &description)
{
    for (const auto &[item, picture] : demoPictures()) {
        if (item == description)
            return picture;
    }
    return DemoPicture::None;
}
