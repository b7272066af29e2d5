// Times the claim readiness on a large inventory: the check of every item
// (choices read, pictures listed, items read and judged), and the check with
// the report laid out and its first page painted.
//   stowbook-bench-readiness DATAFOLDER [RUNS]
#include "BenchProgram.h"
#include "QuietPrompts.h"
#include "Timings.h"

#include "claim/ClaimReadiness.h"
#include "data/Database.h"
#include "program/Household.h"
#include "reports/PageLayout.h"

#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

int main(int argc, char **argv)
{
    BenchApplication<QGuiApplication> app(argc, argv);
    const QStringList args = app.args();
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: stowbook-bench-readiness DATAFOLDER [RUNS]\n");
        return 2;
    }
    const QString folder = QDir(args[0]).absolutePath() + QLatin1Char('/');
    const int runs = args.size() > 1 ? qMax(1, args[1].toInt()) : 5;

    QuietPrompts prompts;
    setPrompts(&prompts);
    std::vector<Timing> timings;
    Household household(folder);
    try {
        household.openInventory();
        const qint64 items = household.inventory().scalar(QStringLiteral("select count(*) from items")).toLongLong();
        require(items > 0, "the data folder holds no items");
        Readiness readiness;
        timings.push_back(timeRuns(QStringLiteral("readiness of %1 items").arg(items), 2000, runs, nullptr,
                                   [&] { readiness = checkReadiness(household, readReadinessChoices(household)); }));
        require(readiness.itemCount == items, "not every item was checked");
        PageLayout doc;
        timings.push_back(timeRuns(QStringLiteral("... and its report laid out"), 2000, runs, nullptr, [&] {
            const ReadinessChoices choices = readReadinessChoices(household);
            buildReadinessDocument(doc, checkReadiness(household, choices), choices, QDate::currentDate());
            QImage page(850, 1100, QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            doc.paintPage(painter, 0, QRectF(page.rect()));
        }));
        std::printf("%lld items, %d pages; no photo %d, no value %d, no serial number %d, no receipt %d; "
                    "%.1f %% of the value fully documented\n",
                    items, doc.pageCount(), readiness.counts[0], readiness.counts[1], readiness.counts[2],
                    readiness.counts[3], readiness.documentedShare().value_or(0) * 100);
        require(prompts.messages.isEmpty(), "the check met an error");
    } catch (const std::exception &error) {
        std::fprintf(stderr, "stowbook-bench-readiness: %s\n", error.what());
        return 1;
    }
    household.closeInventory();
    std::printf("%s\n", qPrintable(timingTable(timings)));
    return 0;
}
