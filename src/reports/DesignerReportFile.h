#pragma once

#include "reports/ReportFileReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Database;
class Household;

// Report files saved by the designer (".rpt") hold their sort keys as
// positions in the designer's sort lists, which list the subject's fields
// in caption order (reports/FieldOrder.h).
// Their currency line is not read back: the catalogue's setting stands.

// The specid of the field at a position in caption order; std::nullopt for a
// position outside the list. -1 stays -1 (no sort).
std::optional<int> sortKeyAtPosition(const ReportCatalogue &catalogue, int position);

// Reads and checks a designer's file at path as the report engine reads any
// report file, with the two differences above. An invalid file shows the
// "Invalid Report File" message; a catalogue failure is reported through
// reportCatalogueFailure. Either gives std::nullopt, with the reason in
// *problem.
std::optional<LoadedReport> readDesignerReportFile(Household &household, Database &catalogueDb, const QString &path,
                                                   QString *problem);
// The same for the bytes of a file already read.
std::optional<LoadedReport> readDesignerReportBytes(Household &household, Database &catalogueDb,
                                                    const QByteArray &bytes, QString *problem);

// True for a path whose extension marks a designer's file.
bool isDesignerReportFile(const QString &path);
// The name a designer's file is saved under: the name chosen, with ".rpt"
// added unless it already ends so (any case). Another extension stays in
// the name ("x.srp" gives "x.srp.rpt"), so what was typed is still there
// but the file can never be read as a ready-made report file.
QString designerReportFileName(const QString &chosen);

// The designer's own Open reads lines 3 to 21 of a file into its controls
// and per-field arrays. This is that reading without the controls.
//
// The numbers of lines 3 to 10, in file order: destination, orientation,
// header date, page numbers, width unit, the two sort positions, and the
// number of fields (which is not used).
enum DesignerFileCode {
    CodeReportTo,
    CodeOrientation,
    CodeShowDate,
    CodePageNumbers,
    CodeWidthUnit,
    CodeSort1,
    CodeSort2,
    CodeFieldCount,
    DesignerFileCodes
};

struct DesignerFileLines {
    // The codes as far as each read as a number within its range; fewer
    // than DesignerFileCodes when one did not, and nothing after it is read.
    QList<qint16> codes;
    // The items of line 11 that read as field numbers, in file order
    // (whether the catalogue offers them is the designer's to find).
    QList<qint16> fieldIds;
    // True when every line read; otherwise what was read before the
    // failing line (or item) is kept, as the designer keeps it.
    bool valid = false;
};

// lines: the file's lines from line 1; fewer than 21 are invalid.
// maxSpecId: the highest specid of the subject; the sort positions run from
// -1 to maxSpecId - 1. arrays: the per-field arrays of the designer (SelTrue
// to FieldTotal; FieldIsCurrency is not read back), sized to maxSpecId and
// holding its defaults; lines 12 to 21 overwrite item k of each at specid k,
// and items past the arrays are ignored. Flags must be "0" or "1", dates and
// widths numbers (widths within single precision); criteria texts are taken
// as they stand.
DesignerFileLines readDesignerFileLines(const QStringList &lines, int maxSpecId, ReportSpec &arrays);
