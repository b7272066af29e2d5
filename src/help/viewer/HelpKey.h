#pragma once

#include <QString>
#include <functional>

class QApplication;
class QObject;

// The help topic of a widget, window or menu action (a dynamic property).
// 0 or less removes it.
void setHelpTopic(QObject *widgetOrAction, int topic);
// The object's own topic, 0 when it has none.
int helpTopic(const QObject *widgetOrAction);

// The topic F1 opens for a key press received by `receiver`: in an open menu
// the highlighted action's topic, else the menu's own; elsewhere the first
// topic found walking from the widget up through its parents. 0 when none.
int helpTopicForKey(QObject *receiver);

// Makes F1 anywhere in the program open the help topic of the control or
// menu item it was pressed on (the contents when nothing has a topic).
// helpFilePath is asked at each press, so it may change after start-up.
// The returned filter belongs to `app`; deleting it removes the F1 handling.
QObject *installHelpKey(QApplication *app, std::function<QString()> helpFilePath);
