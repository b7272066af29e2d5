#include "reports/frmOutput.h"

#include "app/ConfirmReplaceFile.h"
#include "app/Globals.h"
#include "app/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/ReportTableHeading.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

static QPointer<frmOutput> s_output;
static frmOutput::PrintDialogRunner s_printDialog;

static bool runPrintDialog(QPrinter &printer, int pageCount, QWidget *parent)
{
    if (s_printDialog)
        return s_printDialog(printer, pageCount, parent);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    return dialog.exec() == QDialog::Accepted;
}

frmOutput *frmOutput::instance(QWidget *mainWindow)
{
    if (!s_output)
        s_output = new frmOutput(mainWindow);
    return s_output;
}

frmOutput *frmOutput::current()
{
    return s_output;
}

frmOutput *frmOutput::showOutput()
{
    frmOutput *window = instance();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void frmOutput::setPrintDialogRunner(PrintDialogRunner runner)
{
    s_printDialog = std::move(runner);
}

frmOutput::frmOutput(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Report Output"));

    PrintPreview = new PageLayout(this);
    connect(PrintPreview, &PageLayout::newPage, this, &frmOutput::PrintPreview_NewPage);

    view = new PageLayoutView(this);
    view->setDocument(PrintPreview);
    connect(view, &PageLayoutView::viewChanged, this, &frmOutput::showPageState);

    const auto button = [this](const QString &caption, const QString &tip, void (frmOutput::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    cmdFirst = button(QStringLiteral("<<"), QStringLiteral("First page"), &frmOutput::cmdFirst_Click);
    cmdPrevious = button(QStringLiteral("<"), QStringLiteral("Previous page"), &frmOutput::cmdPrevious_Click);
    cmdNext = button(QStringLiteral(">"), QStringLiteral("Next page"), &frmOutput::cmdNext_Click);
    cmdLast = button(QStringLiteral(">>"), QStringLiteral("Last page"), &frmOutput::cmdLast_Click);
    for (QPushButton *paging : {cmdFirst, cmdPrevious, cmdNext, cmdLast})
        paging->setMaximumWidth(paging->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 4);
    lblPage = new QLabel(this);
    lblPage->setAlignment(Qt::AlignCenter);
    lblPage->setMinimumWidth(lblPage->fontMetrics().horizontalAdvance(QStringLiteral("Page 0000 of 0000")));

    auto *zoomGroup = new QButtonGroup(this);
    optWholePage = zoomButton(QStringLiteral("Whole &Page"), PageLayoutView::Zoom::WholePage);
    optPageWidth = zoomButton(QStringLiteral("Page &Width"), PageLayoutView::Zoom::PageWidth);
    optTwoPages = zoomButton(QStringLiteral("&Two Pages"), PageLayoutView::Zoom::TwoPages);
    optThumbnail = zoomButton(QStringLiteral("Thumb&nail"), PageLayoutView::Zoom::Thumbnail);
    for (QToolButton *zoom : {optWholePage, optPageWidth, optTwoPages, optThumbnail})
        zoomGroup->addButton(zoom);

    cmdPrint = button(QStringLiteral("P&rint..."), QStringLiteral("Print the report"), &frmOutput::cmdPrint_Click);
    cmdSavePdf = button(QStringLiteral("Save as P&DF..."), QStringLiteral("Save the report as a PDF file"),
                        &frmOutput::cmdSavePdf_Click);
    cmdOK = button(QStringLiteral("&Ok"), QString(), &frmOutput::cmdOK_Click);
    cmdOK->setDefault(true);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &frmOutput::cmdOK_Click);

    auto *bar = new QHBoxLayout;
    bar->addWidget(cmdFirst);
    bar->addWidget(cmdPrevious);
    bar->addWidget(lblPage);
    bar->addWidget(cmdNext);
    bar->addWidget(cmdLast);
    bar->addSpacing(16);
    for (QToolButton *zoom : {optWholePage, optPageWidth, optTwoPages, optThumbnail})
        bar->addWidget(zoom);
    bar->addStretch(1);
    bar->addWidget(cmdPrint);
    bar->addWidget(cmdSavePdf);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);

    resize(900, 760);
    showPageState();
}

QToolButton *frmOutput::zoomButton(const QString &caption, PageLayoutView::Zoom zoom)
{
    auto *b = new QToolButton(this);
    b->setText(caption);
    b->setCheckable(true);
    b->setChecked(view->zoom() == zoom);
    connect(b, &QToolButton::clicked, this, [this, zoom] { setZoom(zoom); });
    return b;
}

void frmOutput::showPageState()
{
    const int count = view->pageCount();
    const int page = view->currentPage();
    lblPage->setText(count == 0 ? QString()
                                : QStringLiteral("Page %1 of %2").arg(page + 1).arg(count));
    cmdFirst->setEnabled(page > 0);
    cmdPrevious->setEnabled(page > 0);
    cmdNext->setEnabled(page + view->pagesShown() < count);
    cmdLast->setEnabled(page + view->pagesShown() < count);
    cmdPrint->setEnabled(count > 0);
    cmdSavePdf->setEnabled(count > 0);
    optWholePage->setChecked(view->zoom() == PageLayoutView::Zoom::WholePage);
    optPageWidth->setChecked(view->zoom() == PageLayoutView::Zoom::PageWidth);
    optTwoPages->setChecked(view->zoom() == PageLayoutView::Zoom::TwoPages);
    optThumbnail->setChecked(view->zoom() == PageLayoutView::Zoom::Thumbnail);
}

void frmOutput::cmdOK_Click()
{
    close();
}

void frmOutput::PrintPreview_NewPage()
{
    addRepeatedHeading(*PrintPreview);
}

void frmOutput::setZoom(PageLayoutView::Zoom zoom)
{
    view->setZoom(zoom);
    showPageState();
}

void frmOutput::cmdFirst_Click()
{
    view->setCurrentPage(0);
}

void frmOutput::cmdPrevious_Click()
{
    view->setCurrentPage(view->currentPage() - view->pagesShown());
}

void frmOutput::cmdNext_Click()
{
    view->setCurrentPage(view->currentPage() + view->pagesShown());
}

void frmOutput::cmdLast_Click()
{
    // The last screenful, so as many pages as fit are still in sight.
    view->setCurrentPage(view->pageCount() - view->pagesShown());
}

void frmOutput::cmdPrint_Click()
{
    const int count = PrintPreview->pageCount();
    if (count == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(PrintPreview->documentPageLayout());
    if (!runPrintDialog(printer, count, this))
        return;
    bool printed = false;
    {
        BusyCursor busy;
        printed = PrintPreview->paintPages(printer, printer.pageRanges());
    }
    if (!printed)
        prompts().message(QStringLiteral("The report could not be printed."), Prompts::Buttons::Ok,
                          Prompts::Icon::Exclamation, QString());
}

void frmOutput::cmdSavePdf_Click()
{
    if (PrintPreview->pageCount() == 0)
        return;
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Save as PDF");
    dialog.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*");
    dialog.fileName = ReportUseWith + QStringLiteral(".pdf");
    dialog.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> name = prompts().saveFileName(dialog);
    if (!name)
        return;
    ConfirmReplaceFile(*name);
    if (KeepExistingFile)
        return;
    QString error;
    bool saved = false;
    {
        BusyCursor busy;
        saved = PrintPreview->exportPdf(*name, &error);
    }
    if (!saved)
        prompts().message(QStringLiteral("The file '") + *name + QStringLiteral("' could not be written.\n\n") + error,
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, QString());
}
