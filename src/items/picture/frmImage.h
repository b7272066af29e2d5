#pragma once

#include "items/PictureFiles.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class ElasticContainer;
class Household;
class PhotoStrip;
class PictureViewport;
class QPushButton;

// The picture window: shows the picture of the item in the main window, and
// takes a new one from a file or the clipboard for the item being edited.
// One instance for the run, modeless, owned by the main window. Closing it
// only hides it; its picture stays in it.
//
// Under the picture, the strip of all the item's photos, its picture first:
// photos added there (from files, dropped from a file manager, pasted into
// the strip) are kept at once, as are their order, the one made first and
// those removed; they are not fields of the record that Update or Cancel
// would decide. The strip works on stored items only, and not while a
// picture loaded or pasted above waits for Update.
class frmImage : public QDialog {
    Q_OBJECT
public:
    // owner owns the window; newPicture is called after every picture the
    // user brings, to turn the item being shown to editing. The pictures
    // shown are household's items' files.
    frmImage(Household &household, QWidget *owner, std::function<void()> newPicture);

    // Handlers (public so that tests can call them as the events would).
    void cmdPicCopy_Click();
    void cmdPicPaste_Click();
    void cmdPicLoad_Click();
    void cmdClose_Click();
    void cmdAddPhotos_Click();
    void cmdRemovePhoto_Click();
    void cmdMakeFirst_Click();
    // Adds these files to the item's photos, telling the user of each that
    // cannot be read as a picture.
    void addPhotoFiles(const QStringList &paths);
    // Adds the clipboard's picture to the item's photos.
    void pastePhoto();
    // Moves the photo at from in the strip to to (0 makes it the picture).
    void movePhoto(int from, int to);

    // Shows the item's picture file, or the empty picture when the item has
    // none or its file cannot be read.
    void showItemPicture(qint64 iteid);
    void showEmptyPicture();
    // The picture shown, whole; null for the empty picture.
    const QImage &picture() const;
    // The file a picture loaded for the item was read from, to be written as
    // it is; std::nullopt for a pasted picture and for the item's own.
    const std::optional<PictureFile> &pictureFile() const { return m_file; }

    // The load dialog's file kinds, in the "Name|*.a;*.b" form.
    static const QString LoadFilter;
    // The Add Photos dialog's.
    static const QString PhotoFilter;

    PictureViewport *Image1;
    PhotoStrip *photoStrip;
    QPushButton *cmdAddPhotos;
    QPushButton *cmdRemovePhoto;
    QPushButton *cmdMakeFirst;
    QPushButton *cmdPicCopy;
    QPushButton *cmdPicPaste;
    QPushButton *cmdPicLoad;
    QPushButton *cmdClose;

    ElasticContainer *Elastic1;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows a picture the user brought for the item and turns the main
    // window to editing, so the next Update writes it.
    void takeNewPicture(const QImage &picture, std::optional<PictureFile> file);
    // Reads the item's photos again into the strip, choosing the one at
    // current, and shows it above.
    void showStoredPhotos(int current = 0);
    // Shows the strip's chosen photo large.
    void showChosenPhoto();
    // Reads the chosen photo again when the viewport outgrew what it was read for.
    void readChosenPhoto();
    // Whether the strip may change the item's photos now.
    bool stripWorks() const;
    void enableStrip();

    Household &m_household;
    std::function<void()> m_newPicture;
    std::optional<PictureFile> m_file;
    // The stored item shown; std::nullopt while one is added.
    std::optional<qint64> m_iteid;
    // A pasted picture waits for Update (it has no file, so m_file is empty).
    bool m_pastedPending = false;
    // The size, in pixels, the shown photo was read to fit; empty while no
    // stored photo is shown.
    QSize m_readFor;
};
