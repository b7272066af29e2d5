#include "help/viewer/HelpWindow.h"

#include "program/Prompts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(ProgramTitle + QStringLiteral(" Help"));
    resize(680, 540);

    cmdContents = new QPushButton(QStringLiteral("&Contents"), this);
    cmdSearch = new QPushButton(QStringLiteral("&Search"), this);
    cmdBack = new QPushButton(QStringLiteral("&Back"), this);
    cmdUsingHelp = new QPushButton(QStringLiteral("&Using Help"), this);
    for (QPushButton *button : {cmdContents, cmdSearch, cmdBack, cmdUsingHelp})
        button->setAutoDefault(false);

    txtPage = new QTextBrowser(this);
    txtPage->setOpenLinks(false);
    txtPage->setOpenExternalLinks(false);
    txtPage->setAccessibleName(QStringLiteral("Help page"));

    fraSearch = new QWidget(this);
    auto *lblSearch = new QLabel(QStringLiteral("&Type the words to look for:"), fraSearch);
    txtSearch = new QLineEdit(fraSearch);
    txtSearch->setClearButtonEnabled(true);
    lblSearch->setBuddy(txtSearch);
    auto *lblTopics = new QLabel(QStringLiteral("Topics &found:"), fraSearch);
    lstTopics = new QListWidget(fraSearch);
    lblTopics->setBuddy(lstTopics);
    lstTopics->setAccessibleName(QStringLiteral("Topics found"));
    cmdDisplay = new QPushButton(QStringLiteral("&Display"), fraSearch);
    cmdDisplay->setAutoDefault(false);

    auto *searchLayout = new QVBoxLayout(fraSearch);
    searchLayout->addWidget(lblSearch);
    searchLayout->addWidget(txtSearch);
    searchLayout->addWidget(lblTopics);
    searchLayout->addWidget(lstTopics, 1);
    auto *displayRow = new QHBoxLayout;
    displayRow->addStretch(1);
    displayRow->addWidget(cmdDisplay);
    searchLayout->addLayout(displayRow);

    stkPages = new QStackedWidget(this);
    stkPages->addWidget(txtPage);
    stkPages->addWidget(fraSearch);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(cmdContents);
    buttonRow->addWidget(cmdSearch);
    buttonRow->addWidget(cmdBack);
    buttonRow->addWidget(cmdUsingHelp);
    buttonRow->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttonRow);
    layout->addWidget(stkPages, 1);

    connect(cmdContents, &QPushButton::clicked, this, &HelpWindow::cmdContents_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &HelpWindow::cmdSearch_Click);
    connect(cmdBack, &QPushButton::clicked, this, &HelpWindow::cmdBack_Click);
    connect(cmdUsingHelp, &QPushButton::clicked, this, &HelpWindow::cmdUsingHelp_Click);
    connect(cmdDisplay, &QPushButton::clicked, this, &HelpWindow::cmdDisplay_Click);
    connect(txtSearch, &QLineEdit::textChanged, this, &HelpWindow::txtSearch_Change);
    connect(txtSearch, &QLineEdit::returnPressed, this, &HelpWindow::cmdDisplay_Click);
    connect(lstTopics, &QListWidget::itemClicked, this, &HelpWindow::lstTopics_Click);
    connect(lstTopics, &QListWidget::itemActivated, this, &HelpWindow::lstTopics_Click);
    connect(txtPage, &QTextBrowser::anchorClicked, this, &HelpWindow::txtPage_AnchorClicked);
    connect(new QShortcut(QKeySequence::Back, this), &QShortcut::activated, this, &HelpWindow::cmdBack_Click);

    // The arrow keys in the search box walk the list of topics found.
    txtSearch->installEventFilter(this);

    updateBackButton();
}

void HelpWindow::setBook(const HelpBook &book, const QString &sourcePath)
{
    m_book = book;
    if (sourcePath != m_sourcePath) {
        // Pages of another file's history may not exist in this one.
        m_sourcePath = sourcePath;
        m_history.clear();
        m_hasPlace = false;
        updateBackButton();
    }
}

void HelpWindow::showTopic(int topic)
{
    const HelpPage *page = m_book.topicPage(topic);
    showPage(page ? page->id : HelpBook::ContentsId);
}

void HelpWindow::showContents()
{
    showPage(HelpBook::ContentsId);
}

