#include "LayoutFixture.h"

#include "ScriptedPrompts.h"
#include "program/Household.h"
#include "reports/viewer/frmOutput.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

class OutputWindow : public LayoutTest {
protected:
    ~OutputWindow() override
    {
        frmOutput::setPrintDialogRunner({});
        delete frmOutput::current();
    }

    // A screen report of `rows` rows, run the way the report engine runs one.
    frmOutput *runReport(int rows)
    {
        PageLayout *preview = frmOutput::instance(household)->PrintPreview;
        if (RepeatHeading)
            preview->startDoc(PageLayout::RepeatedHeading{TableFormat, TableHeading});
        else
            preview->startDoc();
        for (const QStringList &row : numberedRows(rows))
            preview->tableText(TableFormat, row);
        preview->endDoc();
        frmOutput::instance(household)->resize(900, 760);
        return frmOutput::showOutput();
    }

    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    ScriptedPrompts prompts;
    Household household;
    QString TableFormat = QStringLiteral("2880|>1440;");
    QStringList TableHeading = {QStringLiteral("Description"), QStringLiteral("Value")};
    bool RepeatHeading = true;
};

TEST_F(OutputWindow, OneWindowShowsEachNewReportFromItsFirstPage)
{
    frmOutput *window = runReport(300);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Report Output"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    // The window's new-page handler repeats the heading.
    const PageLayout &document = *window->PrintPreview;
    ASSERT_GT(document.pageCount(), 3);
    const PlacedRow top = document.pageContent(document.pageCount() - 1).rows.value(0);
    EXPECT_EQ(document.rowCells(top.row), TableHeading);
    window->cmdLast_Click();

    RepeatHeading = false;
    EXPECT_EQ(runReport(10), window);
    EXPECT_EQ(window->PrintPreview->pageCount(), 1);
    EXPECT_EQ(window->lblPage->text(), QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(document.rowCount(), 10);
}

TEST_F(OutputWindow, PagingButtonsMoveThroughThePages)
{
    frmOutput *window = runReport(300);
    const int count = window->PrintPreview->pageCount();
    ASSERT_GE(count, 4);
    const struct {
        QPushButton *button;
        int page; // shown afterwards, from 1
    } steps[] = {{window->cmdNext, 2},
                 {window->cmdNext, 3},
                 {window->cmdPrevious, 2},
                 {window->cmdLast, count},
                 {window->cmdFirst, 1}};
    for (const auto &step : steps) {
        QTest::mouseClick(step.button, Qt::LeftButton);
        EXPECT_EQ(window->lblPage->text(), QStringLiteral("Page %1 of %2").arg(step.page).arg(count));
    }
    // At either end the buttons that lead nowhere are off.
    EXPECT_FALSE(window->cmdPrevious->isEnabled());
    window->cmdLast_Click();
    EXPECT_FALSE(window->cmdNext->isEnabled());
    EXPECT_TRUE(window->cmdFirst->isEnabled());
}

TEST_F(OutputWindow, ZoomChoicesShapeThePagesInSight)
{
    frmOutput *window = runReport(300);
    PageLayoutView *view = window->view;
    const QRect sight = view->viewport()->rect();
    EXPECT_EQ((QStringList{window->optWholePage->text(), window->optPageWidth->text(), window->optTwoPages->text(),
                           window->optThumbnail->text()}),
              (QStringList{"Whole &Page", "Page &Width", "&Two Pages", "Thumb&nail"}));

    EXPECT_TRUE(window->optWholePage->isChecked());
    ASSERT_EQ(view->pageRects().size(), 1);
    EXPECT_TRUE(sight.contains(view->pageRects()[0]));

    QTest::mouseClick(window->optPageWidth, Qt::LeftButton);
    EXPECT_FALSE(window->optWholePage->isChecked());
    ASSERT_EQ(view->pageRects().size(), 1);
    EXPECT_NEAR(view->pageRects()[0].width(), view->viewport()->width() - 2 * PageLayoutView::Gap, 1);
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);

    // Two pages side by side, paging by two.
    window->cmdNext_Click();
    QTest::mouseClick(window->optTwoPages, Qt::LeftButton);
    const QList<QRect> two = view->pageRects();
    ASSERT_EQ(two.size(), 2);
    EXPECT_GT(two[1].left(), two[0].right());
    EXPECT_TRUE(sight.contains(two[0].united(two[1])));
    window->cmdNext_Click();
    EXPECT_EQ(view->currentPage(), 3);

    // Thumbnails; a double click shows that page whole.
    QTest::mouseClick(window->optThumbnail, Qt::LeftButton);
    window->cmdFirst_Click();
    const QList<QRect> thumbs = view->pageRects();
    ASSERT_GT(thumbs.size(), 4);
    EXPECT_EQ(thumbs[0].width(), PageLayoutView::ThumbnailWidth);
    // Only the pages are white, on the darker background.
    const QImage shot = view->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(thumbs[4].topLeft() + QPoint(2, 2)), qRgb(255, 255, 255));
    EXPECT_NE(shot.pixel(1, 1), qRgb(255, 255, 255));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, thumbs[2].center());
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_TRUE(window->optWholePage->isChecked());
}

