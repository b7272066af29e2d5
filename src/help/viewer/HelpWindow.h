#pragma once

#include "help/HelpBook.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;
class QTextBrowser;
class QUrl;

// The program's help window: one page of the help book at a time, a search
// page over all pages, and a history for Back. ShowHelp owns the one instance;
// the window itself knows nothing about files beyond the book it is given.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    void setBook(const HelpBook &book, const QString &sourcePath);
    const HelpBook &book() const { return m_book; }
    // The file the book came from; empty before the first setBook.
    const QString &sourcePath() const { return m_sourcePath; }

    // 0, or a topic the book does not hold, shows the contents.
    void showTopic(int topic);
    void showContents();
    // The contents when the book has no "using-help" page.
    void showUsingHelp();
    // The contents when the book has no page of that id.
    void showPage(const QString &id);
    void showSearch(const QString &key);
    // false when there is nothing to go back to.
    bool goBack();

    // The topic number of the page shown; 0 for the contents, other
    // unnumbered pages and the search page.
    int currentTopic() const;
    // The id of the page shown; empty while the search page is shown.
    QString currentPageId() const;
    bool isSearchShown() const;
    // The headings listed on the search page, top to bottom.
    QStringList searchResults() const;
    // The plain text of the page shown.
    QString shownText() const;

    // Handlers.
    void cmdContents_Click();
    void cmdSearch_Click();
    void cmdBack_Click();
    void cmdUsingHelp_Click();
    void cmdDisplay_Click();
    void txtSearch_Change();
    void lstTopics_Click(QListWidgetItem *item);
    void txtPage_AnchorClicked(const QUrl &url);

    QPushButton *cmdContents;
    QPushButton *cmdSearch;
    QPushButton *cmdBack;
    QPushButton *cmdUsingHelp;
    QStackedWidget *stkPages;
    QTextBrowser *txtPage;
    QWidget *fraSearch;
    QLineEdit *txtSearch;
    QListWidget *lstTopics;
    QPushButton *cmdDisplay;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Where the window is: a page, or the search page with its key.
    struct Place {
        bool search = false;
        QString pageId;
        QString key;
    };

    void go(const Place &place);
    void display(const Place &place);
    void fillSearchList(const QString &key);
    void updateBackButton();

    HelpBook m_book;
    QString m_sourcePath;
    Place m_current;
    bool m_hasPlace = false;
    QList<Place> m_history;
};
