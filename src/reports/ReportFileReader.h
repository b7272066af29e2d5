#pragma once

#include "reports/ReportCatalogue.h"
#include "reports/ReportSpec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class Database;
class Household;

// A report file read and checked, with the catalogue of its subject that
// the query builder and the renderers work from.
struct LoadedReport {
    ReportCatalogue catalogue;
    ReportSpec spec;
};

// The number of lines a report file holds; anything after them is ignored.
inline constexpr int ReportFileLines = 22;

// The report engine's reading of a report file.
class ReportFileReader {
public:
    // catalogueDb: the open rptspec.db of household; both must outlive read().
    ReportFileReader(Household &household, Database &catalogueDb) : m_household(household), m_catalogueDb(catalogueDb)
    {
    }

    // Reads and checks the file at path. An invalid or unreadable file shows
    // the "Invalid Report File" message and gives std::nullopt; so does a
    // subject the catalogue does not know. A failure of the catalogue
    // database is reported through reportCatalogueFailure and also gives
    // std::nullopt, without the invalid-file message.
    std::optional<LoadedReport> read(const QString &path);
    // The same for the bytes of a file already read.
    std::optional<LoadedReport> readBytes(const QByteArray &bytes);

    // Why the last read() failed, in plain words (for the command line and
    // for tests); empty after a successful read.
    const QString &problem() const { return m_problem; }

private:
    std::optional<LoadedReport> refuse(const QString &problem);
    Household &m_household;
    Database &m_catalogueDb;
    QString m_problem;
};

// The checks of a file's lines against the catalogue of its subject (the
// first line must be catalogue.subject()). No file, database or message:
// the design, or std::nullopt with the reason in *problem.
std::optional<ReportSpec> parseReportLines(const QStringList &lines, const ReportCatalogue &catalogue,
                                           QString *problem);

// "There appears to be an error in the report file for the selected report."
// (OK, no icon, title "Invalid Report File"). For any run that cannot go on
// because of what the report file says.
void showInvalidReportFile();
