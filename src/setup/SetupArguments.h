#pragma once

#include "setup/DataFolderSetup.h"

#include <QString>
#include <QStringList>

// The command line of stowbook-setup:
//   stowbook-setup [--demo | --items N | --import FILE] [--seed S] [--rows good|all] FOLDER
//   stowbook-setup --add-items FILE [--rows good|all] FOLDER
//   stowbook-setup --backup FOLDER FILE.zip
//   stowbook-setup --restore FILE.zip FOLDER
//   stowbook-setup --verify FILE.zip
struct SetupArguments {
    enum class Action { Setup, Backup, Restore, Verify };
    Action action = Action::Setup;
    QString folder;  // the data folder to set up, back up or restore into
    QString archive; // the backup file of --backup, --restore and --verify
    SetupOptions options;
    QString addItemsFile;     // not empty: add this file's items to the inventory already in folder
    bool showHelp = false;    // -h or --help: print the usage and do nothing else
    bool showVersion = false; // --version: print the version and do nothing else
    QString error;            // not empty: the command line was refused, for this reason
};

inline constexpr int MaxGeneratedItems = 10'000'000;

// arguments: the command line without the program name.
SetupArguments parseSetupArguments(const QStringList &arguments);
QString setupUsage();
