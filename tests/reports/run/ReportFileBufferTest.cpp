#include "program/Household.h"
#include "reports/ReportFileOutput.h"
#include "reports/ReportQuery.h"
#include "reports/ReportSpec.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The writers put each line together byte by byte, copying ASCII straight
// and escaping by hand; what they write must be what QString's own UTF-8
// conversion and HTML escaping give, whatever the text and however long.
namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

const QStringList awkwardCells = {
    QStringLiteral("plain"),
    QStringLiteral("Straße & <Äpfel> \"quoted\" 'single'"), // non-ASCII in the middle of a cell
    QStringLiteral("€ 12 \U0001F4E6 box"),                  // a pair of surrogates
    QString(),
    QString(300 * 1024, u'x') + QStringLiteral("é&"), // longer than a whole block
};

TEST(ReportFileBuffer, WritesWhatQStringConversionGives)
{
    QTemporaryDir dir;
    Household household(dir.path());
    ReportQuery query;
    for (int k = 0; k < awkwardCells.size(); ++k) {
        ReportColumn column;
        column.caption = QStringLiteral("C%1").arg(k);
        column.alignRight = k == 2;
        query.columns << column;
    }
    ReportSpec spec;

    const QString textPath = dir.filePath(QStringLiteral("out.txt"));
    TextReportWriter text(household, textPath);
    ASSERT_TRUE(text.begin(spec, query));
    QByteArray expectedText;
    for (int row = 0; row < 3; ++row) {
        ASSERT_TRUE(text.row(awkwardCells));
        expectedText += awkwardCells.join(u'\t').toUtf8() + "\r\n";
    }
    ASSERT_TRUE(text.finish());
    EXPECT_TRUE(fileBytes(textPath) == expectedText);

    const QString htmlPath = dir.filePath(QStringLiteral("out.htm"));
    HtmlReportWriter html(household, htmlPath);
    ASSERT_TRUE(html.begin(spec, query));
    ASSERT_TRUE(html.row(awkwardCells));
    ASSERT_TRUE(html.finish());
    QString line = QStringLiteral("<tr>");
    for (int k = 0; k < awkwardCells.size(); ++k)
        line += (k == 2 ? QStringLiteral("<td align=right>") : QStringLiteral("<td>")) + awkwardCells[k].toHtmlEscaped()
            + QStringLiteral("</td>");
    line += QStringLiteral("</tr>\r\n");
    EXPECT_TRUE(fileBytes(htmlPath).contains(line.toUtf8()));
}

} // namespace
