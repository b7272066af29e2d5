// Times the value summaries and the serial number list on a large inventory:
// from the menu command to the document ended and its first page painted.
//   stowbook-bench-fixed DATAFOLDER [RUNS]
#include "BenchProgram.h"
#include "QuietPrompts.h"
#include "Timings.h"

#include "data/Database.h"
#include "data/Inventory.h"
#include "program/Household.h"
#include "reports/PageLayout.h"
#include "reports/SerialNumberReport.h"
#include "reports/ValueSummaryReport.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <functional>

// Page 1 as the preview first shows it: a letter page at screen resolution.
static void paintFirstPage(const PageLayout &doc)
{
    QImage page(850, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    doc.paintPage(painter, 0, QRectF(page.rect()));
}

int main(int argc, char **argv)
{
    BenchApplication<QGuiApplication> app(argc, argv);
    const QStringList args = app.args();
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: stowbook-bench-fixed DATAFOLDER [RUNS]\n");
        return 2;
    }
    const QString folder = QDir(args[0]).absolutePath() + QLatin1Char('/');
    const int runs = args.size() > 1 ? qMax(1, args[1].toInt()) : 7;

    QuietPrompts prompts;
    setPrompts(&prompts);
    std::vector<Timing> timings;
    Household household(folder);
    try {
        household.openInventory();
        require(household.inventory().scalar(QStringLiteral("select count(*) from items")).toLongLong() > 0,
                "the data folder holds no items");

        PageLayout doc;
        const auto report = [&](const QString &name, const std::function<void()> &build) {
            timings.push_back(timeRuns(name, 1000, runs, nullptr, [&] {
                build();
                paintFirstPage(doc);
            }));
            require(!doc.isDocOpen() && doc.pageCount() > 0 && doc.rowCount() > 1, "a report came out empty");
        };
        report(QStringLiteral("value by category"), [&] { buildValueSummary(household, doc, 1); });
        report(QStringLiteral("value by location"), [&] { buildValueSummary(household, doc, 2); });
        report(QStringLiteral("serial numbers"), [&] { buildSerialNumberList(household, doc); });
        require(prompts.messages.isEmpty(), "a report met an error");
    } catch (const std::exception &error) {
        std::fprintf(stderr, "stowbook-bench-fixed: %s\n", error.what());
        return 1;
    }
    household.closeInventory();
    std::printf("%s\n", qPrintable(timingTable(timings)));
    return 0;
}
