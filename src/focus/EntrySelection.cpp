#include "focus/EntrySelection.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

class ClickEntry : public QObject {
public:
    explicit ClickEntry(QLineEdit *box) : QObject(box) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_enteredByMouse = static_cast<const QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // The focus comes with the press, just before the box hears it.
            m_heldClick = m_enteredByMouse && static_cast<const QMouseEvent *>(event)->button() == Qt::LeftButton;
            m_enteredByMouse = false;
            return m_heldClick;
        case QEvent::MouseMove:
            // A hand trembling during the click would turn it into a drag
            // that selects from the caret.
            return m_heldClick;
        case QEvent::MouseButtonRelease:
            m_heldClick = false;
            return false;
        case QEvent::FocusOut:
            m_enteredByMouse = false;
            m_heldClick = false;
            return false;
        default:
            return false;
        }
    }

private:
    bool m_enteredByMouse = false;
    bool m_heldClick = false; // from the focusing press to its release
};

} // namespace

void keepSelectionOnClickEntry(QLineEdit *box)
{
    box->installEventFilter(new ClickEntry(box));
}
