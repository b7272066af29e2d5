#include "widgets/ElasticContainer.h"

#include <QResizeEvent>

ElasticContainer::ElasticContainer(int designWidthTwips, int designHeightTwips, QWidget *parent)
    : QWidget(parent)
    , m_design(designWidthTwips, designHeightTwips)
{
}

void ElasticContainer::place(QWidget *child, QRect twips)
{
    child->setParent(this);
    m_places.push_back({child, twips});
    layoutChildren();
}

QRect ElasticContainer::designRect(QWidget *child) const
{
    for (const Place &place : m_places)
        if (place.child == child)
            return place.twips;
    return QRect();
}

int ElasticContainer::twipsToPixelsX(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

int ElasticContainer::twipsToPixelsY(int twips) const
{
    return qRound(twips * logicalDpiY() / 1440.0);
}

QSize ElasticContainer::sizeHint() const
{
    return QSize(twipsToPixelsX(m_design.width()), twipsToPixelsY(m_design.height()));
}

QSize ElasticContainer::minimumSizeHint() const
{
    // Smaller than half the design size the fields no longer show their text.
    return sizeHint() / 2;
}

void ElasticContainer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void ElasticContainer::layoutChildren()
{
    if (m_design.isEmpty())
        return;
    const double sx = double(width()) / m_design.width();
    const double sy = double(height()) / m_design.height();
    for (const Place &place : m_places) {
        if (!place.child)
            continue;
        const QRect &r = place.twips;
        place.child->setGeometry(qRound(r.left() * sx), qRound(r.top() * sy), qRound(r.width() * sx),
                                 qRound(r.height() * sy));
    }
}
