#include "reports/ReportRun.h"

#include "data/SqliteSupport.h"
#include "data/Values.h"
#include "items/ItemStatus.h"
#include "program/ConfirmReplaceFile.h"
#include "program/FileChoice.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/DesignerReportFile.h"
#include "reports/ReportCells.h"
#include "reports/ReportOutput.h"
#include "reports/ReportQuery.h"

#include <sqlite3.h>

namespace {

// The open statement of a run, read one row at a time: a report of any
// length holds one row in memory, not the whole result.
class ReportRows {
public:
    // Prepares and binds; throws DbError.
    ReportRows(Database &db, const ReportQuery &query) : m_statement(db.handle(), query.sql)
    {
        m_statement.bindAll(query.params);
        const int columns = m_statement.columnCount();
        for (int i = 0; i < columns; ++i)
            m_kinds << kindFromDeclType(sqlite3_column_decltype(m_statement.get(), i));
    }
    // Moves to the next row; false at the end. Throws DbError.
    bool next() { return m_statement.step(SqlContext::Read); }
    QVariant value(int column) const
    {
        // Stored amounts are doubles, and reading every price of a long
        // report as an exact amount the general way (Money::fromDouble)
        // was a good part of the run; the quick reading gives the same.
        // Text columns, most of a report, are read here too: readColumn
        // would ask for the column's type twice, and every such call takes
        // the connection's lock.
        sqlite3_stmt *statement = m_statement.get();
        const int type = sqlite3_column_type(statement, column);
        if (m_kinds[column] == ColumnKind::Money && type == SQLITE_FLOAT) {
            if (const std::optional<Money> amount = moneyFromDouble(sqlite3_column_double(statement, column)))
                return QVariant::fromValue(*amount);
        } else if (m_kinds[column] == ColumnKind::Raw && type == SQLITE_TEXT) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
            return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(statement, column)));
        }
        return readColumn(statement, column, m_kinds[column]);
    }

private:
    Statement m_statement;
    QList<ColumnKind> m_kinds;
};

// Runs one database step; a failure goes to the household's handler and
// gives false.
template <class Step>
bool trapped(Household &household, Step &&step)
{
    bool ok = false;
    household.trapDb([&] {
        step();
        ok = true;
    });
    return ok;
}

// Abandons the output on every way out but a finished report, so no return
// can leave a partial file or page behind.
class AbandonUnlessFinished {
public:
    explicit AbandonUnlessFinished(ReportOutput &output) : m_output(output) {}
    ~AbandonUnlessFinished()
    {
        if (!m_settled)
            m_output.abandon();
    }
    AbandonUnlessFinished(const AbandonUnlessFinished &) = delete;
    AbandonUnlessFinished &operator=(const AbandonUnlessFinished &) = delete;
    // Abandons now, before a message is shown about why.
    void now()
    {
        if (!m_settled)
            m_output.abandon();
        m_settled = true;
    }
    void finished() { m_settled = true; }

private:
    ReportOutput &m_output;
    bool m_settled = false;
};

// Adds the condition of the items kept to the query's selection.
void keepOnlyKeptItems(ReportQuery &query, const QString &kept)
{
    if (kept.isEmpty())
        return;
    const QString select = query.sql.left(query.sql.size() - query.selection.size() - query.ordering.size());
    query.selection +=
        (query.selection.contains(QStringLiteral(" where ")) ? QStringLiteral(" and ") : QStringLiteral(" where "))
        + kept;
    query.sql = select + query.selection + query.ordering;
}

} // namespace

