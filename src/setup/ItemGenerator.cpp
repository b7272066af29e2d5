#include "setup/ItemGenerator.h"

#include "setup/HouseholdCodes.h"

#include <QStringList>
#include <array>
#include <vector>

// What a household typically owns in one category: the things, who makes
// them, what they cost new (whole dollars) and where they are kept.
struct CategoryKind {
    std::vector<const char *> things;
    std::vector<const char *> makers;
    int lowestPrice;
    int highestPrice;
    std::vector<Location> places;
};

static const std::array<CategoryKind, householdCategories.size()> &categoryKinds()
{
    using L = Location;
    static const std::array<CategoryKind, householdCategories.size()> kinds{{
        {{"Refrigerator", "Washing Machine", "Dryer", "Dishwasher", "Microwave Oven", "Vacuum Cleaner", "Dehumidifier",
          "Air Purifier", "Space Heater", "Chest Freezer", "Range Hood"},
         {"Kelmore", "Frostline", "Halden", "Sakura", "Dyston", "Whitcomb"},
         60,
         2400,
         {L::Kitchen, L::LaundryRoom, L::Basement, L::Garage}},
        {{"Television", "Laptop Computer", "Desktop Computer", "Tablet", "Printer", "Sound Bar", "Game Console",
          "Digital Camera", "Monitor", "Wireless Speaker", "E-Reader", "Headphones"},
         {"Vistara", "Corvane", "Okura", "Brightwave", "Halvorsen Audio", "Kaito", "Netlink"},
         40,
         2200,
         {L::LivingRoom, L::Office, L::MasterBedroom, L::GuestBedroom}},
        {{"Sofa", "Armchair", "Coffee Table", "Bookcase", "Dresser", "Nightstand", "Bed Frame", "Dining Table", "Desk",
          "Wardrobe", "Bar Stool", "TV Stand"},
         {"Ashford Home", "Wexley Woodworks", "Norrland", "Comfort Craft", "Hartwell"},
         50,
         3000,
         {L::LivingRoom, L::MasterBedroom, L::GuestBedroom, L::DiningRoom, L::Office}},
        {{"Ring", "Necklace", "Bracelet", "Earrings", "Watch", "Brooch", "Pendant", "Cufflinks"},
         {"Haldane & Co.", "Sterlin", "Marquette", "Belcourt"},
         80,
         6000,
         {L::MasterBedroom}},
        {{"Cordless Drill", "Circular Saw", "Socket Set", "Lawn Mower", "Leaf Blower", "Ladder", "Workbench",
          "Air Compressor", "Pressure Washer", "Hedge Trimmer", "Tool Chest"},
         {"Torvik", "Brannock", "Greenfield", "Ridgemont", "Ironside"},
         30,
         1200,
         {L::Garage, L::Basement}},
        {{"Cookware Set", "Stand Mixer", "Knife Block", "Blender", "Espresso Machine", "Toaster", "Dinnerware Set",
          "Slow Cooker", "Food Processor", "Flatware Set"},
         {"Alcott", "Koenig", "Brevo", "Kelmore", "Rosewood", "Vallon"},
         25,
         900,
         {L::Kitchen, L::DiningRoom}},
        {{"Painting", "Coin Collection", "Stamp Album", "Figurine", "Antique Clock", "Sports Memorabilia", "Vase",
          "Print", "Comic Book Collection"},
         {"", "Lindqvist", "National Mint", "Harbor Light Gallery"},
         20,
         5000,
         {L::LivingRoom, L::Office, L::Attic, L::DiningRoom}},
        {{"Bicycle", "Golf Clubs", "Kayak", "Treadmill", "Tent", "Skis", "Snowboard", "Fishing Rod", "Dumbbells",
          "Exercise Bike", "Tennis Racket"},
         {"Trailcraft", "Fairway Pro", "Bluewater", "Stridemaster", "Ironform", "Alpenkamm"},
         25,
         2000,
         {L::Garage, L::Basement, L::Attic}},
        {{"Winter Coat", "Leather Jacket", "Suit", "Boots", "Dress", "Handbag", "Sweater", "Raincoat"},
         {"Harrow & Finch", "Kessler", "Maison Lavelle", "Northwind"},
         30,
         1500,
         {L::MasterBedroom, L::GuestBedroom}},
        {{"Acoustic Guitar", "Electric Guitar", "Piano", "Digital Keyboard", "Violin", "Trumpet", "Drum Kit",
          "Amplifier", "Flute"},
         {"Marlowe", "Steinhardt", "Yamura", "Adler", "Crestone"},
         120,
         6000,
         {L::LivingRoom, L::GuestBedroom, L::Basement}},
        {{"Book Collection", "Record Collection", "Encyclopedia Set", "DVD Collection", "Cookbook Collection",
          "Board Games"},
         {"", "Various"},
         20,
         800,
         {L::Office, L::LivingRoom, L::Basement, L::Attic}},
    }};
    return kinds;
}

