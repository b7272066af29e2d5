#pragma once

#include <QString>

class QPushButton;

// A push button named name that Enter in another control of its dialog
// never presses (it is not the dialog's default).
QPushButton *plainButton(const QString &name, const QString &caption);
