// Markup in item fields, code descriptions and titles reaching the HTML
// file, and tabs and line breaks in fields reaching the text file.
#include "HostileTexts.h"
#include "RunWindowFixture.h"

#include "program/Household.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <algorithm>

namespace {

const QStringList MarkupTexts{
    QStringLiteral("<script>alert(1)</script>"),          QStringLiteral("Fish &amp; Chips & more"),
    QStringLiteral("\"><img src=x onerror=alert(2)>"),    QStringLiteral("'single' and \"double\" </td></tr></table>"),
    QStringLiteral("<!-- not a comment --> &#60;b&#62;"),
};

QString unescaped(QString text)
{
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&")); // last: "&amp;lt;" is "&lt;"
    return text;
}

// The cells of every table row of the file, as the markup delimits them.
QList<QStringList> htmlRows(const QString &html)
{
    static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"),
                                        QRegularExpression::CaseInsensitiveOption
                                            | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(QStringLiteral("<t[dh][^>]*>(.*?)</t[dh]>"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
    QList<QStringList> rows;
    for (auto r = row.globalMatch(html); r.hasNext();) {
        QStringList cells;
        const QString content = r.next().captured(1);
        for (auto c = cell.globalMatch(content); c.hasNext();)
            cells << unescaped(c.next().captured(1));
        rows << cells;
    }
    return rows;
}

template <class T>
QList<T> sorted(QList<T> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

using HostileOutput = RunWindowTest;

TEST_F(HostileOutput, MarkupReachesTheHtmlFileEscapedAndReadsBackTheSame)
{
    QList<QStringList> expected;
    for (int i = 0; i < MarkupTexts.size(); ++i) {
        const QString &t = MarkupTexts[i];
        household.dbInventory()->execute(QStringLiteral("insert into categories (catid, catDesc) values (?, ?)"),
                                         {i + 1, t});
        household.dbInventory()->execute(QStringLiteral("insert into locations (locid, locDesc) values (?, ?)"),
                                         {i + 1, t + u'!'});
        household.dbInventory()->execute(QStringLiteral("insert into items (Item, manufact, Notes, catid, locid) "
                                                        "values (?, ?, ?, ?, ?)"),
                                         {t, t + u'?', u'#' + t, i + 1, i + 1});
        expected << QStringList{t, t + u'?', t, t + u'!', u'#' + t};
    }
    // Description, Manufacturer, Category, Location, Notes.
    QStringList lines = reportLines({1, 2, 5, 6, 15}, QStringLiteral("3"));
    const QString title = QStringLiteral("<script>document.title</script> & \"Title\" <b>");
    lines[1] = title;
    const QByteArray bytes = runToFile(lines, QStringLiteral("htm"));
    ASSERT_FALSE(bytes.isEmpty());

    const QByteArray lower = bytes.toLower();
    EXPECT_FALSE(lower.contains("<script")) << bytes.constData();
    EXPECT_FALSE(lower.contains("<img")) << bytes.constData();
    EXPECT_FALSE(lower.contains("<b>")) << bytes.constData();
    EXPECT_FALSE(lower.contains("<!--")) << bytes.constData();

    const QString html = QString::fromUtf8(bytes);
    const QList<QStringList> rows = htmlRows(html);
    ASSERT_EQ(rows.size(), 2 + MarkupTexts.size());
    EXPECT_EQ(rows[0], QStringList{title});
    EXPECT_EQ(rows[1],
              (QStringList{QStringLiteral("Description"), QStringLiteral("Manufacturer"), QStringLiteral("Category"),
                           QStringLiteral("Location"), QStringLiteral("Notes")}));
    EXPECT_EQ(sorted(rows.mid(2)), sorted(expected));

    // A real HTML reader sees the same texts and no elements made of them.
    QTextDocument document;
    document.setHtml(html);
    EXPECT_EQ(document.metaInformation(QTextDocument::DocumentTitle), title);
    const QString shown = document.toPlainText();
    for (const QString &t : MarkupTexts)
        EXPECT_TRUE(shown.contains(t)) << t.toStdString();
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(HostileOutput, TabsAndLineBreaksInFieldsKeepRowsAndColumnsOfTheTextFile)
{
    const QStringList descriptions{
        QStringLiteral("Plain lamp"),       QStringLiteral("Tab\tinside"),
        QStringLiteral("Two\nlines"),       QStringLiteral("Windows\r\nlines\r\n"),
        QStringLiteral("\"Quoted\" start"), QStringLiteral("Inner \"quotes\"\tand tab"),
        QStringLiteral("Lone\rreturn"),
    };
    QList<QStringList> expected;
    for (const QString &description : descriptions) {
        const QString notes = QStringLiteral("notes of ") + description + QStringLiteral("\n\tindented");
        household.dbInventory()->execute(QStringLiteral("insert into items (Item, Notes, model) values (?, ?, ?)"),
                                         {description, notes, QStringLiteral("M\"1")});
        expected << QStringList{description, QStringLiteral("M\"1"), notes};
    }
    // Description, Model, Notes.
    const QByteArray bytes = runToFile(reportLines({1, 3, 15}, QStringLiteral("2")), QStringLiteral("txt"));
    const QList<QStringList> records = tabRecords(QString::fromUtf8(bytes));
    EXPECT_EQ(sorted(records), sorted(expected));
    // A field without a tab, line break or leading quote is written as it is.
    EXPECT_TRUE(bytes.contains("\r\nPlain lamp\tM\"1\t")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("\r\n\"Lone\rreturn\"\t")) << "a lone CR ends a line for many readers";
    EXPECT_TRUE(prompts.messages().empty());
}
