#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// "-h" or "--help", and "--version", answered before any window or file is touched,
// and only when one of them is the whole command line: every other command
// line keeps the meaning it has always had. The answer is printed with Qt's
// notes kept off the terminal (QtMessages.h).
// arguments: the command line without the program's name; program: the name
// --version prints; usage: what --help prints. Returns the text to print on
// standard output, or std::nullopt when neither was asked for.
std::optional<QString> informationRequested(const QStringList &arguments, const QString &program, const QString &usage);

// The same straight from main's argc and argv, before any application object
// exists (so no screen is needed): prints the text and returns the exit code.
std::optional<int> answerInformationRequest(int argc, char **argv, const QString &program, const QString &usage);
