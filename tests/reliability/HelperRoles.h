#pragma once

// The roles this test program plays when a test starts it again as a second
// program. Each reads its settings from the environment, prints one line per
// event on its standard output (written straight to the pipe, so a line
// printed is a line the test can read even if the helper is killed next),
// and takes commands, one per line, on its standard input.
//
// "item-writer"   (ItemWriterFolder, ItemWriterSeed, ItemWriterFirstVersion,
//                 optional ItemWriterDieAfterSteps): stores items through a
//                 dynaset exactly as the item editor does, and item pictures
//                 as the editor writes them, without end, until killed. Before
//                 each write "begin item <key|new> <version>" or "begin picture
//                 <key> <version>"; after it "item <key> <version>" or
//                 "picture <key> <version>". With DieAfterSteps it kills itself
//                 after that many steps of SQLite's statement engine, which
//                 lands inside a write.
// "other-writer"  (OtherWriterDatabase): another program writing to the same
//                 database in short transactions: new items, changes to its
//                 own items, new categories and locations, acknowledged as
//                 "item <key> <model>", "category <key> <text>", "location
//                 <key> <text>". Commands: "hold" (takes the write lock and
//                 keeps it, then prints "holding"), "release" (commits what it
//                 wrote meanwhile, prints its acknowledgement and "released"),
//                 "stop" (prints "stopped" and ends).
// "start-program" (StartProgramFolder): the program started on that data
//                 folder, its main window loaded, with every message box
//                 printed as "message <title>|<text>" instead of shown; then
//                 "started", or "ended <code>" when the program ended itself.
inline constexpr const char *HelperRoleVariable = "STOWBOOK_RELIABILITY_ROLE";

// Runs the role named in the environment and returns its exit code; -1 when
// this program was not started in a role.
int runHelperRoleIfAsked();
