#include "claim/ClaimPicture.h"

#include "items/PictureFiles.h"

#include <QImage>

ClaimPicture::ClaimPicture(QString path) : m_path(std::move(path)), m_size(pictureFileSize(m_path))
{
}

QImage ClaimPicture::image(QSize pixels) const
{
    // Drawn on white like every shown picture, so transparent parts do not
    // print as black.
    return opaquePicture(readPictureFileScaled(m_path, pixels));
}
