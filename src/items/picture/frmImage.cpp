#include "items/picture/frmImage.h"

#include "help/viewer/HelpKey.h"
#include "items/PictureFiles.h"
#include "items/picture/PictureViewport.h"
#include "program/FileChoice.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "widgets/ElasticContainer.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The client area the controls were laid out on, in twips.
constexpr int ClientWidthTwips = 7560;
constexpr int ClientHeightTwips = 5040;
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
    Elastic1->place(Image1, QRect(120, 120, 5520, 4800));
    cmdPicCopy = makeButton(Elastic1, QStringLiteral("cmdPicCopy"), QStringLiteral("&Copy Image"), 120);
    cmdPicPaste = makeButton(Elastic1, QStringLiteral("cmdPicPaste"), QStringLiteral("&Paste Image"), 720);
    cmdPicLoad = makeButton(Elastic1, QStringLiteral("cmdPicLoad"), QStringLiteral("&Load Image"), 1320);
    cmdClose = makeButton(Elastic1, QStringLiteral("cmdClose"), QStringLiteral("Clos&e Window"),
                          ClientHeightTwips - 120 - ButtonHeight);
    resize(sizeHint());

    connect(cmdPicCopy, &QPushButton::clicked, this, &frmImage::cmdPicCopy_Click);
    connect(cmdPicPaste, &QPushButton::clicked, this, &frmImage::cmdPicPaste_Click);
    connect(cmdPicLoad, &QPushButton::clicked, this, &frmImage::cmdPicLoad_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmImage::cmdClose_Click);
}

const QImage &frmImage::picture() const
{
    return Image1->picture();
}

void frmImage::showItemPicture(qint64 iteid)
{
    const QString path = m_household.itemFiles().picture(iteid);
    m_file.reset();
    Image1->setPicture(path.isEmpty() ? QImage() : opaquePicture(readPictureFile(path)));
}

void frmImage::showEmptyPicture()
{
    m_file.reset();
    Image1->setPicture(QImage());
}

void frmImage::takeNewPicture(const QImage &picture, std::optional<PictureFile> file)
{
    Image1->setPicture(opaquePicture(picture));
    m_file = std::move(file);
    m_newPicture();
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
    if (!picture().isNull())
        QGuiApplication::clipboard()->setImage(picture());
}

void frmImage::cmdClose_Click()
{
    hide();
}
