#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

// Holds controls placed at fixed design positions in twips (1440 per inch)
// and rescales them with the container's size, so the form grows and shrinks
// with its window.
class ElasticContainer : public QWidget {
    Q_OBJECT
public:
    // designWidth/Height: the client area the positions were laid out on.
    ElasticContainer(int designWidthTwips, int designHeightTwips, QWidget *parent = nullptr);

    // Adds child at its design rectangle (left, top, width, height in twips).
    void place(QWidget *child, QRect twips);
    QRect designRect(QWidget *child) const;

    // The container's size at scale 1 on this screen.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutChildren();
    int twipsToPixelsX(int twips) const;
    int twipsToPixelsY(int twips) const;
    QSize m_design;
    struct Place {
        QPointer<QWidget> child; // a child deleted elsewhere is simply skipped
        QRect twips;
    };
    std::vector<Place> m_places;
};
