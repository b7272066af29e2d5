#pragma once

// Keeps Qt's own notes off the terminal of a program that prints there:
// only Qt's critical and fatal messages are printed, the failures a user
// must read to mend (QtMessages.cpp says why). Installed by stowbook-setup,
// stowbook-report, the benchmarks, and stowbook for --help and --version.
void showOnlyQtProblems();
