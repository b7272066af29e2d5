#include "LayoutFixture.h"

#include <QFile>
#include <QRegularExpression>

LayoutTest::LayoutTest()
{
    EXPECT_TRUE(m_dir.isValid());
}

LayoutTest::~LayoutTest() = default;

QList<QStringList> numberedRows(int count, int columns)
{
    QList<QStringList> rows;
    for (int r = 0; r < count; ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row.append(QStringLiteral("r%1c%2").arg(r).arg(c));
        rows.append(row);
    }
    return rows;
}

int pdfPageCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll();
    if (!data.startsWith("%PDF-") || !data.trimmed().endsWith("%%EOF"))
        return -1;
    // Page objects, not the page tree ("/Type /Pages").
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    int count = 0;
    for (QRegularExpressionMatchIterator it = page.globalMatch(QString::fromLatin1(data)); it.hasNext(); it.next())
        ++count;
    return count;
}

std::vector<PlacedOnPage> everyPlacedRow(const PageLayout &document)
{
    std::vector<PlacedOnPage> all;
    for (int page = 0; page < document.pageCount(); ++page) {
        for (const PlacedRow &row : document.pageContent(page).rows)
            all.push_back({page, row});
    }
    return all;
}
