#include "ItemWindowFixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <functional>

namespace {

// One of the windows the main window closes as it unloads, which hands the
// focus back into the main window as it goes, as a window returning the
// focus to its opener does. Closing the main window by itself never moves
// its focus but by deactivating it, which no leave check heeds anyway; this
// moves it as the user's Tab would, while the main window is closing.
class HandingBackWindow : public QWidget {
public:
    explicit HandingBackWindow(QWidget *focusTo) : m_focusTo(focusTo) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (m_focusTo)
            m_focusTo->setFocus(Qt::TabFocusReason);
        QWidget::closeEvent(event);
    }

private:
    QPointer<QWidget> m_focusTo;
};

// Types text over what a field holds, with real keys.
void typeInto(QLineEdit *field, const QString &text)
{
    QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, field->rect().center());
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

} // namespace

// A window that is closing for good checks no field it leaves: closing it
// while a field holds what its leave check refuses shows no message and
// stores nothing, even when the focus moves on inside it meanwhile.
TEST_F(ItemWindowTest, ClosingTheMainWindowRunsNoLeaveCheckWhateverMovesItsFocus)
{
    const qint64 id = addItem({{"Item", "Desk lamp"}, {"purchprice", 5}, {"purchdate", "2021-03-15"}});
    // The window checks its number fields; the date box checks itself.
    struct Field {
        const char *name;
        QLineEdit *frmMain::*field;
        const char *refused;
    };
    const Field fields[] = {
        {"the purchase price", &frmMain::txtPurchPrice, "abc"},
        {"the purchase date", nullptr, "99/99/99"},
    };
    struct Way {
        const char *name;
        std::function<void(frmMain &)> close;
    };
    const Way ways[] = {
        {"the frame's close box", [](frmMain &w) { w.close(); }},
        {"Exit by its keys",
         [](frmMain &w) {
             QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_X);
         }},
    };
    for (const Field &row : fields) {
        for (const Way &way : ways) {
            SCOPED_TRACE(std::string(row.name) + ", " + way.name);
            const QVariantMap before = stored(id);
            frmMain &w = start();
            ASSERT_TRUE(w.isActiveWindow());
            QLineEdit *field = row.field ? w.*row.field : w.dcPurchDate;
            typeInto(field, QString::fromLatin1(row.refused));
            ASSERT_EQ(QApplication::focusWidget(), field);
            ASSERT_EQ(field->text(), QString::fromLatin1(row.refused));
            HandingBackWindow other(w.txtItem);
            w.setSecondaryWindow(frmMain::Secondary::About, &other);

            way.close(w);
            EXPECT_EQ(shownMessages(prompts), QStringList());
            EXPECT_FALSE(w.isVisible());
            EXPECT_EQ(household.rsItems(), nullptr) << "the inventory is closed";
            EXPECT_EQ(stored(id), before);
            window.reset();
            household.closeInventory();
            prompts.clear();
        }
    }
}
