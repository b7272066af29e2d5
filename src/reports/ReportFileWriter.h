#pragma once

#include "reports/ReportSpec.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Writing a design as a report file: 22 lines ended by CR LF, UTF-8.
// Flags are "1" and "0"; dates are their serial numbers and widths
// single-precision numbers, both with the locale's decimal point; the two
// sort lines carry a blank before a number that is not negative. Every
// per-field line holds one item per place of the per-field arrays
// (spec.fieldSlots()). The same design always gives the same bytes.

// The bytes of the file, or std::nullopt when the design holds something
// the format cannot keep (a line break in a text, a ";" in a per-field
// text), with the reason in *problem.
std::optional<QByteArray> reportFileBytes(const ReportSpec &spec, QString *problem = nullptr);

// Writes the file at path, replacing any file of that name only once the
// whole new file is written: a failure leaves the old file as it was.
// False, with the reason in *problem, when the design cannot be written or
// the file cannot.
bool saveReportFile(const QString &path, const ReportSpec &spec, QString *problem = nullptr);
