#include "setup/ItemsFromFile.h"

#include "data/Database.h"
#include "transfer/ImportPlan.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

namespace {

// Problems listed in a refusal; the rest are counted.
constexpr std::size_t ListedProblems = 20;

QString problemList(const ImportSummary &summary)
{
    QString text;
    std::size_t listed = 0;
    for (; listed < summary.problems.size() && listed < ListedProblems; ++listed)
        text += QStringLiteral("\n  ") + describeProblem(summary.problems[listed]);
    if (summary.problemCount > qint64(listed))
        text += QStringLiteral("\n  ... and %1 more.").arg(QLocale().toString(summary.problemCount - qint64(listed)));
    return text;
}

void describeFile(const ImportPlan &plan, const QString &shownPath, QTextStream &out)
{
    out << "Reading " << shownPath << ": " << describeReading(plan) << ".\n";
    for (const QString &note : {describeNumbers(plan), describeDates(plan)}) {
        if (!note.isEmpty())
            out << note << '\n';
    }
    out << "Columns of the file:\n";
    for (qsizetype c = 0; c < plan.headings().size(); ++c) {
        const ItemField field = plan.mapping()[std::size_t(c)];
        out << "  " << (plan.headings()[c].isEmpty() ? QStringLiteral("(no heading)") : plan.headings()[c]) << " -> "
            << (field == ItemField::None ? QStringLiteral("(not imported)") : fieldCaption(field)) << '\n';
    }
}

ImportChoice choiceFor(ProblemRows problemRows)
{
    switch (problemRows) {
    case ProblemRows::Refuse:
        break;
    case ProblemRows::Skip:
        return ImportChoice::GoodRowsOnly;
    case ProblemRows::Keep:
        return ImportChoice::AllRows;
    }
    return ImportChoice::NoneIfAProblem;
}

} // namespace

ImportOutcome importItemsFile(Database &db, const QString &path, ProblemRows problemRows, QTextStream *out)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    std::optional<ImportPlan> plan;
    try {
        plan = ImportPlan::fromFile(path);
    } catch (const ImportError &error) {
        throw SetupError(error.message());
    }
    if (out)
        describeFile(*plan, shownPath, *out);
    if (!plan->mapsDescription())
        throw SetupError(QStringLiteral("No column of %1 holds the item descriptions; name one of them \"%2\" "
                                        "(or \"Item\", \"Description\", \"Name\").")
                             .arg(shownPath, fieldCaption(ItemField::Item)));
    // The rows are checked as they are stored: one reading of the file.
    std::optional<ImportOutcome> outcome;
    try {
        outcome = storeImportedItems(db, *plan, choiceFor(problemRows));
    } catch (const ImportRefused &refused) {
        throw SetupError(QStringLiteral("%1 has rows with problems; nothing was imported. Mend them, or add "
                                        "--rows good (only the rows without problems) or --rows all:%2")
                             .arg(shownPath, problemList(refused.summary())));
    } catch (const ImportError &error) {
        throw SetupError(error.message());
    }
    if (out && outcome->summary.problemCount > 0)
        *out << "Rows with problems:" << problemList(outcome->summary) << '\n';
    if (out)
        *out << "Imported " << countOf(outcome->items, QStringLiteral("item"), QStringLiteral("items")) << " from "
             << shownPath << "; "
             << countOf(outcome->categoriesAdded, QStringLiteral("category"), QStringLiteral("categories")) << " and "
             << countOf(outcome->locationsAdded, QStringLiteral("location"), QStringLiteral("locations"))
             << " added.\n";
    return *outcome;
}

void addItemsToFolder(const QString &folder, const QString &path, ProblemRows problemRows, QTextStream &out)
{
    const QString inventory = QDir(folder).filePath(QStringLiteral("stowbook.db"));
    if (!QFileInfo::exists(inventory))
        throw SetupError(QStringLiteral("%1 holds no stowbook.db to add items to; to set up a new data folder "
                                        "with the items, use --import.")
                             .arg(QDir::toNativeSeparators(folder)));
    try {
        std::unique_ptr<Database> db = Database::open(inventory);
        importItemsFile(*db, path, problemRows, &out);
        db->close();
    } catch (const DbError &error) {
        throw SetupError(QStringLiteral("Could not add the items to %1: %2  %3")
                             .arg(QDir::toNativeSeparators(inventory))
                             .arg(error.number())
                             .arg(error.text()));
    }
}
