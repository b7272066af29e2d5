#pragma once

class Household;
struct AttachedFile;

// Opens an item's document or photo in the program the desktop opens its
// kind with; says so instead when the file is missing from the data folder.
void openAttachedFile(Household &household, const AttachedFile &file);
