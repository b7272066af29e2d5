// Times the item editor on a large inventory: start-up to the first item
// shown, the four moves, Find with and without a match (and a search inside
// the descriptions), and Update.
//   stowbook-bench DATAFOLDER [RUNS]
#include "BenchProgram.h"
#include "QuietPrompts.h"
#include "Timings.h"

#include "app/frmMain.h"
#include "program/Household.h"
#include "records/RecordEditor.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<frmMain> startWindow(Household &household, const QString &folder)
{
    auto window = std::make_unique<frmMain>(household, QStringList{QStringLiteral("-d"), folder});
    window->Form_Load();
    window->show(); // the first activation fills the lists and shows the item again
    return window;
}

} // namespace

int main(int argc, char **argv)
{
    BenchApplication<QApplication> app(argc, argv);
    const QStringList args = app.args();
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: stowbook-bench DATAFOLDER [RUNS]\n");
        return 2;
    }
    const QString folder = args[0];
    const int runs = args.size() > 1 ? qMax(1, args[1].toInt()) : 21;
    const int startRuns = qMax(3, runs / 3);

    QuietPrompts prompts;
    setPrompts(&prompts);
    std::vector<Timing> timings;
    Household household;
    try {
        std::unique_ptr<frmMain> window;
        timings.push_back(timeRuns(
            QStringLiteral("start-up"), 500, startRuns,
            [&] {
                window.reset();
                household.closeInventory();
            },
            [&] { window = startWindow(household, folder); }));
        frmMain &w = *window;
        require(household.rsItems() && household.rsItems()->recordCount() > 0, "the data folder holds no items");
        require(!w.txtItem->text().isEmpty(), "no item is shown after start-up");
        const int count = household.rsItems()->recordCount();

        timings.push_back(timeRuns(
            QStringLiteral("First"), 5, runs, [&] { w.cmdLast_Click(); }, [&] { w.cmdFirst_Click(); }));
        timings.push_back(timeRuns(
            QStringLiteral("Last"), 5, runs, [&] { w.cmdFirst_Click(); }, [&] { w.cmdLast_Click(); }));
        w.cmdFirst_Click();
        timings.push_back(timeRuns(QStringLiteral("Next"), 5, runs, nullptr, [&] { w.cmdNext_Click(); }));

        // A hit on an item from the middle of the order, so the search cannot
        // stop early; a miss has to look at every item.
        household.rsItems()->moveFirst();
        for (int i = 0; i < count / 2; ++i)
            household.rsItems()->moveNext();
        const QString middle = household.rsItems()->value(QStringLiteral("Item")).toString();
        w.cmdFirst_Click();
        timings.push_back(timeRuns(
            QStringLiteral("Find (hit)"), 50, runs,
            [&] {
                w.cmdFirst_Click();
                prompts.nextInput = middle;
            },
            [&] { w.cmdFind_Click(); }));
        require(w.txtItem->text().startsWith(middle, Qt::CaseInsensitive), "Find did not show the item looked for");
        timings.push_back(timeRuns(
            QStringLiteral("Find (miss)"), 50, runs,
            [&] { prompts.nextInput = QStringLiteral("no such item \"at all\""); }, [&] { w.cmdFind_Click(); }));
        require(prompts.messages.size() == runs, "Find without a match did not say so");
        // A leading star searches inside every description.
        const QString inside = QStringLiteral("*") + middle.mid(middle.size() / 2);
        timings.push_back(timeRuns(
            QStringLiteral("Find (*inside)"), 50, runs,
            [&] {
                w.cmdFirst_Click();
                prompts.nextInput = inside;
            },
            [&] { w.cmdFind_Click(); }));
        prompts.messages.clear();

        // Update of the item in the middle, changing one field back and forth.
        w.cmdFirst_Click();
        prompts.nextInput = middle;
        w.cmdFind_Click();
        const QString misc = w.txtMisc1->text();
        int round = 0;
        timings.push_back(timeRuns(
            QStringLiteral("Update"), 20, runs,
            [&] { w.txtMisc1->setText(++round % 2 ? misc + QStringLiteral(" (bench)") : misc); },
            [&] { w.cmdUpdate_Click(); }));
        require(!w.editor().changing(), "Update did not end the edit");
        if (round % 2) {
            w.txtMisc1->setText(misc);
            w.cmdUpdate_Click();
        }
        require(prompts.messages.isEmpty(), "a message was shown while timing");
        window.reset();
        household.closeInventory();
        std::printf("Item editor on %d items (medians of the runs)\n%s\n", count, qPrintable(timingTable(timings)));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "stowbook-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
