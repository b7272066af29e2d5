#pragma once

#include <QList>
#include <QString>
#include <optional>

// One page of the help file: a <section id="..."> with its first heading.
struct HelpPage {
    QString id;          // "contents", "using-help", "topic-31", ...
    int topic = 0;       // the topic number of a "topic-NN" page, else 0
    QString heading;     // plain text of the section's first heading
    QString subheadings; // plain text of its other headings, one a line
    QString html;        // the section's inner HTML
    QString plainText;   // heading and body as plain text, for searching
};

// The help file taken apart into its pages. A book always has a contents
// page: the file's own "contents" section, or one made from the headings of
// the other sections, or (for a file without sections) the whole file.
class HelpBook {
public:
    static inline const QString ContentsId = QStringLiteral("contents");
    static inline const QString UsingHelpId = QStringLiteral("using-help");

    static HelpBook fromHtml(const QString &html);
    // std::nullopt, with *error set to a sentence for the user, when the file
    // is missing, unreadable or empty.
    static std::optional<HelpBook> fromFile(const QString &path, QString *error);

    static QString topicId(int topic);

    // A book with nothing but an empty contents page.
    HelpBook();

    // Pointers stay valid while the book lives and is not assigned to.
    const HelpPage &contents() const;
    const HelpPage *page(const QString &id) const;
    const HelpPage *topicPage(int topic) const;

    // Every page but the contents, in file order.
    QList<const HelpPage *> searchablePages() const;

    // Pages in which every word of `key` begins some word of the page,
    // ignoring case. Pages whose heading holds all the words come first, then
    // those where a subheading does, then the rest; within the last two the
    // pages with more hits first, and otherwise alphabetically by heading.
    // An empty key (or one without letters or digits) lists every searchable
    // page alphabetically.
    QList<const HelpPage *> search(const QString &key) const;

    // A complete HTML document showing one page with the file's style sheet.
    QString pageDocument(const HelpPage &page) const;

private:
    QList<HelpPage> m_pages; // file order; m_pages[m_contentsIndex] is the contents
    qsizetype m_contentsIndex = 0;
    QString m_styleSheet;
};
