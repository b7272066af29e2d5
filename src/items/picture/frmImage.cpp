#include "items/picture/frmImage.h"

#include "help/viewer/HelpKey.h"
#include "items/ItemAttachments.h"
#include "items/PictureFiles.h"
#include "items/picture/PhotoStrip.h"
#include "items/picture/PictureViewport.h"
#include "program/FileChoice.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "widgets/DroppedFiles.h"
#include "widgets/ElasticContainer.h"

#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The client area the controls were laid out on, in twips: the picture with
// its buttons, and the strip of photos with its own below.
constexpr int ClientWidthTwips = 7560;
constexpr int PictureAreaTwips = 5040;
constexpr int StripTop = PictureAreaTwips;
constexpr int StripHeight = 1680;
constexpr int ClientHeightTwips = StripTop + StripHeight + 120;
constexpr int ButtonLeft = 5760;
constexpr int ButtonWidth = 1575;
constexpr int ButtonHeight = 495;
constexpr int PictureTopic = 10;

QPushButton *makeButton(ElasticContainer *form, const QString &name, const QString &caption, int top)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    form->place(button, QRect(ButtonLeft, top, ButtonWidth, ButtonHeight));
    return button;
}

} // namespace

// Only kinds the image plugins read are offered; the content decides how a
// file is read, so the extensions only guide the choice.
const QString frmImage::LoadFilter = QStringLiteral(
    "All Picture Files|*.bmp;*.dib;*.gif;*.jpg;*.jpeg;*.png;*.ico;*.cur|Bitmaps (*.bmp,*.dib)|*.bmp;*.dib|"
    "GIF Images (*.gif)|*.gif|JPEG Images (*.jpg,*.jpeg)|*.jpg;*.jpeg|PNG Images (*.png)|*.png|"
    "Icons (*.ico,*.cur)|*.ico;*.cur|All Files (*.*)|*.*");

// Photos of phones and cameras first; any other kind the plugins read too.
const QString frmImage::PhotoFilter =
    QStringLiteral("Photos|*.jpg;*.jpeg;*.heic;*.heif;*.avif;*.png;*.bmp;*.dib;*.gif|All Files (*.*)|*.*");

