// Items from a batch of photos: the time from the chosen files to the Add
// Items from Photos window's first screen painted, and the storing of one
// item per photo with its photo.
//   stowbook-bench-photoitems PHOTOFOLDER DATAFOLDER [RUNS]
// Every *.jpg of PHOTOFOLDER is one photo of the batch; DATAFOLDER gets the
// items (a scratch folder: it grows by the batch).
#include "BenchProgram.h"
#include "QuietPrompts.h"
#include "Timings.h"

#include "photoitems/PhotoItems.h"
#include "photoitems/window/frmPhotoItems.h"
#include "program/Household.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    BenchApplication<QApplication> app(argc, argv);
    const QStringList args = app.args();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: stowbook-bench-photoitems PHOTOFOLDER DATAFOLDER [RUNS]\n");
        return 2;
    }
    const int runs = args.size() > 2 ? qMax(1, args[2].toInt()) : 5;
    QuietPrompts prompts;
    setPrompts(&prompts);
    QStringList paths;
    const QDir photos(args[0]);
    for (const QString &name : photos.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << photos.filePath(name);
    require(!paths.isEmpty(), "the photo folder holds no *.jpg");

    Household household(args[1]);
    household.openInventory();
    std::vector<Timing> timings;
    // The photos are taken 20 s apart: the window proposes them all as one
    // item, whose every thumbnail is asked for at once.
    std::unique_ptr<frmPhotoItems> window;
    timings.push_back(timeRuns(
        QStringLiteral("first screen"), 1000, runs, [&] { window.reset(); },
        [&] {
            frmPhotoItems::Batch batch = frmPhotoItems::readBatch(household, paths);
            window = std::make_unique<frmPhotoItems>(household, std::move(batch.photos), std::move(batch.skipped));
            window->show();
            const QPixmap shown = window->grab();
            Q_UNUSED(shown);
        }));
    // The longest the window left a key waiting while thumbnails were read.
    double longestFrame = 0;
    timings.push_back(timeRuns(QStringLiteral("every thumbnail"), 30000, 1, nullptr, [&] {
        QElapsedTimer frame;
        while (window->thumbnailsPending() > 0) {
            frame.start();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            longestFrame = std::max(longestFrame, double(frame.nsecsElapsed()) / 1e6);
        }
        const QPixmap shown = window->grab();
        Q_UNUSED(shown);
    }));
    window.reset();
    std::vector<PhotoItem> items;
    for (const QString &path : paths)
        items.push_back(PhotoItem{QFileInfo(path).completeBaseName(), {}, {}, {}, {path}});
    timings.push_back(timeRuns(QStringLiteral("add items"), 20000, 1, nullptr, [&] {
        require(addPhotoItems(household, items).size() == items.size(), "not every item was added");
    }));
    require(prompts.messages.isEmpty(), "a message was shown while timing");
    std::printf("Add Items from Photos, %lld photos\n%s\nlongest wait between events while thumbnails were read: "
                "%.1f ms (the waits for a thumbnail included)\n",
                static_cast<long long>(paths.size()), qPrintable(timingTable(timings)), longestFrame);
    household.closeInventory();
    return 0;
}
