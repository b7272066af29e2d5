#include "focus/ButtonPress.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QShortcutEvent>

namespace {

bool takesFocus(const QAbstractButton *button, Qt::FocusPolicy how)
{
    return (button->focusPolicy() & how) == how;
}

bool isEnterKey(const QKeyEvent *key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// A key shared by several buttons of a window presses none of them: it
// moves the focus to the next of them after the focused control, in tab
// order, so that from a field the first one in tab order comes first and
// pressing the key again goes round them.
void focusNextSharing(QAbstractButton *reached)
{
    QWidget *window = reached->window();
    QWidget *start = window->focusWidget() ? window->focusWidget() : window;
    for (QWidget *next = start->nextInFocusChain(); next != start; next = next->nextInFocusChain()) {
        auto *candidate = qobject_cast<QAbstractButton *>(next);
        if (candidate && candidate->window() == window && candidate->shortcut() == reached->shortcut()
            && candidate->isVisible() && candidate->isEnabled() && takesFocus(candidate, Qt::TabFocus)) {
            candidate->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

class ButtonRules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (!button)
            return false;
        switch (event->type()) {
        case QEvent::Shortcut: {
            // Qt's own handling clicks without moving the focus.
            const auto *shortcut = static_cast<const QShortcutEvent *>(event);
            if (button->shortcut() != shortcut->key())
                return false;
            if (shortcut->isAmbiguous())
                focusNextSharing(button);
            else
                pressButton(button);
            return true;
        }
        case QEvent::KeyPress: {
            const auto *key = static_cast<const QKeyEvent *>(event);
            auto *push = qobject_cast<QPushButton *>(button);
            // A dialog's push buttons already click on Enter (auto default).
            if (!push || !isEnterKey(key) || key->isAutoRepeat() || push->autoDefault() || push->isDefault())
                return false;
            push->click();
            return true;
        }
        case QEvent::MouseButtonPress: {
            // The application moves the focus before the button hears the
            // press. When the field being left took the focus back, the press
            // must not reach the button, or its release would click it.
            const auto *mouse = static_cast<const QMouseEvent *>(event);
            if (!event->spontaneous() || mouse->button() != Qt::LeftButton || !takesFocus(button, Qt::ClickFocus)
                || !button->isActiveWindow())
                return false;
            const QWidget *focus = QApplication::focusWidget();
            return focus && focus != button && focus->window() == button->window();
        }
        default:
            return false;
        }
    }
};

QPointer<ButtonRules> s_rules;

} // namespace

bool pressButton(QAbstractButton *button)
{
    if (!button->isEnabled() || !button->isVisible())
        return false;
    if (takesFocus(button, Qt::TabFocus) && button->isActiveWindow()) {
        const QPointer<QAbstractButton> pressed(button);
        button->setFocus(Qt::ShortcutFocusReason);
        // A leave check may show a message, take the focus back, or even
        // end the window the button was on.
        if (!pressed || QApplication::focusWidget() != button)
            return false;
    }
    button->click();
    return true;
}

void installButtonRules(QApplication *app)
{
    if (s_rules)
        return;
    s_rules = new ButtonRules(app);
    app->installEventFilter(s_rules);
}