frmImage::frmImage(Household &household, QWidget *owner, std::function<void()> newPicture)
    : QDialog(owner)
    , m_household(household)
    , m_newPicture(std::move(newPicture))
{
    setObjectName(QStringLiteral("frmImage"));
    setWindowTitle(QStringLiteral("Image"));
    setModal(false);
    setHelpTopic(this, PictureTopic);

    Elastic1 = new ElasticContainer(ClientWidthTwips, ClientHeightTwips, this);
    Elastic1->setObjectName(QStringLiteral("Elastic1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Elastic1);

    Image1 = new PictureViewport;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->installEventFilter(this);
    Elastic1->place(Image1, QRect(120, 120, 5520, 4800));
    cmdPicCopy = makeButton(Elastic1, QStringLiteral("cmdPicCopy"), QStringLiteral("&Copy Image"), 120);
    cmdPicPaste = makeButton(Elastic1, QStringLiteral("cmdPicPaste"), QStringLiteral("&Paste Image"), 720);
    cmdPicLoad = makeButton(Elastic1, QStringLiteral("cmdPicLoad"), QStringLiteral("&Load Image"), 1320);
    cmdClose = makeButton(Elastic1, QStringLiteral("cmdClose"), QStringLiteral("Clos&e Window"),
                          PictureAreaTwips - 120 - ButtonHeight);

    photoStrip = new PhotoStrip;
    photoStrip->setObjectName(QStringLiteral("photoStrip"));
    Elastic1->place(photoStrip, QRect(120, StripTop, 5520, StripHeight));
    cmdAddPhotos = makeButton(Elastic1, QStringLiteral("cmdAddPhotos"), QStringLiteral("&Add Photos..."), StripTop);
    cmdRemovePhoto =
        makeButton(Elastic1, QStringLiteral("cmdRemovePhoto"), QStringLiteral("&Remove Photo"), StripTop + 570);
    cmdMakeFirst = makeButton(Elastic1, QStringLiteral("cmdMakeFirst"), QStringLiteral("Make &First"), StripTop + 1140);
    setAcceptDrops(true);
    enableStrip();
    resize(sizeHint());

    connect(cmdPicCopy, &QPushButton::clicked, this, &frmImage::cmdPicCopy_Click);
    connect(cmdPicPaste, &QPushButton::clicked, this, &frmImage::cmdPicPaste_Click);
    connect(cmdPicLoad, &QPushButton::clicked, this, &frmImage::cmdPicLoad_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmImage::cmdClose_Click);
    connect(cmdAddPhotos, &QPushButton::clicked, this, &frmImage::cmdAddPhotos_Click);
    connect(cmdRemovePhoto, &QPushButton::clicked, this, &frmImage::cmdRemovePhoto_Click);
    connect(cmdMakeFirst, &QPushButton::clicked, this, &frmImage::cmdMakeFirst_Click);
    connect(photoStrip, &QListWidget::currentRowChanged, this, [this] {
        showChosenPhoto();
        enableStrip();
    });
    connect(photoStrip, &PhotoStrip::photoMoved, this, &frmImage::movePhoto);
    connect(photoStrip, &PhotoStrip::filesDropped, this, &frmImage::addPhotoFiles);
    connect(photoStrip, &PhotoStrip::pasteAsked, this, &frmImage::pastePhoto);
    connect(photoStrip, &PhotoStrip::removeAsked, this, &frmImage::cmdRemovePhoto_Click);
}

const QImage &frmImage::picture() const
{
    return Image1->picture();
}

void frmImage::showItemPicture(qint64 iteid)
{
    m_file.reset();
    m_pastedPending = false;
    m_iteid = iteid;
    showStoredPhotos();
}

void frmImage::showEmptyPicture()
{
    m_file.reset();
    m_pastedPending = false;
    m_iteid.reset();
    m_readFor = QSize();
    photoStrip->setPhotos({});
    Image1->setPicture(QImage());
    enableStrip();
}

void frmImage::showStoredPhotos(int current)
{
    QList<PhotoStrip::Photo> photos;
    if (m_iteid) {
        m_household.trapDb([&] {
            const QString picture = m_household.itemFiles().picture(*m_iteid);
            if (!picture.isEmpty())
                photos << PhotoStrip::Photo{picture, 0};
            for (const AttachedFile &file : ItemAttachments(m_household).of(*m_iteid)) {
                if (file.isPhoto())
                    photos << PhotoStrip::Photo{m_household.itemFiles().folder() + file.fileName, file.fileid};
            }
        });
    }
    // Setting the strip's photos chooses one, which shows it above; a strip
    // without photos shows the empty picture.
    const QSignalBlocker quiet(photoStrip);
    photoStrip->setPhotos(photos, current);
    showChosenPhoto();
    enableStrip();
}

void frmImage::showChosenPhoto()
{
    m_readFor = QSize();
    const int chosen = photoStrip->currentPhoto();
    if (chosen < 0 || chosen >= photoStrip->photos().size()) {
        Image1->setPicture(QImage());
        return;
    }
    readChosenPhoto();
}

void frmImage::readChosenPhoto()
{
    // A photo is read no larger than the viewport shows it: a phone's
    // 12-megapixel photo then reads in a fraction of the time, so moving
    // through the items keeps pace. Read for a little more room than there
    // is, a growing window reads it again only now and then.
    constexpr int Step = 256;
    const QSize viewport = Image1->contentsRect().size() * Image1->devicePixelRatioF();
    const QSize bound(std::max(Step, (viewport.width() + Step - 1) / Step * Step),
                      std::max(Step, (viewport.height() + Step - 1) / Step * Step));
    const int chosen = photoStrip->currentPhoto();
    m_readFor = bound;
    Image1->setPicture(opaquePicture(readPictureFileScaled(photoStrip->photos()[chosen].path, bound)));
}

bool frmImage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::Resize && !m_readFor.isEmpty()) {
        const QSize viewport = Image1->contentsRect().size() * Image1->devicePixelRatioF();
        if (viewport.width() > m_readFor.width() || viewport.height() > m_readFor.height())
            readChosenPhoto();
    }
    return QDialog::eventFilter(watched, event);
}