ReportOutcome produceReport(Household &household, const ReportSpec &spec, const ReportCatalogue &catalogue,
                            ReportOutput &output)
{
    AbandonUnlessFinished abandon(output);
    QString problem;
    std::optional<ReportQuery> query = buildReportQuery(spec, catalogue, &problem);
    if (!query) {
        abandon.now();
        showInvalidReportFile();
        return ReportOutcome::InvalidFile;
    }
    // Listings and their totals are of what the household keeps.
    if (spec.UseWith.compare(QStringLiteral("items"), Qt::CaseInsensitive) == 0)
        household.trapDb(
            [&] { keepOnlyKeptItems(*query, keptItemsCondition(household, QStringLiteral("items.iteid"))); });

    std::unique_ptr<ReportRows> rows;
    bool hasRow = false;
    const bool opened = trapped(household, [&] {
        if (!household.dbInventory())
            throw DbError(DbError::ObjectClosed, QStringLiteral("The inventory database is not open."));
        rows = std::make_unique<ReportRows>(*household.dbInventory(), *query);
        hasRow = rows->next();
    });
    if (!opened)
        return ReportOutcome::QueryFailed;
    if (!hasRow) {
        abandon.now();
        prompts().message(NoRecordsMessage, Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        return ReportOutcome::NoRows;
    }
    if (!output.begin(spec, *query))
        return ReportOutcome::OutputFailed;

    ReportTotals totals(query->columns);
    ReportCellTexts cellTexts;
    const int columnCount = int(query->columns.size());
    // One list for the whole run: its cells are overwritten row by row.
    QStringList cells(columnCount);
    bool more = true;
    while (more) {
        for (int k = 0; k < columnCount; ++k) {
            const QVariant value = rows->value(k);
            const ReportColumn &column = query->columns[k];
            // A number's exact amount serves both its text and its total.
            if (needsExactNumber(column)) {
                const std::optional<Money> amount = exactNumber(value);
                cells[k] = cellTexts.text(value, column, amount);
                if (amount)
                    totals.add(k, *amount);
            } else {
                cells[k] = cellTexts.text(value, column);
            }
        }
        if (!output.row(cells))
            return ReportOutcome::OutputFailed;
        if (!trapped(household, [&] { more = rows->next(); }))
            return ReportOutcome::QueryFailed;
    }
    rows.reset();

    if (totals.any()) {
        QList<bool> hasTotal;
        for (int k = 0; k < columnCount; ++k)
            hasTotal << totals.hasTotal(k);
        if (!output.totals(totals.row(), hasTotal))
            return ReportOutcome::OutputFailed;
    }
    if (!output.finish())
        return ReportOutcome::OutputFailed;
    abandon.finished();
    return ReportOutcome::Produced;
}

std::optional<LoadedReport> loadReportFile(Household &household, const QString &path, QString *problem)
{
    std::unique_ptr<Database> catalogueDb;
    try {
        catalogueDb = household.openCatalogue();
    } catch (const DbError &error) {
        reportCatalogueFailure(household, error);
        throw;
    }
    if (isDesignerReportFile(path))
        return readDesignerReportFile(household, *catalogueDb, path, problem);
    ReportFileReader reader(household, *catalogueDb);
    std::optional<LoadedReport> report = reader.read(path);
    if (problem)
        *problem = reader.problem();
    return report;
}

ReportOutcome runReportFile(Household &household, const QString &path, const ReportOutputFactory &makeOutput,
                            QString *problem)
{
    std::optional<LoadedReport> report;
    try {
        report = loadReportFile(household, path, problem);
    } catch (const DbError &) {
        return ReportOutcome::QueryFailed; // already reported
    }
    if (!report)
        return ReportOutcome::InvalidFile;
    std::unique_ptr<ReportOutput> output = makeOutput(*report);
    if (!output)
        return ReportOutcome::NotChosen;
    return produceReport(household, report->spec, report->catalogue, *output);
}

std::optional<QString> chooseReportOutputFile(Household &household, const ReportSpec &spec)
{
    Prompts::FileDialog dialog;
    if (spec.ReportTo == ReportToHtmlFile) {
        dialog.fileName = spec.UseWith + QStringLiteral(".htm");
        dialog.filter = QStringLiteral("Html Files (*.htm)|*.htm|All Files (*.*)|*.*");
        dialog.defaultSuffix = QStringLiteral("htm");
    } else {
        dialog.fileName = spec.UseWith + QStringLiteral(".txt");
        dialog.filter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
        dialog.defaultSuffix = QStringLiteral("txt");
    }
    const std::optional<QString> chosen = chooseSaveFile(household, dialog);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    if (!ConfirmReplaceFile(*chosen))
        return std::nullopt;
    return chosen;
}
