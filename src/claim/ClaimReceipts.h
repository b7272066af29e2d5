#pragma once

#include "claim/ClaimItems.h"
#include "reports/PageLayout.h"

#include <QList>
#include <QSize>
#include <QString>
#include <memory>

// One page of the claim's appendix of receipts: a receipt that is a
// picture, or one page of a receipt that is a PDF; or, for a receipt the
// claim cannot draw, no picture and the reason.
struct ReceiptPage {
    int itemNumber = 0; // the item's number in the claim, from 1
    QString itemName;
    QString title; // the receipt's name as attached
    int page = 0;  // from 1; 0 for a picture
    int pages = 0; // the PDF's pages; 0 for a picture
    int shown = 0; // of those, how many the appendix draws
    std::shared_ptr<const LayoutPicture> picture;
    QString problem; // why nothing is drawn, when picture is null
};

// The most pages of one receipt the appendix draws: a receipt is a page or
// two, and a long file attached as one must not swallow the claim.
inline constexpr int MaxReceiptPages = 20;

// The pages of the receipts of items (numbered from 1 in their order), in
// that order. Each PDF is opened here once to count and measure its pages;
// its pages are drawn only when the claim's pages are painted.
QList<ReceiptPage> claimReceiptPages(const QList<ClaimItem> &items);

// One page of a PDF file, drawn with Qt's PDF module at the size asked for.
// The file is opened each time a picture is asked for, so nothing of it is
// held between pages.
class PdfPagePicture : public LayoutPicture {
public:
    // size: the page's size in points (1/72 inch).
    PdfPagePicture(QString path, int page, QSize size);
    QSize size() const override { return m_size; }
    QImage image(QSize pixels) const override;

private:
    QString m_path;
    int m_page;
    QSize m_size;
};
