#pragma once

#include <QString>

class HelpWindow;
class QWidget;

// The commands ShowHelp understands.
constexpr int HelpContext = 1;      // data: the topic number; 0 shows the contents
constexpr int HelpQuit = 2;         // closes the help window
constexpr int HelpIndex = 3;        // the contents
constexpr int HelpHelpOnHelp = 4;   // the "Using Help" page
constexpr int HelpPartialKey = 261; // the search page, with no key: every topic listed

// The copy of the help file built into the program, used when a caller names
// no file and no file was shown before.
inline const QString BuiltInHelpFile = QStringLiteral(":/share/stowbook-help.html");

// Shows the help window (one for the program, modeless) with `helpFile` as
// the command asks. An empty helpFile means the file shown last, or the
// built-in copy. A file that cannot be read is reported through prompts()
// and nothing is shown. Unknown commands do nothing. `owner` only places the
// window the first time it opens; it may be null.
void ShowHelp(QWidget *owner, const QString &helpFile, int command, int data);

// The help window, or nullptr when none is open.
HelpWindow *helpWindow();
// Deletes the help window and forgets the file shown last (at program end,
// and between tests).
void closeHelpWindow();
