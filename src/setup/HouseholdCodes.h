#pragma once

#include <array>

class Database;

// The category and location lists a new household inventory starts with.
// They are stored in this order under ids 1, 2, ...; the enums name those
// ids for the demo inventory.
enum class Category {
    Appliances = 1,
    Electronics,
    Furniture,
    Jewelry,
    Tools,
    Kitchenware,
    Collectibles,
    SportingGoods,
    Clothing,
    MusicalInstruments,
    BooksMedia
};
enum class Location {
    LivingRoom = 1,
    Kitchen,
    MasterBedroom,
    GuestBedroom,
    Garage,
    Basement,
    Office,
    DiningRoom,
    Attic,
    LaundryRoom
};

inline constexpr std::array<const char *, 11> householdCategories{
    "Appliances",     "Electronics", "Furniture",           "Jewelry",       "Tools", "Kitchenware", "Collectibles",
    "Sporting Goods", "Clothing",    "Musical Instruments", "Books & Media",
};
inline constexpr std::array<const char *, 10> householdLocations{
    "Living Room", "Kitchen", "Master Bedroom", "Guest Bedroom", "Garage",
    "Basement",    "Office",  "Dining Room",    "Attic",         "Laundry Room",
};
static_assert(householdCategories.size() == std::size_t(Category::BooksMedia));
static_assert(householdLocations.size() == std::size_t(Location::LaundryRoom));

// Writes both lists into the empty tables categories and locations.
// Throws DbError.
void insertHouseholdCodes(Database &db);
