#include "items/picture/PictureViewport.h"

#include <QPainter>

QSize fittedPictureSize(QSize picture, QSize viewport)
{
    if (picture.isEmpty())
        return QSize();
    QSize fitted = picture;
    if (picture.width() > viewport.width() || picture.height() > viewport.height())
        fitted = picture.scaled(viewport.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

PictureViewport::PictureViewport(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void PictureViewport::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_shown = QPixmap();
    update();
}

QRect PictureViewport::pictureRect() const
{
    if (m_picture.isNull())
        return QRect();
    const QRect area = contentsRect();
    QRect shown(QPoint(), fittedPictureSize(m_picture.size(), area.size()));
    shown.moveCenter(area.center());
    return shown;
}

void PictureViewport::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    const QRect target = pictureRect();
    if (target.isEmpty())
        return;
    if (m_shown.size() != target.size()) {
        m_shown =
            QPixmap::fromImage(m_picture.size() == target.size()
                                   ? m_picture
                                   : m_picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QPainter(this).drawPixmap(target.topLeft(), m_shown);
}

void PictureViewport::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    m_shown = QPixmap();
}
