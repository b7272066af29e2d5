// The main window's side of item pictures: the Picture button, and the
// picture steps of showing, emptying and storing the record form.
#include "app/frmMain.h"
#include "items/PictureFiles.h"
#include "items/WindowBeside.h"
#include "items/picture/frmImage.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"
#include "widgets/DroppedFiles.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

frmImage *frmMain::pictureWindow() const
{
    return qobject_cast<frmImage *>(secondaryWindow(Secondary::Picture));
}

void frmMain::cmdPicture_Click()
{
    frmImage *window = pictureWindow();
    if (!window) {
        window = new frmImage(m_household, this, [this] {
            PictureChanged = true;
            MakingChange();
        });
        setSecondaryWindow(Secondary::Picture, window);
        // Beside the form, not over it, where the screen has room. The new
        // window's frame is taken to be as thick as the main window's.
        const QSize frame = frameGeometry().size() - geometry().size();
        if (const std::optional<QPoint> place =
                windowBeside(frameGeometry(), window->size() + frame, screen()->availableGeometry()))
            window->move(*place);
    }
    window->show();
    window->raise();
    window->activateWindow();
    // A picture loaded or pasted for the item under way stays in view until
    // Update writes it or Cancel drops it.
    if (PictureChanged)
        return;
    // An item being added has no picture until one is brought for it.
    if (editor().adding())
        window->showEmptyPicture();
    else
        showCurrentItemPicture(*window);
}

void frmMain::dropPhotoFiles(const QStringList &paths)
{
    // Photos belong to a stored item: one being added or edited is stored first.
    if (paths.isEmpty() || editor().adding() || PictureChanged)
        return;
    cmdPicture_Click();
    if (frmImage *window = pictureWindow())
        window->addPhotoFiles(paths);
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() && !editor().adding() && !PictureChanged)
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    dropPhotoFiles(droppedFiles(event->mimeData()));
}

void frmMain::showCurrentItemPicture(frmImage &window)
{
    std::optional<qint64> iteid;
    m_household.trapDb([&] {
        const Recordset *rsItems = m_household.rsItems();
        if (rsItems && rsItems->isOpen() && rsItems->recordCount() > 0 && !rsItems->bof() && !rsItems->eof())
            iteid = m_household.items().value(QStringLiteral("iteid")).toLongLong();
    });
    if (iteid)
        window.showItemPicture(*iteid);
    else
        window.showEmptyPicture();
}

void frmMain::followShownItem(bool showsRecord)
{
    followShownItemDocuments(showsRecord);
    followShownItemWarranty(showsRecord);
    PictureChanged = false;
    frmImage *window = pictureWindow();
    if (!window || !window->isVisible())
        return;
    if (showsRecord)
        showCurrentItemPicture(*window);
    else
        window->showEmptyPicture();
}

void frmMain::writeNewPicture(qint64 iteid)
{
    const frmImage *window = pictureWindow();
    if (!window || window->picture().isNull()) {
        PictureChanged = false;
        return;
    }
    const BusyCursor busy;
    const PictureFile file = window->pictureFile() ? *window->pictureFile() : pictureFileOf(window->picture());
    m_household.itemFiles().writePicture(iteid, file.bytes, file.extension);
    PictureChanged = false;
}
