#pragma once

#include <QString>

// Where the files every new data folder gets are read from (the two schemas,
// the report field catalogue, the ready-made report files and the help):
// <the program's folder>/../share/stowbook when that folder exists, which is
// where the install rules put them under any prefix or DESTDIR tree;
// otherwise the source tree's share/, for programs run from the build folder.
// Needs a QCoreApplication.
QString templateFolder();
