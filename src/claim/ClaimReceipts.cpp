#include "claim/ClaimReceipts.h"

#include "claim/ClaimPicture.h"
#include "items/PictureFiles.h"

#include <QFile>
#include <QImage>
#include <QPdfDocument>

namespace {

bool isPdf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

QString pdfProblem(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::None:
        return QString();
    case QPdfDocument::Error::FileNotFound:
        return QStringLiteral("The file of this receipt is missing.");
    case QPdfDocument::Error::IncorrectPassword:
        return QStringLiteral("This receipt is a PDF file locked with a password.");
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QStringLiteral("This receipt is a PDF file locked in a way that cannot be opened.");
    default:
        return QStringLiteral("This receipt is a PDF file that cannot be read.");
    }
}

} // namespace

PdfPagePicture::PdfPagePicture(QString path, int page, QSize size) : m_path(std::move(path)), m_page(page), m_size(size)
{
}

QImage PdfPagePicture::image(QSize pixels) const
{
    QPdfDocument document(nullptr);
    if (document.load(m_path) != QPdfDocument::Error::None || m_page >= document.pageCount())
        return QImage();
    const QSize fitted = m_size.scaled(pixels, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // On white, as paper: a page without a background is transparent.
    return opaquePicture(document.render(m_page, fitted));
}

QList<ReceiptPage> claimReceiptPages(const QList<ClaimItem> &items)
{
    QList<ReceiptPage> pages;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const ClaimItem &item = items[i];
        for (const ClaimAttachment &document : item.documents) {
            if (document.kind != AttachedKind::Receipt)
                continue;
            ReceiptPage base;
            base.itemNumber = int(i + 1);
            base.itemName = item.item;
            base.title = document.title;
            if (!QFile::exists(document.path)) {
                base.problem = QStringLiteral("The file of this receipt is missing.");
                pages << base;
                continue;
            }
            if (!isPdf(document.path)) {
                auto picture = std::make_shared<ClaimPicture>(document.path);
                if (picture->size().isEmpty())
                    base.problem = QStringLiteral("This receipt is a file the claim cannot show; it travels with "
                                                  "the inventory's backup.");
                else
                    base.picture = std::move(picture);
                pages << base;
                continue;
            }
            QPdfDocument pdf(nullptr);
            const QPdfDocument::Error error = pdf.load(document.path);
            if (error != QPdfDocument::Error::None || pdf.pageCount() < 1) {
                base.problem = error == QPdfDocument::Error::None
                    ? QStringLiteral("This receipt is a PDF file without pages.")
                    : pdfProblem(error);
                pages << base;
                continue;
            }
            base.pages = pdf.pageCount();
            base.shown = std::min(base.pages, MaxReceiptPages);
            for (int p = 0; p < base.shown; ++p) {
                ReceiptPage page = base;
                page.page = p + 1;
                const QSize points = pdf.pagePointSize(p).toSize();
                if (points.isEmpty()) {
                    page.problem = QStringLiteral("This page of the receipt cannot be read.");
                } else {
                    page.picture = std::make_shared<PdfPagePicture>(document.path, p, points);
                }
                pages << page;
            }
        }
    }
    return pages;
}
