#pragma once

struct sqlite3;

// Registers the program's SQL functions on a connection (see Database.h):
// wlike(text, pattern) and fold(text). Returns SQLite's result code.
int registerSqlFunctions(sqlite3 *db);
