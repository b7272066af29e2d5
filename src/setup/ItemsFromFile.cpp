#include "setup/ItemsFromFile.h"

#include "data/Database.h"
#include "transfer/ImportPlan.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Problems listed in a refusal; the rest are counted.
constexpr std::size_t ListedProblems = 20;

QString problemList(const std::vector<ImportProblem> &problems)
{
    QString text;
    for (std::size_t i = 0; i < problems.size() && i < ListedProblems; ++i)
        text += QStringLiteral("\n  ") + describeProblem(problems[i]);
    if (problems.size() > ListedProblems)
        text += QStringLiteral("\n  ... and %1 more.").arg(problems.size() - ListedProblems);
    return text;
}

void describeColumns(const ImportPlan &plan, QTextStream &out)
{
    out << "Columns of the file:\n";
    for (qsizetype c = 0; c < plan.headings().size(); ++c) {
        const ItemField field = plan.mapping()[std::size_t(c)];
        out << "  " << (plan.headings()[c].isEmpty() ? QStringLiteral("(no heading)") : plan.headings()[c]) << " -> "
            << (field == ItemField::None ? QStringLiteral("(not imported)") : fieldCaption(field)) << '\n';
    }
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
        describeColumns(*plan, *out);
    if (!plan->mapsDescription())
        throw SetupError(QStringLiteral("No column of %1 holds the item descriptions; name one of them \"%2\" "
                                        "(or \"Item\", \"Description\", \"Name\").")
                             .arg(shownPath, fieldCaption(ItemField::Item)));
    if (problemRows == ProblemRows::Refuse && !plan->problems().empty())
        throw SetupError(QStringLiteral("%1 has rows with problems; nothing was imported. Mend them, or add "
                                        "--rows good (only the rows without problems) or --rows all:%2")
                             .arg(shownPath, problemList(plan->problems())));
    if (out && !plan->problems().empty())
        *out << "Rows with problems:" << problemList(plan->problems()) << '\n';
    const ImportOutcome outcome = storeImportedItems(
        db, plan->rows(), problemRows == ProblemRows::Keep ? ImportChoice::AllRows : ImportChoice::GoodRowsOnly);
    if (out)
        *out << "Imported " << outcome.items << (outcome.items == 1 ? " item" : " items") << " from " << shownPath
             << "; " << outcome.categoriesAdded << " categories and " << outcome.locationsAdded
             << " locations added.\n";
    return outcome;
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
