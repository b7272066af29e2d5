// Every window fits a 1366 x 768 screen with room for a panel: as it opens,
// as small as it can be made, and as large as its contents ask to be.
#include "ItemWindowFixture.h"

#include "backup/BackupError.h"
#include "backup/window/BackupWindow.h"
#include "claim/window/frmClaim.h"
#include "claim/window/frmReadiness.h"
#include "dates/calendar/frmDateEnt.h"
#include "help/viewer/HelpViewer.h"
#include "help/viewer/HelpWindow.h"
#include "itemlist/window/frmItemList.h"
#include "photoitems/window/frmPhotoItems.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QProgressDialog>
#include <QSignalSpy>
#include <functional>

TEST_F(ItemWindowTest, EveryWindowFitsASmallLaptopScreen)
{
    m_folder = std::make_unique<TestDataFolder>(SetupOptions{.demo = true});
    frmMain &main = start();
    // The screen less a panel of 48 pixels.
    const QSize screen(1366, 720);
    using Secondary = frmMain::Secondary;
    BackupRun *backup = nullptr;
    struct Row {
        const char *window;
        std::function<QWidget *()> open;
    };
    const Row rows[] = {
        {"main window", [&]() -> QWidget * { return &main; }},
        {"item list",
         [&]() -> QWidget * {
             main.mnuItemList_Click();
             return frmItemList::instance();
         }},
        {"categories",
         [&] {
             main.mnuMaint_Click(1);
             return main.secondaryWindow(Secondary::CodesMaint);
         }},
        {"picture",
         [&] {
             main.cmdPicture_Click();
             return main.secondaryWindow(Secondary::Picture);
         }},
        {"documents",
         [&] {
             main.mnuDocuments_Click();
             return main.secondaryWindow(Secondary::Documents);
         }},
        {"warranty and disposal",
         [&] {
             main.mnuWarranty_Click();
             return main.secondaryWindow(Secondary::Warranty);
         }},
        {"warranties",
         [&] {
             main.mnuWarranties_Click();
             return main.secondaryWindow(Secondary::Warranties);
         }},
        {"report output",
         [&] {
             main.mnuRptAll_Click(1);
             return main.secondaryWindow(Secondary::Output);
         }},
        {"designer",
         [&] {
             main.mnuCustom_Click();
             return main.secondaryWindow(Secondary::Designer);
         }},
        {"insurance claim", [&]() -> QWidget * { return frmClaim::showClaim(household, &main); }},
        {"claim readiness",
         [&]() -> QWidget * {
             main.mnuReadiness_Click();
             return frmReadiness::instance();
         }},
        {"help",
         [&]() -> QWidget * {
             main.mnuHelp_Click(1);
             return helpWindow();
         }},
        {"about",
         [&] {
             main.mnuAbout_Click();
             return main.secondaryWindow(Secondary::About);
         }},
        {"calendar",
         [&]() -> QWidget * {
             auto *calendar = new frmDateEnt(DateValue::fromDate(QDate(2024, 2, 29)), &main);
             calendar->setAttribute(Qt::WA_DeleteOnClose);
             calendar->show();
             return calendar;
         }},
        {"backup progress",
         [&]() -> QWidget * {
             auto *run = backup =
                 new BackupRun(folder().path(), folder().file(QStringLiteral("x.zip")), &main,
                               [](const QString &, const QString &, BackupProgress *) -> BackupSummary {
                                   throw BackupError(QStringLiteral("not written here"));
                               });
             return run->progressWindow();
         }},
        {"add items from photos",
         [&]() -> QWidget * {
             QImage photo(4000, 3000, QImage::Format_RGB32);
             photo.fill(Qt::darkCyan);
             const QString path = folder().file(QStringLiteral("photo.jpg"));
             photo.save(path, "JPEG");
             auto *batch = new frmPhotoItems(household, readPhotos({path, path}), {}, &main);
             batch->setAttribute(Qt::WA_DeleteOnClose);
             batch->show();
             return batch;
         }},
        {"automatic copies",
         [&] {
             main.mnuCopies_Click();
             return main.secondaryWindow(Secondary::Copies);
         }},
        {"restore from copy",
         [&] {
             main.mnuRestoreCopy_Click();
             return main.secondaryWindow(Secondary::CopyRestore);
         }},
        // The import window opens on a file it has read: its own tests, which
        // have such files at hand, check its size (TransferWindowsTest).
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.window);
        QWidget *window = row.open();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        const QSize opened = window->size();
        const QSize smallest = window->minimumSize().expandedTo(window->minimumSizeHint());
        const QSize asked = window->sizeHint();
        for (const auto &[what, size] :
             {std::pair("opened", opened), std::pair("smallest", smallest), std::pair("size hint", asked)}) {
            EXPECT_LE(size.width(), screen.width()) << what << " " << size.width() << " x " << size.height();
            EXPECT_LE(size.height(), screen.height()) << what << " " << size.width() << " x " << size.height();
        }
    }
    // The backup that was never to be written ends before the program does.
    QSignalSpy ended(backup, &BackupRun::finished);
    EXPECT_TRUE(ended.count() == 1 || ended.wait(60000));
    prompts.clear();
    closeHelpWindow();
    main.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
