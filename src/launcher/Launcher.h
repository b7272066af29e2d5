#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The desktop menu entry starts the program with the switch "--home" alone.
// The program then works on the user's own data folder (homeDataFolder) and
// lays it out on the first start. "-d FOLDER" and a start without switches
// keep their meaning: the switch holds no "-d", and only the whole command
// line "--home" is taken for it.
inline const QString HomeOption = QStringLiteral("home");

// What "stowbook --help" prints: every way in.
QString programUsage();

// arguments: the command line without the program's name.
bool isHomeStart(const QStringList &arguments);

// "Stowbook" in the user's documents folder, as the desktop names that folder
// (the XDG user directories, so a translated or moved documents folder is
// followed). No trailing "/".
QString homeDataFolder();

// What the program does after the launcher.
struct HomeStart {
    // Set when the program goes on: the command line for the main window,
    // "-d" and the folder, read by the same rule as a typed one.
    std::optional<QStringList> arguments;
    // When it does not: 0 the user chose to set up nothing, 1 the folder
    // could not be set up (the user was told why).
    int exitCode = 0;
    // The folder was laid out just now, on this first start: the program
    // offers the automatic copies once its window is up.
    bool laidOut = false;
};

// Makes sure folder holds an inventory. When it has none yet, tells the user
// where it will be and asks for the demo household, an empty inventory or
// neither; the folder is laid out by the setup program's own code, private to
// the user. Every question and message goes through prompts().
HomeStart prepareHomeStart(const QString &folder);
