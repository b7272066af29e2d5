#pragma once

#include <QString>

// Where the product lives on the web: opened from the About window and named
// in the footer of HTML reports.
inline const QString ProductWebAddress = QStringLiteral("https://stowbook.example.org/");
