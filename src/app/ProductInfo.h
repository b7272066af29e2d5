#pragma once

#include <QString>

// Where the product lives on the web: opened from the About window and named
// in the footer of HTML reports.
inline const QString ProductWebAddress = QStringLiteral("https://stowbook.example.org/");

// The program's version, as the About window shows it and backups record it.
inline const QString ProgramVersion = QStringLiteral("1.3");