TEST_F(OutputWindow, PrintsThePagesChosenInThePrintDialog)
{
    frmOutput *window = runReport(300);
    const QString file = path(QStringLiteral("printed.pdf"));
    bool accept = true;
    int offered = 0;
    frmOutput::setPrintDialogRunner([&](QPrinter &printer, int pageCount, QWidget *) {
        offered = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2-3")));
        return accept;
    });
    accept = false;
    window->cmdPrint_Click();
    EXPECT_FALSE(QFile::exists(file));

    accept = true;
    QTest::mouseClick(window->cmdPrint, Qt::LeftButton);
    EXPECT_EQ(offered, window->PrintPreview->pageCount());
    EXPECT_EQ(pdfPageCount(file), 2);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(OutputWindow, SavesAsPdfAfterAskingBeforeReplacing)
{
    household.setDataFolder(path(QString()));
    const QString title = QStringLiteral("Insured (2024/25): Δ items");
    frmOutput::instance(household)->PrintPreview->setTitle(title);
    frmOutput *window = runReport(300);
    const QString file = path(QStringLiteral("report.pdf"));
    prompts.answerFile(file);
    QTest::mouseClick(window->cmdSavePdf, Qt::LeftButton);
    EXPECT_EQ(pdfPageCount(file), window->PrintPreview->pageCount());
    const Prompts::FileDialog &asked = prompts.calls().at(0).dialog;
    EXPECT_EQ(asked.filter, QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*"));
    // The report's title is the name proposed (a "/" would make it a path)
    // and the PDF's own title; the dialog opens in the data folder.
    EXPECT_EQ(asked.fileName, QStringLiteral("Insured (2024-25): Δ items.pdf"));
    EXPECT_EQ(asked.initialFolder, household.DataFolder());
    QByteArray utf16 = "\xfe\xff";
    for (const QChar c : title) {
        for (const char byte : {char(c.unicode() >> 8), char(c.unicode() & 0xff)}) {
            if (byte == '(' || byte == ')' || byte == '\\')
                utf16 += '\\';
            utf16 += byte;
        }
    }
    EXPECT_TRUE(contents(file).contains(QByteArray("/Title (") + utf16 + ')'));

    // Declining to replace, or cancelling the dialog, keeps the file.
    QFile::remove(file);
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("kept");
    kept.close();
    prompts.answerFile(file);
    prompts.answer(Prompts::Answer::No);
    window->cmdSavePdf_Click();
    prompts.answerFile(std::nullopt);
    window->cmdSavePdf_Click();
    EXPECT_EQ(contents(file), QByteArray("kept"));

    // A file that cannot be written is reported, not taken for saved.
    prompts.clear();
    const QString unwritable = path(QStringLiteral("no/such/folder/report.pdf"));
    prompts.answerFile(unwritable);
    window->cmdSavePdf_Click();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.startsWith(QStringLiteral("The file '") + unwritable));
}

TEST_F(OutputWindow, OkClosesTheWindowAndDiscardsTheDocument)
{
    frmOutput *window = runReport(20);
    QPointer<PageLayout> document = window->PrintPreview;
    EXPECT_EQ(window->cmdOK->text(), QStringLiteral("&Ok"));
    QTest::mouseClick(window->cmdOK, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmOutput::current(), nullptr);
    EXPECT_TRUE(document.isNull());
    frmOutput *next = runReport(20);
    EXPECT_EQ(frmOutput::current(), next);
}

} // namespace
