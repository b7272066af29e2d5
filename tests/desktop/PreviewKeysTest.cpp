// The report output window under real hands: page keys, the page buttons'
// access keys and zooming in steps, on a shown, active window.
#include "DesktopFixture.h"

#include "reports/PageLayout.h"
#include "reports/viewer/frmOutput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace {

class PreviewDesktop : public DesktopTest {
protected:
    void TearDown() override
    {
        delete frmOutput::current();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DesktopTest::TearDown();
    }

    // A screen report of numbered rows in the output window, shown, active,
    // and the pages in the keyboard's reach.
    frmOutput &showReport(int rows)
    {
        start();
        const QString TableFormat = QStringLiteral("2880|>1440;");
        frmOutput *output = frmOutput::instance(household, window.get());
        PageLayout *preview = output->PrintPreview;
        preview->startDoc(
            PageLayout::RepeatedHeading{TableFormat, {QStringLiteral("Description"), QStringLiteral("Value")}});
        for (int r = 0; r < rows; ++r)
            preview->tableText(TableFormat, {QStringLiteral("Row %1").arg(r), QString::number(r)});
        preview->endDoc();
        output->resize(900, 760);
        frmOutput::showOutput();
        EXPECT_TRUE(waitUntilActive(output)) << "the display did not activate the output window";
        click(output->view);
        return *output;
    }

    static void wheel(QWidget *target, int delta, Qt::KeyboardModifiers modifiers)
    {
        const QPointF at = QRectF(target->rect()).center();
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
};

} // namespace

TEST_F(PreviewDesktop, PageKeysAndAccessKeysTurnThePages)
{
    frmOutput &w = showReport(300);
    const int last = w.PrintPreview->pageCount() - 1;
    ASSERT_GE(last, 4);
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        char access; // instead of the key: Alt and this letter
        int page;    // shown afterwards, from 0
    } steps[] = {
        {Qt::Key_PageDown, {}, 0, 1},
        {Qt::Key_PageDown, {}, 0, 2},
        {Qt::Key_PageUp, {}, 0, 1},
        {Qt::Key_End, {}, 0, last},
        {Qt::Key_Home, {}, 0, 0},
        {Qt::Key_End, Qt::ControlModifier, 0, last},
        {Qt::Key_Home, Qt::ControlModifier, 0, 0},
        {0, {}, 'x', 1},
        {0, {}, 'l', last},
        {0, {}, 'v', last - 1},
        {0, {}, 'f', 0},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(testing::Message() << "key " << step.key << " access " << step.access);
        if (step.key)
            press(step.key, step.modifiers);
        else
            alt(step.access);
        EXPECT_EQ(w.view->currentPage(), step.page);
        EXPECT_EQ(w.lblPage->text(), QStringLiteral("Page %1 of %2").arg(step.page + 1).arg(last + 1));
    }
    // Two pages in sight: the keys turn two at a time.
    alt('t');
    click(w.view);
    press(Qt::Key_PageDown);
    EXPECT_EQ(w.view->currentPage(), 2);
}

TEST_F(PreviewDesktop, ZoomGoesInStepsUpTo400PercentByKeysAndTheWheel)
{
    frmOutput &w = showReport(30);
    PageLayoutView *view = w.view;
    const double inches = w.PrintPreview->documentPageSize().width() / 1440;
    // The size shown is told as it is, also once the window has its size.
    EXPECT_NEAR(view->zoomPercent(), 100 * view->pageRects().value(0).width() / (inches * view->logicalDpiX()), 1);
    EXPECT_EQ(w.lblZoom->text(), QStringLiteral("%1 %").arg(view->zoomPercent()));
    // Ctrl and plus, step by step, up to four times the page's own size.
    int before = view->zoomPercent();
    for (int step = 0; step < 20 && view->zoomPercent() < PageLayoutView::MaxZoomPercent; ++step) {
        press(Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_GT(view->zoomPercent(), before);
        before = view->zoomPercent();
    }
    EXPECT_EQ(view->zoomPercent(), 400);
    press(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(view->zoomPercent(), 400);
    EXPECT_NEAR(view->pageRects().value(0).width(), 4 * inches * view->logicalDpiX(), 2);
    EXPECT_EQ(w.lblZoom->text(), QStringLiteral("400 %"));

    press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(view->zoomPercent(), 400);
    // The wheel with Ctrl zooms; without it, it only moves.
    const int zoomed = view->zoomPercent();
    wheel(view->viewport(), -120, Qt::ControlModifier);
    EXPECT_LT(view->zoomPercent(), zoomed);
    const int out = view->zoomPercent();
    wheel(view->viewport(), 120, Qt::NoModifier);
    EXPECT_EQ(view->zoomPercent(), out);
    wheel(view->viewport(), 120, Qt::ControlModifier);
    EXPECT_EQ(view->zoomPercent(), zoomed);

    // A zoom choice fits the page again.
    alt('p');
    EXPECT_TRUE(w.optWholePage->isChecked());
    EXPECT_LT(view->zoomPercent(), zoomed);
}
