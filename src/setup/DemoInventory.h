#pragma once

#include "setup/DemoPictures.h"

#include <QString>
#include <utility>
#include <vector>

// The demo household inventory is a file as Export Items writes it,
// share/demo-items.csv: about sixty items with fixed dates and amounts,
// some leaving fields empty or Null as real inventories do. It is read
// through the importer like any household's own file (from the folder of
// the files every data folder gets, see TemplateFolder.h), after the household
// category and location lists (HouseholdCodes), whose descriptions it uses.

// The items that have a picture, by their descriptions, and the drawing
// that stands in for it.
const std::vector<std::pair<QString, DemoPicture>> &demoPictures();
DemoPicture demoPictureFor(const QString &description);
