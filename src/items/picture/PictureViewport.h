#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>

// The size a picture is drawn at in a viewport: its own size when it fits,
// else shrunk until it fits with its proportions kept (never below one pixel
// either way). Pictures are never enlarged.
QSize fittedPictureSize(QSize picture, QSize viewport);

// Shows one picture, shrunk to fit the viewport and centred in it. The
// picture itself is kept whole: only what is drawn is shrunk.
class PictureViewport : public QFrame {
    Q_OBJECT
public:
    explicit PictureViewport(QWidget *parent = nullptr);

    // A null image is the empty picture.
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    // Where the picture is drawn, in the viewport's coordinates; empty for
    // the empty picture.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_picture;
    // The shrunk copy drawn, made when first needed after a change of the
    // picture or of the viewport's size.
    QPixmap m_shown;
};
