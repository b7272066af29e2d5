#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a program of the build folder printed and how it ended.
struct ProgramResult {
    int exitCode = -1; // -1: it did not run to its end (it crashed or hung)
    QByteArray out;
    QByteArray err;
};

// Runs a program of the build folder ("stowbook-setup") the way cron or a
// root shell runs it: without XDG_RUNTIME_DIR, which sets Qt talking unless
// the program keeps it quiet. environment: "NAME=value" settings on top.
ProgramResult runProgram(const QString &name, const QStringList &arguments, const QStringList &environment = {});
