#include "FuzzSupport.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/ReportQuery.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <memory>

namespace {

class SilentPrompts : public Prompts {
public:
    Answer message(const QString &, Buttons buttons, Icon, const QString &) override
    {
        switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Answer::Yes;
        }
        return Answer::Ok;
    }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override { return std::nullopt; }
    std::optional<QString> openFileName(const FileDialog &) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialog &) override { return std::nullopt; }
    void beep() override {}
    void openWebAddress(const QString &) override {}
    void setBusy(bool) override {}
    [[noreturn]] void endProgram(int exitCode) override
    {
        std::fprintf(stderr, "the program was ended with code %d\n", exitCode);
        std::abort();
    }
};

} // namespace

void installSilentPrompts()
{
    static SilentPrompts silent;
    setPrompts(&silent);
}

// A database built from the delivered statements in a temporary folder that
// lives until the harness ends.
static std::unique_ptr<Database> builtDatabase(const QString &fileName, const QString &statementsResource)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(fileName);
    QFile file(path);
    QFile statements(statementsResource);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || !statements.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot build %s\n", qPrintable(fileName));
        std::abort();
    }
    file.close();
    std::unique_ptr<Database> db = Database::open(path);
    db->execute(QString::fromUtf8(statements.readAll()));
    return db;
}

Database &fuzzCatalogue()
{
    static const std::unique_ptr<Database> catalogue =
        builtDatabase(QStringLiteral("rptspec.db"), QStringLiteral(":/share/rptspec.sql"));
    return *catalogue;
}

Household &fuzzHousehold()
{
    static Household household;
    return household;
}

Database &fuzzInventory()
{
    static const std::unique_ptr<Database> inventory =
        builtDatabase(QStringLiteral("stowbook.db"), QStringLiteral(":/share/stowbook.sql"));
    return *inventory;
}

void setDefaultLocale(const char *name)
{
    QLocale::setDefault(QLocale(QString::fromLatin1(name)));
}

void checkStatementRuns(const ReportSpec &spec, const ReportCatalogue &catalogue)
{
    QString problem;
    const std::optional<ReportQuery> query = buildReportQuery(spec, catalogue, &problem);
    FUZZ_REQUIRE(query.has_value(), "an accepted design has no statement: %1", problem);
    FUZZ_REQUIRE(query->sql.count(u'?') == query->params.size(), "%1 placeholders for %2 values in %3",
                 QString::number(query->sql.count(u'?')), QString::number(query->params.size()), query->sql);
    try {
        fuzzInventory().openRecordset(query->sql, RecordsetType::Snapshot, query->params);
    } catch (const DbError &error) {
        FUZZ_REQUIRE(false, "the statement fails: %1 %2 in %3", QString::number(error.number()), error.text(),
                     query->sql);
    }
}

void startPictureFuzzer(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(*argc, *argv);
    installSilentPrompts();
}
