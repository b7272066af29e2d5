#pragma once

// What every benchmark program does besides timing.

// Keeps Qt's own notes (the offscreen platform's, mostly) from breaking up
// the table: only critical messages are printed.
void showOnlyQtProblems();

// Ends the program with "program: what" when condition is false.
void require(bool condition, const char *what);
