#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

// The copies settings of one inventory, kept with the user's settings
// (QSettings, organisation and program "Stowbook") under the inventory's
// identity, so two data folders keep settings of their own.
struct CopySettings {
    QString folder;         // the copies folder; empty: none chosen
    bool enabled = false;   // copies are made by themselves
    QDateTime lastVerified; // UTC: when the last verified copy was made or found unchanged
    // The data folder's state (sourceStamp) when the last verified copy
    // began: a copy is due when the folder is no longer so.
    QByteArray copiedStamp;
    // The local day the user was last told that copies stopped.
    QDate warnedOn;
};

CopySettings readCopySettings(const QString &dataFolder);
void writeCopySettings(const QString &dataFolder, const CopySettings &settings);
// Notes that a verified copy of the inventory exists as of when.
void noteVerifiedCopy(const QString &dataFolder, const QDateTime &when);
// Notes the data folder's state as the last verified copy read it.
void noteCopiedStamp(const QString &dataFolder, const QByteArray &stamp);
// Notes the day the user was told that copies stopped.
void noteCopiesWarning(const QString &dataFolder, const QDate &day);
