#include "focus/LeaveCheck.h"

#include "focus/FocusReturn.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

namespace {

constexpr char DiscardsEdits[] = "stowbookDiscardsEdits";
constexpr char NoLeaveChecks[] = "stowbookNoLeaveChecks";

bool isWindowOrMenu(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

} // namespace

bool isEntering(const QFocusEvent *event)
{
    return !isWindowOrMenu(event->reason());
}

bool isLeaving(const QWidget *control, const QFocusEvent *event)
{
    if (isWindowOrMenu(event->reason()) || FocusReturn::active())
        return false;
    if (control && control->window()->property(NoLeaveChecks).toBool())
        return false;
    // The application names the new focus widget before the old one hears
    // that it lost the focus.
    const QWidget *arriving = QApplication::focusWidget();
    return !(arriving && arriving->property(DiscardsEdits).toBool());
}

void setDiscardsEdits(QAbstractButton *button)
{
    button->setProperty(DiscardsEdits, true);
}

void stopLeaveChecks(QWidget *window)
{
    window->window()->setProperty(NoLeaveChecks, true);
}
