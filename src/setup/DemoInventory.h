#pragma once

#include "setup/DemoPictures.h"
#include "setup/ItemRow.h"

#include <vector>

// One item of the demo household inventory and the drawing that goes with it.
struct DemoEntry {
    ItemRow row;
    DemoPicture picture = DemoPicture::None;
};

// A realistic household inventory of about sixty items, with fixed dates
// and amounts, referring to the category and location ids of HouseholdCodes.
// Some entries leave fields empty or Null, as real inventories do.
const std::vector<DemoEntry> &demoInventory();
