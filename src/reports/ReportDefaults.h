#pragma once

#include <QRgb>
#include <QString>

// What every report of the program starts from.

// The subject the designer works on and whose name a report's PDF takes
// when it has no title.
inline const QString ReportUseWith = QStringLiteral("items");

// The shades of a table's heading row and of the shaded body rows.
inline constexpr QRgb HeaderShade = 0;
inline constexpr QRgb BodyShade = qRgb(200, 200, 200);
