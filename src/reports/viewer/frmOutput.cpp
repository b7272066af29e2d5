#include "reports/viewer/frmOutput.h"

#include "program/ConfirmReplaceFile.h"
#include "program/FileChoice.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/ReportDefaults.h"
#include "reports/ReportTableHeading.h"

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

// The report's title as a file name: what would make it a path or a hidden
// file, or cannot be typed, becomes "-"; without a title, the subject's name.
static QString proposedPdfName(const QString &title)
{
    constexpr qsizetype MaxNameLength = 120;
    QString name = title.simplified().left(MaxNameLength);
    for (QChar &c : name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = u'-';
    }
    while (name.startsWith(u'.') || name.startsWith(u'-'))
        name.remove(0, 1);
    name = name.trimmed();
    return (name.isEmpty() ? ReportUseWith : name) + QStringLiteral(".pdf");
}
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

frmOutput *frmOutput::instance(Household &household, QWidget *mainWindow)
{
    if (!s_output)
        s_output = new frmOutput(household, mainWindow);
    return s_output;
}

frmOutput *frmOutput::current()
{
    return s_output;
}

frmOutput *frmOutput::showOutput()
{
    frmOutput *window = s_output;
    if (!window)
        return nullptr;
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void frmOutput::setPrintDialogRunner(PrintDialogRunner runner)
{
    s_printDialog = std::move(runner);
}

frmOutput::frmOutput(Household &household, QWidget *parent) : QWidget(parent, Qt::Window), m_household(&household)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Report Output"));

    PrintPreview = new PageLayout(this);
    connect(PrintPreview, &PageLayout::newPage, this, &frmOutput::PrintPreview_NewPage);

    view = new PageLayoutView(this);
    view->setAccessibleName(QStringLiteral("Report pages"));
    view->setDocument(PrintPreview);
    connect(view, &PageLayoutView::viewChanged, this, &frmOutput::showPageState);

    const auto button = [this](const QString &caption, const QString &tip, void (frmOutput::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    cmdFirst = button(QStringLiteral("<< &First"), QStringLiteral("First page (Home)"), &frmOutput::cmdFirst_Click);
    cmdPrevious =
        button(QStringLiteral("< Pre&vious"), QStringLiteral("Previous page (Page Up)"), &frmOutput::cmdPrevious_Click);
    cmdNext = button(QStringLiteral("Ne&xt >"), QStringLiteral("Next page (Page Down)"), &frmOutput::cmdNext_Click);
    cmdLast = button(QStringLiteral("&Last >>"), QStringLiteral("Last page (End)"), &frmOutput::cmdLast_Click);
    lblPage = new QLabel(this);
    lblPage->setAlignment(Qt::AlignCenter);
    lblPage->setMinimumWidth(lblPage->fontMetrics().horizontalAdvance(QStringLiteral("Page 0000 of 0000")));

    optWholePage = zoomButton(QStringLiteral("Whole &Page"), PageLayoutView::Zoom::WholePage);
    optPageWidth = zoomButton(QStringLiteral("Page &Width"), PageLayoutView::Zoom::PageWidth);
    optTwoPages = zoomButton(QStringLiteral("&Two Pages"), PageLayoutView::Zoom::TwoPages);
    optThumbnail = zoomButton(QStringLiteral("Thumb&nail"), PageLayoutView::Zoom::Thumbnail);
    // Zooming in steps shows one page at a size of its own; then none of
    // the four choices is on.
    const auto step = [this](const QString &caption, const QString &tip, void (frmOutput::*handler)()) {
        auto *b = new QToolButton(this);
        b->setText(caption);
        b->setToolTip(tip);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    cmdZoomIn =
        step(QStringLiteral("Zoom &In"), QStringLiteral("Larger (Ctrl+Plus, Ctrl+Wheel)"), &frmOutput::cmdZoomIn_Click);
    cmdZoomOut = step(QStringLiteral("Zoom O&ut"), QStringLiteral("Smaller (Ctrl+Minus, Ctrl+Wheel)"),
                      &frmOutput::cmdZoomOut_Click);
    lblZoom = new QLabel(this);
    lblZoom->setAlignment(Qt::AlignCenter);
    lblZoom->setMinimumWidth(lblZoom->fontMetrics().horizontalAdvance(QStringLiteral("0000 %")));

    cmdPrint = button(QStringLiteral("P&rint..."), QStringLiteral("Print the report"), &frmOutput::cmdPrint_Click);
    cmdSavePdf = button(QStringLiteral("Save as P&DF..."), QStringLiteral("Save the report as a PDF file"),
                        &frmOutput::cmdSavePdf_Click);
    cmdOK = button(QStringLiteral("&Ok"), QString(), &frmOutput::cmdOK_Click);
    cmdOK->setDefault(true);
    addShortcut(QKeySequence(Qt::Key_Escape), &frmOutput::cmdOK_Click);
    // The page keys turn the pages wherever the focus is in the window.
    addShortcut(QKeySequence(Qt::Key_PageDown), &frmOutput::cmdNext_Click);
    addShortcut(QKeySequence(Qt::Key_PageUp), &frmOutput::cmdPrevious_Click);
    for (const QKeyCombination first :
         {QKeyCombination(Qt::Key_Home), QKeyCombination(Qt::ControlModifier, Qt::Key_Home)})
        addShortcut(QKeySequence(first), &frmOutput::cmdFirst_Click);
    for (const QKeyCombination last : {QKeyCombination(Qt::Key_End), QKeyCombination(Qt::ControlModifier, Qt::Key_End)})
        addShortcut(QKeySequence(last), &frmOutput::cmdLast_Click);
    // Ctrl and "+" or "=" (the same key without Shift on many keyboards).
    addShortcut(QKeySequence::ZoomIn, &frmOutput::cmdZoomIn_Click);
    addShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Equal), &frmOutput::cmdZoomIn_Click);
    addShortcut(QKeySequence::ZoomOut, &frmOutput::cmdZoomOut_Click);

    // The pages and the printing above, the zoom below beside Ok: in one
    // row they would make the window wider than a laptop's screen.
    auto *bar = new QHBoxLayout;
    bar->addWidget(cmdFirst);
    bar->addWidget(cmdPrevious);
    bar->addWidget(lblPage);
    bar->addWidget(cmdNext);
    bar->addWidget(cmdLast);
    bar->addStretch(1);
    bar->addWidget(cmdPrint);
    bar->addWidget(cmdSavePdf);

    auto *buttons = new QHBoxLayout;
    for (QToolButton *zoom : {optWholePage, optPageWidth, optTwoPages, optThumbnail, cmdZoomOut})
        buttons->addWidget(zoom);
    buttons->addWidget(lblZoom);
    buttons->addWidget(cmdZoomIn);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);

    // Tab goes as the eye does: the top row, the pages, the bottom row.
    QWidget *order[] = {cmdFirst,     cmdPrevious,  cmdNext,     cmdLast,      cmdPrint,   cmdSavePdf, view,
                        optWholePage, optPageWidth, optTwoPages, optThumbnail, cmdZoomOut, cmdZoomIn,  cmdOK};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Room for a page and its neighbours, within a 1366 x 768 screen less
    // a panel and the window's frame.
    resize(900, 640);
    showPageState();
}

void frmOutput::addShortcut(const QKeySequence &keys, void (frmOutput::*handler)())
{
    connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
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
    lblPage->setText(count == 0 ? QString() : QStringLiteral("Page %1 of %2").arg(page + 1).arg(count));
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
    lblZoom->setText(count == 0 ? QString() : QStringLiteral("%1 %").arg(view->zoomPercent()));
    cmdZoomIn->setEnabled(count > 0 && view->zoomPercent() < PageLayoutView::MaxZoomPercent);
    cmdZoomOut->setEnabled(count > 0 && view->zoomPercent() > PageLayoutView::MinZoomPercent);
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

void frmOutput::cmdZoomIn_Click()
{
    view->zoomIn();
}

void frmOutput::cmdZoomOut_Click()
{
    view->zoomOut();
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
    dialog.fileName = proposedPdfName(PrintPreview->title());
    dialog.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> name =
        m_household ? chooseSaveFile(*m_household, dialog) : prompts().saveFileName(dialog);
    if (!name || !ConfirmReplaceFile(*name))
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