bool frmImage::stripWorks() const
{
    return m_iteid.has_value() && !m_file.has_value() && !m_pastedPending;
}

void frmImage::enableStrip()
{
    const bool works = stripWorks();
    const int chosen = photoStrip->currentPhoto();
    photoStrip->setEnabled(works);
    cmdAddPhotos->setEnabled(works);
    cmdRemovePhoto->setEnabled(works && chosen >= 0);
    cmdMakeFirst->setEnabled(works && chosen > 0);
}

void frmImage::takeNewPicture(const QImage &picture, std::optional<PictureFile> file)
{
    m_readFor = QSize();
    Image1->setPicture(opaquePicture(picture));
    m_pastedPending = !file.has_value();
    m_file = std::move(file);
    enableStrip();
    m_newPicture();
}

void frmImage::cmdAddPhotos_Click()
{
    if (!stripWorks())
        return;
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Add Photos");
    dialog.filter = PhotoFilter;
    dialog.filterIndex = 1;
    addPhotoFiles(chooseOpenFiles(m_household, dialog));
}

void frmImage::addPhotoFiles(const QStringList &paths)
{
    if (!stripWorks() || paths.isEmpty())
        return;
    const int before = int(photoStrip->photos().size());
    {
        const BusyCursor busy;
        for (const QString &path : paths) {
            // Only what reads as a picture becomes a photo; its own bytes are kept.
            QString reason;
            if (!QFileInfo(path).isFile() || !loadPictureFile(path, &reason)) {
                prompts().message(QStringLiteral("The file '%1' could not be read as a picture (%2).")
                                      .arg(QDir::toNativeSeparators(path),
                                           reason.isEmpty() ? QStringLiteral("it is not a file") : reason),
                                  Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
                continue;
            }
            m_household.trapDb([&] { ItemAttachments(m_household).attach(*m_iteid, AttachedKind::Photo, path); });
        }
    }
    // The first photo added is the one shown.
    showStoredPhotos(before == 0 ? 0 : before);
}

void frmImage::pastePhoto()
{
    if (!stripWorks())
        return;
    const QImage pasted = QGuiApplication::clipboard()->image();
    if (pasted.isNull()) {
        prompts().message(QStringLiteral("The clipboard holds no picture to paste."), Prompts::Buttons::Ok,
                          Prompts::Icon::None, ProgramTitle);
        return;
    }
    const int before = int(photoStrip->photos().size());
    m_household.trapDb([&] { ItemAttachments(m_household).attachPhoto(*m_iteid, pictureFileOf(pasted)); });
    showStoredPhotos(before);
}

void frmImage::cmdRemovePhoto_Click()
{
    const int chosen = photoStrip->currentPhoto();
    if (!stripWorks() || chosen < 0)
        return;
    if (prompts().message(QStringLiteral("Are you sure that you want to remove this photo from the item?"),
                          Prompts::Buttons::YesNo, Prompts::Icon::Question, QStringLiteral("Remove Photo"))
        != Prompts::Answer::Yes)
        return;
    const PhotoStrip::Photo photo = photoStrip->photos()[chosen];
    m_household.trapDb([&] {
        ItemAttachments attachments(m_household);
        if (photo.fileid == 0)
            attachments.removePicture(*m_iteid);
        else
            attachments.remove(photo.fileid);
    });
    showStoredPhotos(std::max(0, chosen - 1));
    photoStrip->setFocus();
}

void frmImage::cmdMakeFirst_Click()
{
    const int chosen = photoStrip->currentPhoto();
    if (stripWorks() && chosen > 0)
        movePhoto(chosen, 0);
    // The button is off now: the keys go on in the strip, not on the next button.
    photoStrip->setFocus();
}

void frmImage::movePhoto(int from, int to)
{
    const QList<PhotoStrip::Photo> photos = photoStrip->photos();
    if (!stripWorks() || from == to || from < 0 || to < 0 || from >= photos.size() || to >= photos.size())
        return;
    m_household.trapDb([&] {
        ItemAttachments attachments(m_household);
        if (to == 0) {
            attachments.makeFirst(photos[from].fileid);
            return;
        }
        if (from == 0) {
            // The picture moves back: the next photo takes its place, and the
            // picture, now the first further photo, goes where it was taken.
            attachments.makeFirst(photos[1].fileid);
            const QList<AttachedFile> further = attachments.of(*m_iteid);
            if (!further.isEmpty() && further.front().isPhoto())
                attachments.movePhoto(further.front().fileid, to - 1);
            return;
        }
        attachments.movePhoto(photos[from].fileid, to - 1);
    });
    showStoredPhotos(to);
}

void frmImage::dragEnterEvent(QDragEnterEvent *event)
{
    if (stripWorks() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmImage::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    addPhotoFiles(droppedFiles(event->mimeData()));
}

void frmImage::cmdPicLoad_Click()
{
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Load Image");
    dialog.filter = LoadFilter;
    dialog.filterIndex = 1;
    std::optional<QString> chosen;
    m_household.trapDb([&] {
        chosen = chooseOpenFile(m_household, dialog);
        if (!chosen)
            throw DbError(DbError::DialogCancelled, QStringLiteral("Cancel was selected."));
    });
    if (!chosen || chosen->isEmpty())
        return;
    if (!QFileInfo(*chosen).isFile()) {
        prompts().message(QStringLiteral("File not found."), Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        return;
    }
    QString reason;
    std::optional<LoadedPicture> loaded;
    {
        const BusyCursor busy;
        loaded = loadPictureFile(*chosen, &reason);
    }
    // A file that is no picture changes nothing: the shown picture and the
    // item stay as they were.
    if (!loaded) {
        prompts().message(QStringLiteral("The file '%1' could not be read as a picture (%2).")
                              .arg(QDir::toNativeSeparators(*chosen), reason),
                          Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        return;
    }
    // The file itself is kept: a photo stays the photo it was.
    takeNewPicture(loaded->picture, std::move(loaded->file));
}

void frmImage::cmdPicPaste_Click()
{
    // Without a picture on the clipboard nothing changes: taking the shown
    // picture as new would rewrite the item's file for no reason.
    const QImage pasted = QGuiApplication::clipboard()->image();
    if (pasted.isNull()) {
        prompts().message(QStringLiteral("The clipboard holds no picture to paste."), Prompts::Buttons::Ok,
                          Prompts::Icon::None, ProgramTitle);
        return;
    }
    takeNewPicture(pasted, std::nullopt);
}

void frmImage::cmdPicCopy_Click()
{
    // The empty picture would only wipe out what the clipboard holds.
    if (picture().isNull())
        return;
    // A stored photo is shown as read for the viewport; the clipboard gets it whole.
    const int chosen = photoStrip->currentPhoto();
    QImage whole;
    if (!m_readFor.isEmpty() && chosen >= 0 && chosen < photoStrip->photos().size())
        whole = opaquePicture(readPictureFile(photoStrip->photos()[chosen].path));
    QGuiApplication::clipboard()->setImage(whole.isNull() ? picture() : whole);
}

void frmImage::cmdClose_Click()
{
    hide();
}
