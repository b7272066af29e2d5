#include "dates/calendar/DateBox.h"

#include "dates/LocaleFormats.h"
#include "dates/calendar/frmDateEnt.h"
#include "focus/FocusReturn.h"
#include "focus/LeaveCheck.h"
#include "program/Prompts.h"

#include <QAction>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>

DateBox::DateBox(const DateBoxRole &role, QWidget *parent) : QLineEdit(parent), m_role(role)
{
    m_dropDown = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    m_dropDown->setObjectName(QStringLiteral("dropDown"));
    // The button shows only its arrow; the text is what a screen reader says.
    m_dropDown->setText(role.buttonName);
    m_dropDown->setToolTip(QStringLiteral("Choose from a calendar (F4)"));
    connect(m_dropDown, &QAction::triggered, this, &DateBox::DropDown);
}

void DateBox::DropDown()
{
    if (!isEnabled())
        return;
    if (window()->focusWidget() != this) {
        setFocus(Qt::MouseFocusReason);
        if (window()->focusWidget() != this)
            return;
    }
    frmDateEnt calendar(calendarStartDate(text()), this);
    calendar.setWindowTitle(m_role.calendarCaption);
    calendar.adjustSize();
    const QRect screenArea = screen()->availableGeometry();
    // Not shown yet, the calendar has no frame: one like its owner's is
    // counted, or a box low on the screen puts its bottom off the screen.
    const QSize outer = calendarFrameSize(calendar.size(), window()->frameGeometry(), window()->geometry());
    calendar.move(calendarPosition(m_role.placement, screenAnchor(), outer, screenArea));
    calendar.showModal();
    setText(formatShortDate(calendar.PickedDate()));
    // The date counts now, not when the focus is seen leaving: the window is
    // still getting its activation back from the calendar, and a focus moved
    // meanwhile leaves without any event, so the pick would be shown but
    // never stored.
    LostFocus();
    const QScopedValueRollback<bool> movingOn(m_movingOn, true);
    focusNextChild();
}

QRect DateBox::screenAnchor() const
{
    // The box's place in its window, counted from the window's outer corner.
    const QWidget *outer = window();
    return QRect(outer->frameGeometry().topLeft() + mapTo(outer, QPoint(0, 0)), size());
}

bool DateBox::LostFocus()
{
    if (checkLeavingText(text()) != LeavingText::Invalid) {
        emit leaveAccepted();
        return true;
    }
    prompts().message(m_role.invalidMessage, Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
    {
        const FocusReturn returning;
        setFocus(Qt::OtherFocusReason);
    }
    emit leaveRefused();
    return false;
}

void DateBox::KeyPress(int days)
{
    if (const std::optional<QString> stepped = steppedDateText(text(), days))
        setText(*stepped);
    else
        prompts().beep();
}

void DateBox::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (m_role.stepKeys && !(event->modifiers() & commands)) {
        // By the character typed, so the keypad's keys and every layout's
        // way to type "+" count; the key itself never reaches the text.
        const QString typed = event->text();
        if (typed == u"+" || typed == u"-") {
            KeyPress(typed == u"+" ? 1 : -1);
            event->accept();
            return;
        }
    }
    const bool dropDownKey = (event->key() == Qt::Key_F4 && !(event->modifiers() & commands))
        || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier));
    if (dropDownKey) {
        DropDown();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The box being switched off while it has the focus is no leaving either.
    if (!isLeaving(this, event) || !isEnabled() || m_movingOn)
        return;
    LostFocus();
}
