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
//   stowbook-setup --copy FOLDER [--to COPIES]
//   stowbook-setup --restore COPIES FOLDER [--version DATE]
//   stowbook-setup --verify COPIES
//   stowbook-setup --pin COPIES VERSION
//   stowbook-setup --unpin COPIES VERSION
struct SetupArguments {
    enum class Action { Setup, Backup, Restore, Verify, Copy, Pin, Unpin };
    Action action = Action::Setup;
    QString folder;        // the data folder to set up, back up, copy or restore into
    QString archive;       // the backup file or copies folder of --restore and --verify, the backup file of --backup
    QString copiesFolder;  // --copy: the copies folder of --to; empty: the one in the settings
    QString versionChoice; // --restore from copies: the version named after --version; --pin, --unpin: VERSION
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
