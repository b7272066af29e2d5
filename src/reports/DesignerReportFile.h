#pragma once

#include "reports/ReportFileReader.h"

#include <QString>
#include <QStringList>
#include <optional>

class Database;

// Report files saved by the designer (".rpt") hold their sort keys as
// positions in the designer's sort lists, which list the subject's fields
// in the order of their captions (ignoring case; equal captions by specid).
// Their currency line is not read back: the catalogue's setting stands.

// The specid of the field at a position in that order; std::nullopt for a
// position outside the list. -1 stays -1 (no sort).
std::optional<int> sortKeyAtPosition(const ReportCatalogue &catalogue, int position);

// Reads and checks a designer's file at path as the report engine reads any
// report file, with the two differences above. An invalid file shows the
// "Invalid Report File" message; a catalogue failure is reported through
// reportCatalogueFailure. Either gives std::nullopt, with the reason in
// *problem.
std::optional<LoadedReport> readDesignerReportFile(Database &catalogueDb, const QString &path, QString *problem);

// True for a path whose extension marks a designer's file.
bool isDesignerReportFile(const QString &path);
