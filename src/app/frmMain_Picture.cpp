// The main window's side of item pictures: the Picture button, and the
// picture steps of showing, emptying and storing the record form.
#include "app/ItemsRecordset.h"
#include "app/frmMain.h"
#include "items/PictureFiles.h"
#include "items/WindowBeside.h"
#include "items/picture/frmImage.h"
#include "program/Globals.h"
#include "program/HandleDbError.h"
#include "program/Prompts.h"
#include "records/RecordEditor.h"

#include <QScreen>

frmImage *frmMain::pictureWindow() const
{
    return qobject_cast<frmImage *>(secondaryWindow(Secondary::Picture));
}

void frmMain::cmdPicture_Click()
{
    frmImage *window = pictureWindow();
    if (!window) {
        window = new frmImage(this, [this] { MakingChange(); });
        setSecondaryWindow(Secondary::Picture, window);
        // Beside the form, not over it, where the screen has room. The new
        // window's frame is taken to be as thick as the main window's.
        const QSize frame = frameGeometry().size() - geometry().size();
        if (const std::optional<QPoint> place = windowBeside(frameGeometry(), window->size() + frame,
                                                             screen()->availableGeometry()))
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

void frmMain::showCurrentItemPicture(frmImage &window)
{
    std::optional<qint64> iteid;
    trapDb([&] {
        if (rsItems && rsItems->isOpen() && rsItems->recordCount() > 0 && !rsItems->bof() && !rsItems->eof())
            iteid = items().value(QStringLiteral("iteid")).toLongLong();
    });
    if (iteid)
        window.showItemPicture(*iteid);
    else
        window.showEmptyPicture();
}

void frmMain::followShownItem(bool showsRecord)
{
    PictureChanged = false;
    frmImage *window = pictureWindow();
    if (!window || !window->isVisible())
        return;
    if (showsRecord)
        showCurrentItemPicture(*window);
    else
        window->showEmptyPicture();
}

void frmMain::writeNewPicture()
{
    const frmImage *window = pictureWindow();
    if (!window || window->picture().isNull()) {
        PictureChanged = false;
        return;
    }
    const qint64 iteid = items().value(QStringLiteral("iteid")).toLongLong();
    const BusyCursor busy;
    if (window->pictureFile())
        writePictureFile(pictureFolder(), iteid, *window->pictureFile());
    else
        writePictureFile(pictureFolder(), iteid, window->picture());
    PictureChanged = false;
}