static const char *const Qualifiers[] = {
    "Large",  "Small",  "Black", "White", "Stainless", "Vintage", "Compact",  "Deluxe",       "Portable",
    "Walnut", "Silver", "Blue",  "Gray",  "Oak",       "Antique", "Cordless", "Professional",
};

static const char *const Stores[] = {
    "Northgate Electronics", "HomeMart",           "Appliance Depot", "Hillcrest Hardware", "Riverside Mall",
    "Kitchen & Table",       "Outdoor Outfitters", "Online order",    "Estate sale",        "Riverside Music",
    "Ashford Home Gallery",  "Department store",   "Garage sale",     "Fitness Warehouse",
};

static const char *const Remarks[] = {
    "Gift",       "Bought used",       "Extended warranty",      "Color: black", "Color: white",
    "Set of two", "Original box kept", "Manual in file cabinet", "Needs repair", "Inherited",
};

static const char *const Notes[] = {
    "Receipt scanned and filed.", "Warranty card mailed in.",        "Appraised last year.",
    "Replaced an older model.",   "Minor scratch on the side.",      "Used only a few times.",
    "Registered with the maker.", "Kept in the original packaging.",
};

ItemGenerator::ItemGenerator(quint32 seed) : m_random(seed)
{
}

QString ItemGenerator::modelNumber()
{
    QString model;
    for (quint32 i = 0, n = 1 + below(3); i < n; ++i)
        model += QChar(u'A' + below(26));
    model += QLatin1Char('-');
    model += QString::number(100 + below(9900));
    if (chance(30))
        model += QChar(u'A' + below(26));
    return model;
}

QString ItemGenerator::serialNumber()
{
    static const char Alphabet[] = "ABCDEFGHJKLMNPRSTUVWXYZ0123456789";
    QString serial;
    if (chance(40)) {
        for (int i = 0; i < 3; ++i)
            serial += QChar(u'A' + below(26));
    }
    for (quint32 i = 0, n = 6 + below(7); i < n; ++i)
        serial += QLatin1Char(Alphabet[below(sizeof Alphabet - 1)]);
    return serial;
}

ItemRow ItemGenerator::next()
{
    const auto &kinds = categoryKinds();
    const quint32 categoryIndex = below(quint32(kinds.size()));
    const CategoryKind &kind = kinds[categoryIndex];

    ItemRow row;
    row.item = QString::fromUtf8(pick(kind.things));
    if (chance(35))
        row.item = QString::fromUtf8(pick(Qualifiers)) + QLatin1Char(' ') + row.item;
    row.manufact = QString::fromUtf8(pick(kind.makers));
    row.model = chance(85) ? modelNumber() : QString();

    // About one in three without a serial number, half of those Null.
    const quint32 serialRoll = below(6);
    if (serialRoll == 0)
        row.serno = std::nullopt;
    else if (serialRoll == 1)
        row.serno = QString();
    else
        row.serno = serialNumber();

    if (!chance(8))
        row.purchdate = QDate(2010, 1, 1).addDays(below(15 * 365));

    if (!chance(6)) {
        const quint32 lowest = quint32(kind.lowestPrice) * 100;
        const quint32 spread = quint32(kind.highestPrice - kind.lowestPrice) * 100;
        const qint64 cents = lowest + below(spread + 1);
        row.purchprice = Money::fromUnits(cents * (Money::Scale / 100));
        if (!chance(5)) {
            // Most things lose value, a few (jewelry, art) gain.
            const qint64 percent = 25 + below(100);
            row.estvalue = Money::fromUnits(cents * percent / 100 * (Money::Scale / 100));
        }
    } else if (chance(50)) {
        row.estvalue = Money::fromUnits(qint64(20 + below(500)) * Money::Scale);
    }

    const quint32 quantityRoll = below(100);
    if (quantityRoll < 3)
        row.quantity = std::nullopt;
    else if (quantityRoll < 15)
        row.quantity = qint16(2 + below(5));
    else
        row.quantity = 1;

    row.receipt = chance(45);
    row.wherepurch = chance(90) ? QString::fromUtf8(pick(Stores)) : QString();
    if (chance(20))
        row.misc1 = QString::fromUtf8(pick(Remarks));
    else if (chance(50))
        row.misc1 = QString();
    if (chance(25))
        row.notes = QString::fromUtf8(pick(Notes));

    if (!chance(5))
        row.catid = int(categoryIndex) + 1;
    if (!chance(5))
        row.locid = int(kind.places[below(quint32(kind.places.size()))]);
    return row;
}
