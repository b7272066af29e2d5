#pragma once

// What every benchmark program does besides timing. Qt's own notes (the
// offscreen platform's, mostly) would break up the table: each program keeps
// them off with showOnlyQtProblems, as the command-line programs do.
#include "program/QtMessages.h"

// Ends the program with "program: what" when condition is false.
void require(bool condition, const char *what);
