#pragma once

// What every benchmark program does besides timing. Qt's own notes (the
// offscreen platform's, mostly) would break up the table: each program keeps
// them off with showOnlyQtProblems, as the command-line programs do.
#include "program/QtMessages.h"

#include <QLocale>
#include <QStringList>

// Ends the program with "program: what" when condition is false.
void require(bool condition, const char *what);

// Before the application object: Qt's notes off, and the offscreen platform
// unless QT_QPA_PLATFORM names another.
void prepareBenchProgram();

// A benchmark's application (QApplication, QGuiApplication): prepared as
// above, in US English so every table reads alike.
template <class Application>
class BenchApplication : public Application {
public:
    BenchApplication(int &argc, char **argv) : Application((prepareBenchProgram(), argc), argv)
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    // The arguments after the program's name.
    static QStringList args() { return Application::arguments().mid(1); }
};
