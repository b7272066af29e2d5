#include "help/HelpBook.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>
#include <algorithm>

static const QRegularExpression::PatternOptions HtmlOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

static QString plainTextOf(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

// The help file is written as UTF-8; a copy saved by an older editor in the
// Windows code page is still read rather than shown with broken letters.
static QString decodeHelpText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    return QString::fromLatin1(bytes);
}

static QString attributeValue(const QString &attributes, const QString &name)
{
    const QRegularExpression re(QStringLiteral("(?:^|\\s)%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(attributes);
    if (!m.hasMatch())
        return QString();
    for (int i = 1; i <= 3; ++i)
        if (m.capturedStart(i) >= 0)
            return m.captured(i);
    return QString();
}

static QStringList foldedWords(const QString &text)
{
    QStringList words;
    QString current;
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            current += c;
        } else if (!current.isEmpty()) {
            words << current.toCaseFolded();
            current.clear();
        }
    }
    if (!current.isEmpty())
        words << current.toCaseFolded();
    return words;
}

static bool holdsAllWords(const QStringList &pageWords, const QStringList &keyWords)
{
    return std::all_of(keyWords.begin(), keyWords.end(), [&](const QString &key) {
        return std::any_of(pageWords.begin(), pageWords.end(),
                           [&](const QString &word) { return word.startsWith(key); });
    });
}

static int hitCount(const QStringList &pageWords, const QStringList &keyWords)
{
    return int(std::count_if(pageWords.begin(), pageWords.end(), [&](const QString &word) {
        return std::any_of(keyWords.begin(), keyWords.end(), [&](const QString &key) { return word.startsWith(key); });
    }));
}

static bool headingBefore(const HelpPage *a, const HelpPage *b)
{
    return QString::compare(a->heading, b->heading, Qt::CaseInsensitive) < 0;
}

static void sortByHeading(QList<const HelpPage *> &pages)
{
    std::stable_sort(pages.begin(), pages.end(), headingBefore);
}

struct ScoredPage {
    const HelpPage *page;
    int hits;
};

static QList<const HelpPage *> byHitsThenHeading(QList<ScoredPage> scored)
{
    std::stable_sort(scored.begin(), scored.end(), [](const ScoredPage &a, const ScoredPage &b) {
        if (a.hits != b.hits)
            return a.hits > b.hits;
        return headingBefore(a.page, b.page);
    });
    QList<const HelpPage *> pages;
    for (const ScoredPage &s : std::as_const(scored))
        pages << s.page;
    return pages;
}

QString HelpBook::topicId(int topic)
{
    return QStringLiteral("topic-%1").arg(topic);
}

HelpBook::HelpBook()
{
    HelpPage contents;
    contents.id = ContentsId;
    contents.heading = QStringLiteral("Contents");
    m_pages << contents;
}

HelpBook HelpBook::fromHtml(const QString &html)
{
    HelpBook book;
    book.m_pages.clear();

    static const QRegularExpression styleRe(QStringLiteral("<style\\b[^>]*>(.*?)</style\\s*>"), HtmlOptions);
    for (auto it = styleRe.globalMatch(html); it.hasNext();)
        book.m_styleSheet += it.next().captured(1);

    static const QRegularExpression sectionRe(QStringLiteral("<section\\b([^>]*)>(.*?)</section\\s*>"), HtmlOptions);
    static const QRegularExpression headingRe(QStringLiteral("<h([1-6])\\b[^>]*>(.*?)</h\\1\\s*>"), HtmlOptions);
    static const QRegularExpression topicRe(QStringLiteral("^topic-(\\d+)$"));

    for (auto it = sectionRe.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        HelpPage page;
        page.id = attributeValue(m.captured(1), QStringLiteral("id"));
        if (page.id.isEmpty() || book.page(page.id))
            continue;
        page.html = m.captured(2);
        QStringList headings;
        for (auto h = headingRe.globalMatch(page.html); h.hasNext();)
            headings << plainTextOf(h.next().captured(2)).simplified();
        page.heading = headings.isEmpty() ? page.id : headings.takeFirst();
        page.subheadings = headings.join(QLatin1Char('\n'));
        const QRegularExpressionMatch topic = topicRe.match(page.id);
        if (topic.hasMatch())
            page.topic = topic.captured(1).toInt();
        page.plainText = plainTextOf(page.html);
        book.m_pages << page;
    }

    for (qsizetype i = 0; i < book.m_pages.size(); ++i) {
        if (book.m_pages[i].id == ContentsId) {
            book.m_contentsIndex = i;
            return book;
        }
    }

    HelpPage contents;
    contents.id = ContentsId;
    contents.heading = QStringLiteral("Contents");
    if (book.m_pages.isEmpty()) {
        // Not a sectioned help file: show all of it as one page.
        static const QRegularExpression bodyRe(QStringLiteral("<body\\b[^>]*>(.*?)(?:</body\\s*>|$)"), HtmlOptions);
        const QRegularExpressionMatch body = bodyRe.match(html);
        contents.html = body.hasMatch() ? body.captured(1) : html;
    } else {
        contents.html = QStringLiteral("<h1>Contents</h1>\n<ul>\n");
        for (const HelpPage &page : std::as_const(book.m_pages))
            contents.html += QStringLiteral("<li><a href=\"#%1\">%2</a></li>\n")
                                 .arg(page.id.toHtmlEscaped(), page.heading.toHtmlEscaped());
        contents.html += QStringLiteral("</ul>\n");
    }
    contents.plainText = plainTextOf(contents.html);
    book.m_pages.prepend(contents);
    book.m_contentsIndex = 0;
    return book;
}

std::optional<HelpBook> HelpBook::fromFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("The file does not exist.");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (bytes.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("The file is empty.");
        return std::nullopt;
    }
    return fromHtml(decodeHelpText(bytes));
}

const HelpPage &HelpBook::contents() const
{
    return m_pages[m_contentsIndex];
}

const HelpPage *HelpBook::page(const QString &id) const
{
    for (const HelpPage &p : m_pages)
        if (p.id == id)
            return &p;
    return nullptr;
}

const HelpPage *HelpBook::topicPage(int topic) const
{
    return topic > 0 ? page(topicId(topic)) : nullptr;
}

QList<const HelpPage *> HelpBook::searchablePages() const
{
    QList<const HelpPage *> pages;
    for (qsizetype i = 0; i < m_pages.size(); ++i)
        if (i != m_contentsIndex)
            pages << &m_pages[i];
    return pages;
}

QList<const HelpPage *> HelpBook::search(const QString &key) const
{
    const QStringList keyWords = foldedWords(key);
    QList<const HelpPage *> all = searchablePages();
    if (keyWords.isEmpty()) {
        sortByHeading(all);
        return all;
    }
    QList<const HelpPage *> inHeading;
    QList<ScoredPage> inSubheading;
    QList<ScoredPage> inText;
    for (const HelpPage *p : std::as_const(all)) {
        const QStringList words = foldedWords(p->plainText);
        if (holdsAllWords(foldedWords(p->heading), keyWords))
            inHeading << p;
        else if (holdsAllWords(foldedWords(p->subheadings), keyWords))
            inSubheading << ScoredPage{p, hitCount(words, keyWords)};
        else if (holdsAllWords(words, keyWords))
            inText << ScoredPage{p, hitCount(words, keyWords)};
    }
    sortByHeading(inHeading);
    return inHeading + byHitsThenHeading(inSubheading) + byHitsThenHeading(inText);
}

QString HelpBook::pageDocument(const HelpPage &page) const
{
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><style>%1</style></head><body>%2</body></html>")
        .arg(m_styleSheet, page.html);
}
