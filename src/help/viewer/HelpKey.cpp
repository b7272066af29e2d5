#include "help/viewer/HelpKey.h"

#include "help/viewer/HelpViewer.h"
#include "help/viewer/HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>
#include <QWidget>

static const char HelpTopicProperty[] = "stowbookHelpTopic";

void setHelpTopic(QObject *widgetOrAction, int topic)
{
    if (!widgetOrAction)
        return;
    widgetOrAction->setProperty(HelpTopicProperty, topic > 0 ? QVariant(topic) : QVariant());
}

int helpTopic(const QObject *widgetOrAction)
{
    if (!widgetOrAction)
        return 0;
    const int topic = widgetOrAction->property(HelpTopicProperty).toInt();
    return topic > 0 ? topic : 0;
}

// An action's topic; for an action that opens a menu, the menu's own topic
// when the action carries none.
static int actionTopic(const QAction *action)
{
    if (!action)
        return 0;
    if (const int topic = helpTopic(action))
        return topic;
    return helpTopic(action->menu());
}

static int widgetChainTopic(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (const int topic = helpTopic(widget))
            return topic;
        // A menu bar with no menu open but one highlighted (after Alt).
        if (const auto *bar = qobject_cast<const QMenuBar *>(widget))
            if (const int topic = actionTopic(bar->activeAction()))
                return topic;
    }
    return 0;
}

int helpTopicForKey(QObject *receiver)
{
    auto *widget = qobject_cast<QWidget *>(receiver);
    if (auto *menu = qobject_cast<QMenu *>(widget)) {
        if (const int topic = actionTopic(menu->activeAction()))
            return topic;
        // A highlighted item without a topic: its menu's, then the menus
        // that opened it, up to the top-level menu.
        for (QMenu *m = menu; m; m = qobject_cast<QMenu *>(m->parentWidget())) {
            if (const int topic = actionTopic(m->menuAction()))
                return topic;
        }
        return widgetChainTopic(menu->parentWidget());
    }
    return widgetChainTopic(widget);
}

class HelpKeyFilter : public QObject {
public:
    HelpKeyFilter(QObject *parent, std::function<QString()> helpFilePath)
        : QObject(parent)
        , m_helpFilePath(std::move(helpFilePath))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (qobject_cast<HelpWindow *>(widget->window())) {
            // F1 inside help is a question about help itself.
            ShowHelp(widget->window(), QString(), HelpHelpOnHelp, 0);
            return true;
        }
        const int topic = helpTopicForKey(widget);
        // The menu closes first, as it would after any command.
        if (auto *menu = qobject_cast<QMenu *>(widget))
            closeMenus(menu);
        ShowHelp(widget->window(), m_helpFilePath ? m_helpFilePath() : QString(), HelpContext, topic);
        return true;
    }

private:
    static void closeMenus(QMenu *menu)
    {
        for (QMenu *m = menu; m; m = qobject_cast<QMenu *>(m->parentWidget()))
            m->hide();
    }

    std::function<QString()> m_helpFilePath;
};

QObject *installHelpKey(QApplication *app, std::function<QString()> helpFilePath)
{
    auto *filter = new HelpKeyFilter(app, std::move(helpFilePath));
    app->installEventFilter(filter);
    return filter;
}
