// The main window's View menu, which opens the item list.
#include "app/frmMain.h"
#include "help/viewer/HelpKey.h"
#include "itemlist/window/frmItemList.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {
constexpr int TopicItemList = 52;
}

void frmMain::buildViewMenu()
{
    // After Reports, before Help: every menu of the program keeps its place.
    mnuViewMenu = new QMenu(QStringLiteral("&View"), this);
    mnuViewMenu->setObjectName(QStringLiteral("mnuViewMenu"));
    menuBar()->insertMenu(mnuHelpmenu->menuAction(), mnuViewMenu);
    setHelpTopic(mnuViewMenu->menuAction(), TopicItemList);
    mnuItemList = mnuViewMenu->addAction(QStringLiteral("Item &List..."));
    mnuItemList->setObjectName(QStringLiteral("mnuItemList"));
    setHelpTopic(mnuItemList, TopicItemList);
    connect(mnuItemList, &QAction::triggered, this, &frmMain::mnuItemList_Click);
}

void frmMain::mnuItemList_Click()
{
    setSecondaryWindow(Secondary::ItemList,
                       frmItemList::showItemList(m_household, this, [this](qint64 key) { return ShowItemByKey(key); }));
}
