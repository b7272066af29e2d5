#pragma once

#include "reports/viewer/PageLayoutView.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class Household;
class PageLayout;
class QLabel;
class QPrinter;
class QPushButton;
class QToolButton;

// The report output window "Report Output": shows the document of the screen
// report last run, pages and zooms through it, prints it and saves it as PDF.
// Modeless and one at a time: a new screen report reuses the open window and
// replaces its document. Closing it (or "&Ok") deletes it with its document.
class frmOutput : public QWidget {
    Q_OBJECT
public:
    // The window, created hidden on first use (owned by mainWindow, which
    // may be null) for the household whose reports it shows: its Save as
    // PDF opens where that household's file dialogs do. A screen report
    // fills instance()->PrintPreview and then calls showOutput().
    static frmOutput *instance(Household &household, QWidget *mainWindow = nullptr);
    // The window when one exists, else nullptr.
    static frmOutput *current();
    // Shows the window made by instance() non-modal on the first page of its
    // document; nullptr when there is none.
    static frmOutput *showOutput();

    // Runs the print dialog on printer for a document of pageCount pages;
    // true when the user chose to print. Tests install their own; an empty
    // function restores the real dialog.
    using PrintDialogRunner = std::function<bool(QPrinter &printer, int pageCount, QWidget *parent)>;
    static void setPrintDialogRunner(PrintDialogRunner runner);

    // Handlers (public so that tests can call them as the events would).
    void cmdOK_Click();
    void PrintPreview_NewPage();
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdPrint_Click();
    void cmdSavePdf_Click();
    void setZoom(PageLayoutView::Zoom zoom);
    void cmdZoomIn_Click();
    void cmdZoomOut_Click();

    PageLayout *PrintPreview; // the document, owned by the window
    PageLayoutView *view;
    QPushButton *cmdFirst;
    QPushButton *cmdPrevious;
    QLabel *lblPage; // "Page N of M"
    QPushButton *cmdNext;
    QPushButton *cmdLast;
    QToolButton *optWholePage;
    QToolButton *optPageWidth;
    QToolButton *optTwoPages;
    QToolButton *optThumbnail;
    QToolButton *cmdZoomIn;
    QToolButton *cmdZoomOut;
    QLabel *lblZoom; // "N %", the size the pages are shown at
    QPushButton *cmdPrint;
    QPushButton *cmdSavePdf;
    QPushButton *cmdOK;

private:
    frmOutput(Household &household, QWidget *parent);
    void showPageState();
    QToolButton *zoomButton(const QString &caption, PageLayoutView::Zoom zoom);
    void addShortcut(const QKeySequence &keys, void (frmOutput::*handler)());

    // The household may go before the window (a test's, say).
    QPointer<Household> m_household;
};