void HelpWindow::showUsingHelp()
{
    showPage(HelpBook::UsingHelpId);
}

void HelpWindow::showPage(const QString &id)
{
    Place place;
    place.pageId = m_book.page(id) ? id : HelpBook::ContentsId;
    go(place);
}

void HelpWindow::showSearch(const QString &key)
{
    Place place;
    place.search = true;
    place.key = key;
    go(place);
    txtSearch->setFocus();
    txtSearch->selectAll();
}

bool HelpWindow::goBack()
{
    if (m_history.isEmpty())
        return false;
    m_current = m_history.takeLast();
    display(m_current);
    updateBackButton();
    return true;
}

int HelpWindow::currentTopic() const
{
    if (!m_hasPlace || m_current.search)
        return 0;
    const HelpPage *page = m_book.page(m_current.pageId);
    return page ? page->topic : 0;
}

QString HelpWindow::currentPageId() const
{
    return m_hasPlace && !m_current.search ? m_current.pageId : QString();
}

bool HelpWindow::isSearchShown() const
{
    return m_hasPlace && m_current.search;
}

QStringList HelpWindow::searchResults() const
{
    QStringList headings;
    for (int i = 0; i < lstTopics->count(); ++i)
        headings << lstTopics->item(i)->text();
    return headings;
}

QString HelpWindow::shownText() const
{
    return isSearchShown() ? QString() : txtPage->toPlainText();
}

void HelpWindow::cmdContents_Click()
{
    showContents();
}

void HelpWindow::cmdSearch_Click()
{
    showSearch(isSearchShown() ? txtSearch->text() : QString());
}

void HelpWindow::cmdBack_Click()
{
    goBack();
}

void HelpWindow::cmdUsingHelp_Click()
{
    showUsingHelp();
}

void HelpWindow::cmdDisplay_Click()
{
    QListWidgetItem *item = lstTopics->currentItem();
    if (!item && lstTopics->count() > 0)
        item = lstTopics->item(0);
    if (item)
        lstTopics_Click(item);
}

void HelpWindow::txtSearch_Change()
{
    if (!isSearchShown())
        return;
    // Typing refines the one search place rather than adding history.
    m_current.key = txtSearch->text();
    fillSearchList(m_current.key);
}

void HelpWindow::lstTopics_Click(QListWidgetItem *item)
{
    if (item)
        showPage(item->data(Qt::UserRole).toString());
}

void HelpWindow::txtPage_AnchorClicked(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")) {
        prompts().openWebAddress(url.toString());
        return;
    }
    const QString fragment = url.fragment();
    if (scheme.isEmpty() && url.path().isEmpty() && !fragment.isEmpty()) {
        if (m_book.page(fragment))
            showPage(fragment);
        else
            txtPage->scrollToAnchor(fragment);
    }
    // Links to other files are not followed: the help is one file.
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && lstTopics->count() > 0) {
            const int row = lstTopics->currentRow() + (key == Qt::Key_Down ? 1 : -1);
            lstTopics->setCurrentRow(qBound(0, row, lstTopics->count() - 1));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::go(const Place &place)
{
    if (m_hasPlace) {
        const bool same = place.search == m_current.search
            && (place.search ? place.key == m_current.key : place.pageId == m_current.pageId);
        if (!same)
            m_history << m_current;
    }
    m_current = place;
    m_hasPlace = true;
    display(m_current);
    updateBackButton();
}

void HelpWindow::display(const Place &place)
{
    if (place.search) {
        stkPages->setCurrentWidget(fraSearch);
        if (txtSearch->text() != place.key) {
            const QSignalBlocker blocker(txtSearch);
            txtSearch->setText(place.key);
        }
        fillSearchList(place.key);
        return;
    }
    const HelpPage *page = m_book.page(place.pageId);
    if (!page)
        page = &m_book.contents();
    txtPage->setHtml(m_book.pageDocument(*page));
    stkPages->setCurrentWidget(txtPage);
}

void HelpWindow::fillSearchList(const QString &key)
{
    lstTopics->clear();
    for (const HelpPage *page : m_book.search(key)) {
        auto *item = new QListWidgetItem(page->heading, lstTopics);
        item->setData(Qt::UserRole, page->id);
    }
    if (lstTopics->count() > 0)
        lstTopics->setCurrentRow(0);
}

void HelpWindow::updateBackButton()
{
    cmdBack->setEnabled(!m_history.isEmpty());
}
