#pragma once

#include "reports/PageLayout.h"

#include <QSize>
#include <QString>

// An item's picture file as a claim page shows it: its shape read from the
// file's header once, its pixels read at the size they are drawn each time
// a page is painted (see readPictureFileScaled).
class ClaimPicture : public LayoutPicture {
public:
    explicit ClaimPicture(QString path);
    QSize size() const override { return m_size; }
    QImage image(QSize pixels) const override;

private:
    QString m_path;
    QSize m_size;
};
