#pragma once

#include "items/PictureFiles.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

class ElasticContainer;
class Household;
class PictureViewport;
class QPushButton;

// The picture window: shows the picture of the item in the main window, and
// takes a new one from a file or the clipboard for the item being edited.
// One instance for the run, modeless, owned by the main window. Closing it
// only hides it; its picture stays in it.
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

    PictureViewport *Image1;
    QPushButton *cmdPicCopy;
    QPushButton *cmdPicPaste;
    QPushButton *cmdPicLoad;
    QPushButton *cmdClose;

    ElasticContainer *Elastic1;

private:
    // Shows a picture the user brought for the item and turns the main
    // window to editing, so the next Update writes it.
    void takeNewPicture(const QImage &picture, std::optional<PictureFile> file);

    Household &m_household;
    std::function<void()> m_newPicture;
    std::optional<PictureFile> m_file;
};
