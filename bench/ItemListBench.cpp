// The item list on a large inventory: the time from the View menu's entry
// to the first screen painted, a re-sort by a click on a heading, each
// keystroke of typing two words and taking them back, and searches for new
// texts that no earlier search helps (all painted, as the screen shows them).
//   stowbook-list-bench DATAFOLDER [RUNS]
//   stowbook-list-bench --export-sql     the export's statement, for the
//                                        sqlite3 shell
#include "BenchProgram.h"
#include "QuietPrompts.h"
#include "Timings.h"

#include "app/frmMain.h"
#include "itemlist/ItemListModel.h"
#include "itemlist/window/frmItemList.h"
#include "program/Household.h"
#include "transfer/ItemExport.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPixmap>
#include <QTableView>
#include <cstdio>

namespace {

// Visible means painted: the window rendered as the screen would show it.
void paint(QWidget *window)
{
    const QPixmap shown = window->grab();
    Q_UNUSED(shown);
}

void closeList()
{
    if (frmItemList *list = frmItemList::instance())
        list->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char **argv)
{
    BenchApplication<QApplication> app(argc, argv);
    const QStringList args = app.args();
    if (args.value(0) == u"--export-sql") {
        std::printf("%s;\n", qPrintable(ItemExportStatement));
        return 0;
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: stowbook-list-bench DATAFOLDER [RUNS] | --export-sql\n");
        return 2;
    }
    const int runs = args.size() > 1 ? qMax(1, args[1].toInt()) : 11;
    QuietPrompts prompts;
    setPrompts(&prompts);

    Household household;
    frmMain main(household, QStringList{QStringLiteral("-d"), args[0]});
    main.Form_Load();
    require(household.rsItems() && household.rsItems()->recordCount() > 0, "the data folder holds no items");
    const int count = household.rsItems()->recordCount();
    // The list is opened from the main window on the screen: Qt's first
    // painting (fonts, style) is done by then, as it is for the user.
    main.show();
    paint(&main);

    std::vector<Timing> timings;
    // A million items may take a little longer to come up than a hundred thousand.
    const double firstScreenTarget = count > 100'000 ? 300 : 200;
    timings.push_back(timeRuns(QStringLiteral("first screen"), firstScreenTarget, runs, closeList, [&] {
        main.mnuItemList_Click();
        paint(frmItemList::instance());
    }));
    frmItemList *list = frmItemList::instance();
    require(list && list->model()->rowCount() == count, "the list does not show every item");

    // Each run sorts by another column than the run before, as a click on
    // a new heading does; every other run turns the same column round.
    const int columns[] = {int(ListColumn::Category),  int(ListColumn::TotValue), int(ListColumn::Manufact),
                           int(ListColumn::PurchDate), int(ListColumn::SerNo),    int(ListColumn::Item)};
    int round = 0;
    timings.push_back(timeRuns(QStringLiteral("re-sort"), 300, runs, nullptr, [&] {
        const int column = columns[(round / 2) % std::size(columns)];
        const Qt::SortOrder order = round % 2 ? Qt::DescendingOrder : Qt::AscendingOrder;
        ++round;
        list->grdItems->horizontalHeader()->setSortIndicator(column, order);
        paint(list);
    }));
    list->grdItems->horizontalHeader()->setSortIndicator(int(ListColumn::Item), Qt::AscendingOrder);

    // Every keystroke of two words typed into the search box, then taken
    // back one by one.
    const QString typed = QStringLiteral("warranty kitchen");
    QStringList steps;
    for (qsizetype i = 1; i <= typed.size(); ++i)
        steps << typed.left(i);
    for (qsizetype i = typed.size() - 1; i >= 0; --i)
        steps << typed.left(i);
    qsizetype step = 0;
    timings.push_back(
        timeRuns(QStringLiteral("search keystroke"), 100, int(steps.size()) * qMax(1, runs / 5), nullptr, [&] {
            list->txtSearch->setText(steps[step++ % steps.size()]);
            paint(list);
        }));
    require(list->model()->rowCount() == count, "the search did not come back to every item");
    // Texts that neither narrow the one before nor were searched before:
    // each one looks at every item.
    const QStringList fresh = {QStringLiteral("oak"),       QStringLiteral("registered"), QStringLiteral("bedroom"),
                               QStringLiteral("sony"),      QStringLiteral("scratch"),    QStringLiteral("garage"),
                               QStringLiteral("black"),     QStringLiteral("cabinet"),    QStringLiteral("x"),
                               QStringLiteral("inherited"), QStringLiteral("z"),          QStringLiteral("gift")};
    qsizetype next = 0;
    timings.push_back(timeRuns(QStringLiteral("search, new text"), 100, int(fresh.size()), nullptr, [&] {
        list->txtSearch->setText(fresh[next++]);
        paint(list);
    }));
    list->txtSearch->setText(typed);
    const int found = list->model()->rowCount();
    require(prompts.messages.isEmpty(), "a message was shown while timing");

    std::printf("Item list on %d items (medians; \"%s\" finds %d)\n%s\n", count, qPrintable(typed), found,
                qPrintable(timingTable(timings)));
    closeList();
    main.Form_Unload();
    return 0;
}
