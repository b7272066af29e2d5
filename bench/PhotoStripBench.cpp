// The picture window following the item editor through items of 20 photos
// each: the time from Next to the item's form and picture window painted
// (its photo large, the strip's thumbnails still coming), then until every
// thumbnail of the strip is there, and Previous back to an item whose
// thumbnails are kept.
//   stowbook-bench-photostrip DATAFOLDER PHOTOFOLDER [RUNS]
// The first run gives every item of DATAFOLDER that has no further photos
// 19 of PHOTOFOLDER's *.jpg besides its picture, attached as the picture
// window attaches them.
#include "BenchProgram.h"
#include "QuietPrompts.h"
#include "Timings.h"

#include "app/frmMain.h"
#include "items/ItemAttachments.h"
#include "items/picture/PhotoStrip.h"
#include "items/picture/frmImage.h"
#include "program/Household.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int PhotosPerItem = 20;

// Visible means painted: the windows rendered as the screen would show them.
void paint(frmMain &main, QWidget *picture)
{
    const QPixmap form = main.grab();
    const QPixmap shown = picture->grab();
    Q_UNUSED(form);
    Q_UNUSED(shown);
}

void attachPhotos(Household &household, const QStringList &photos)
{
    QList<qint64> items;
    household.trapDb([&] {
        Recordset &rsItems = household.items();
        for (rsItems.moveFirst(); !rsItems.eof(); rsItems.moveNext())
            items << rsItems.value(QStringLiteral("iteid")).toLongLong();
    });
    ItemAttachments attachments(household);
    qsizetype next = 0;
    for (const qint64 iteid : items) {
        if (attachments.photoPaths(iteid).size() >= PhotosPerItem)
            continue;
        while (attachments.photoPaths(iteid).size() < PhotosPerItem)
            attachments.attach(iteid, AttachedKind::Photo, photos[next++ % photos.size()]);
    }
}

} // namespace

int main(int argc, char **argv)
{
    BenchApplication<QApplication> app(argc, argv);
    const QStringList args = app.args();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: stowbook-bench-photostrip DATAFOLDER PHOTOFOLDER [RUNS]\n");
        return 2;
    }
    QStringList photos;
    const QDir photoFolder(args[1]);
    for (const QString &name : photoFolder.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        photos << photoFolder.filePath(name);
    require(!photos.isEmpty(), "the photo folder holds no *.jpg");
    QuietPrompts prompts;
    setPrompts(&prompts);

    Household household;
    frmMain main(household, QStringList{QStringLiteral("-d"), args[0]});
    main.Form_Load();
    main.show();
    require(household.rsItems() && household.rsItems()->recordCount() > 2, "the data folder holds fewer than 3 items");
    attachPhotos(household, photos);
    const int count = household.rsItems()->recordCount();
    const int runs = std::min(args.size() > 2 ? qMax(1, args[2].toInt()) : 9, count - 2);

    main.cmdFirst_Click();
    main.cmdPicture_Click();
    auto *picture = qobject_cast<frmImage *>(QApplication::activeWindow());
    if (!picture) {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *shown = qobject_cast<frmImage *>(window))
                picture = shown;
        }
    }
    require(picture && picture->photoStrip->photos().size() == PhotosPerItem, "the picture window shows no 20 photos");
    auto waitForThumbnails = [&] {
        while (picture->photoStrip->thumbnailsPending() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    };
    waitForThumbnails();

    std::vector<Timing> timings;
    timings.push_back(timeRuns(QStringLiteral("Next, new item"), 50, runs, nullptr, [&] {
        main.cmdNext_Click();
        paint(main, picture);
    }));
    // The last item was never shown: all its thumbnails are read anew.
    timings.push_back(timeRuns(QStringLiteral("every thumbnail"), 1000, 1, nullptr, [&] {
        main.cmdLast_Click();
        waitForThumbnails();
        paint(main, picture);
    }));
    // Back and forth between the first two items, their thumbnails kept.
    main.cmdFirst_Click();
    waitForThumbnails();
    main.cmdNext_Click();
    waitForThumbnails();
    timings.push_back(timeRuns(
        QStringLiteral("Previous, kept"), 50, runs, [&] { main.cmdNext_Click(); },
        [&] {
            main.cmdPrevious_Click();
            paint(main, picture);
        }));
    require(picture->photoStrip->photos().size() == PhotosPerItem, "the picture window lost the item's photos");
    require(prompts.messages.isEmpty(), "a message was shown while timing");
    std::printf("Picture window through items of %d photos (medians)\n%s\n", PhotosPerItem,
                qPrintable(timingTable(timings)));
    return 0;
}
