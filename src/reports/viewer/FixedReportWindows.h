#pragma once

class Household;
class QWidget;

// The Reports menu's fixed reports of the household's inventory: each builds
// its document in the output window (created with mainWindow as its owner
// when it does not exist yet) and shows the window modeless, also when the
// serial number list is empty.
void RunValueSummary(Household &household, QWidget *mainWindow, int kind);
void RunSerialNumberList(Household &household, QWidget *mainWindow);
