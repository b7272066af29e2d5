#pragma once

#include <QDateTime>
#include <QString>

// The copies settings of one inventory, kept with the user's settings
// (QSettings, organisation and program "Stowbook") under the inventory's
// identity, so two data folders keep settings of their own.
struct CopySettings {
    QString folder;         // the copies folder; empty: none chosen
    bool enabled = false;   // copies are made by themselves
    QDateTime lastVerified; // UTC: when the last verified copy was made or found unchanged
};

CopySettings readCopySettings(const QString &dataFolder);
void writeCopySettings(const QString &dataFolder, const CopySettings &settings);
// Notes that a verified copy of the inventory exists as of when.
void noteVerifiedCopy(const QString &dataFolder, const QDateTime &when);
