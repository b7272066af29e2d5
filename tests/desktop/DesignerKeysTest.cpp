// The report designer under real hands: the calendar's pick, the keys of
// the field list and the sort lists, the File menu and Generate on a shown,
// active designer, and what lands in the saved report file.
#include "DesktopFixture.h"

#include "data/DateValue.h"
#include "dates/calendar/DateBox.h"
#include "dates/calendar/frmDateEnt.h"
#include "designer/frmRptSpec.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

class DesignerDesktop : public DesktopTest {
protected:
    void TearDown() override
    {
        frmDateEnt::setModalRunner({});
        if (frmRptSpec *designer = frmRptSpec::instance()) {
            designer->ReportChanged = false; // closing asks nothing more
            delete designer;
        }
        DesktopTest::TearDown();
    }

    frmRptSpec &openDesigner()
    {
        start();
        frmRptSpec *designer = frmRptSpec::showDesigner(household, window.get());
        if (!designer)
            throw std::runtime_error("the designer did not open");
        EXPECT_TRUE(waitUntilActive(designer)) << "the display did not activate the designer";
        return *designer;
    }

    // A click on the entry with that caption.
    static void clickEntry(QListWidget *list, const QString &caption)
    {
        const QList<QListWidgetItem *> found = list->findItems(caption, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << caption.toStdString();
        list->scrollToItem(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(found.first()).center());
    }

    static void addByClicks(frmRptSpec &d, const QString &caption)
    {
        clickEntry(d.List1, caption);
        click(d.cmdAdd);
    }

    // The File menu opened by its access key, and one of its entries chosen
    // by its own.
    static void fileMenu(char entry)
    {
        alt('f');
        QWidget *menu = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (menu = QApplication::activePopupWidget()) != nullptr; }, 5000))
            << "the File menu did not open";
        QTest::keyClick(menu, Qt::Key(Qt::Key_A + (entry - 'a')));
    }

    static void replaceText(QWidget *box, const QString &text)
    {
        click(box);
        press(Qt::Key_A, Qt::ControlModifier);
        type(text);
    }

    // The saved file's line (counted from 1).
    static QString fileLine(const QString &path, int line)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("<no file>");
        return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n")).value(line - 1);
    }
};

// Runs act on the calendar as soon as it is shown and active, while the
// date box holds it open modal.
void onCalendar(std::function<void(frmDateEnt &)> act)
{
    QTimer::singleShot(0, [act] {
        frmDateEnt *calendar = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] {
                calendar = qobject_cast<frmDateEnt *>(QApplication::activeModalWidget());
                return calendar && calendar->isActiveWindow();
            },
            5000);
        if (!shown) {
            ADD_FAILURE() << "the calendar did not open";
            return;
        }
        act(*calendar);
    });
}

// Pages the calendar by its keys to a month of a year.
void pageTo(frmDateEnt &calendar, int year, int month)
{
    const auto key = [&](int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(calendar.Grid1, Qt::Key(k), modifiers);
    };
    while (calendar.page().curYear() > year)
        key(Qt::Key_PageUp, Qt::ControlModifier);
    while (calendar.page().curYear() < year)
        key(Qt::Key_PageDown, Qt::ControlModifier);
    while (calendar.page().curMonth() > month)
        key(Qt::Key_PageUp);
    while (calendar.page().curMonth() < month)
        key(Qt::Key_PageDown);
}

void clickDay(frmDateEnt &calendar, int day)
{
    for (int row = 0; row < calendar.Grid1->rowCount(); ++row)
        for (int column = 0; column < calendar.Grid1->columnCount(); ++column)
            if (calendar.page().dayAt(row, column) == day) {
                QTableWidgetItem *cell = calendar.Grid1->item(row, column);
                QTest::mouseClick(calendar.Grid1->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  calendar.Grid1->visualItemRect(cell).center());
                return;
            }
    ADD_FAILURE() << "no day " << day;
}

QString serialText(int year, int month, int day)
{
    return QString::number(DateValue::fromDate(QDate(year, month, day)).serial());
}

} // namespace

TEST_F(DesignerDesktop, ADatePickedFromTheCalendarIsStoredAndSaved)
{
    frmRptSpec &d = openDesigner();
    addByClicks(d, QStringLiteral("Purchase Date"));
    addByClicks(d, QStringLiteral("Description"));
    clickEntry(d.List2, QStringLiteral("Purchase Date"));
    const int purchaseDate = d.List2->currentItem()->data(Qt::UserRole).toInt();

    // Start Date: the box's button, the month paged to, a click on the 1st.
    onCalendar([](frmDateEnt &calendar) {
        pageTo(calendar, 2015, 11);
        clickDay(calendar, 1);
    });
    click(d.dcStartDate->findChild<QToolButton *>());
    ASSERT_TRUE(waitUntilActive(&d));
    EXPECT_EQ(d.dcStartDate->text(), QStringLiteral("11/1/2015"));
    // Another field and back: the picked date was kept.
    clickEntry(d.List2, QStringLiteral("Description"));
    clickEntry(d.List2, QStringLiteral("Purchase Date"));
    EXPECT_EQ(d.dcStartDate->text(), QStringLiteral("11/1/2015"));

    // End Date by keyboard alone (F4, arrows, Return), saved at once from
    // the File menu.
    click(d.dcEndDate);
    onCalendar([](frmDateEnt &calendar) {
        pageTo(calendar, 2016, 2);
        QTest::keyClick(calendar.Grid1, Qt::Key_End);
        QTest::keyClick(calendar.Grid1, Qt::Key_Left);
        QTest::keyClick(calendar.Grid1, Qt::Key_Return);
    });
    press(Qt::Key_F4);
    ASSERT_TRUE(waitUntilActive(&d));
    EXPECT_EQ(d.dcEndDate->text(), QStringLiteral("2/28/2016"));
    const QString saved = folder().file(QStringLiteral("picked.rpt"));
    prompts.answerFile(saved);
    fileMenu('s');
    EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join(u'\n').toStdString();
    EXPECT_EQ(fileLine(saved, 15).split(u';').value(purchaseDate - 1), serialText(2015, 11, 1));
    EXPECT_EQ(fileLine(saved, 16).split(u';').value(purchaseDate - 1), serialText(2016, 2, 28));
}

TEST_F(DesignerDesktop, ATypedValueCountsWhenTheFileMenuSavesWithoutLeavingTheBox)
{
    frmRptSpec &d = openDesigner();
    addByClicks(d, QStringLiteral("Purchase Date"));
    const int purchaseDate = d.List2->currentItem()->data(Qt::UserRole).toInt();
    clickAndType(d.dcStartDate, QStringLiteral("3/15/2023"));
    const QString saved = folder().file(QStringLiteral("typed.rpt"));
    prompts.answerFile(saved);
    fileMenu('s');
    EXPECT_EQ(fileLine(saved, 15).split(u';').value(purchaseDate - 1), serialText(2023, 3, 15));

    // A box that cannot be left stops the save, with the box's own message.
    prompts.clear();
    clickAndType(d.dcEndDate, QStringLiteral("soon"));
    fileMenu('s');
    EXPECT_EQ(shownMessages(),
              QStringList{QStringLiteral("Stowbook|You must enter a valid date or leave this selection field blank.")});
    EXPECT_EQ(focus(), d.dcEndDate);
    EXPECT_TRUE(d.ReportChanged);
}

TEST_F(DesignerDesktop, KeysInFieldsToReportShowTheSelectedFieldsDetails)
{
    frmRptSpec &d = openDesigner();
    for (const char *field : {"Description", "Purchase Price", "Receipt", "Quantity"})
        addByClicks(d, QLatin1String(field));
    clickEntry(d.List2, QStringLiteral("Description"));
    const struct {
        int key; // 0: type the letter
        char letter;
        const char *shown;
        int criteria; // the criteria frame of its data type
    } steps[] = {
        {Qt::Key_Down, 0, "Purchase Price", 2}, {Qt::Key_End, 0, "Quantity", 2},
        {Qt::Key_Home, 0, "Description", 1},    {0, 'r', "Receipt", 4},
        {Qt::Key_Up, 0, "Purchase Price", 2},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.shown);
        if (step.key)
            press(step.key);
        else
            type(QString(QLatin1Char(step.letter)));
        EXPECT_EQ(d.List2->currentItem()->text(), QLatin1String(step.shown));
        EXPECT_EQ(d.frame1->title(), QStringLiteral("Details For ") + QLatin1String(step.shown));
        EXPECT_TRUE(d.fraSel[std::size_t(step.criteria)]->isVisible());
    }
    // An edit goes to the field on screen, not to the one clicked last.
    const int price = d.List2->currentItem()->data(Qt::UserRole).toInt();
    const int description = d.List2->item(0)->data(Qt::UserRole).toInt();
    replaceText(d.txtWidth, QStringLiteral("1.75"));
    clickEntry(d.List2, QStringLiteral("Purchase Price"));
    EXPECT_FLOAT_EQ(d.Design.FieldWidth[price], 1.75f);
    EXPECT_NE(d.Design.FieldWidth[description], 1.75f);
}

TEST_F(DesignerDesktop, GenerateWithEveryFieldHiddenSaysWhatToChange)
{
    frmRptSpec &d = openDesigner();
    addByClicks(d, QStringLiteral("Description"));
    click(d.chkHide);
    click(d.cmdGenerate);
    const QStringList shown = shownMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_FALSE(shown.first().startsWith(QStringLiteral("Invalid Report File|")));
    EXPECT_TRUE(shown.first().contains(QStringLiteral("Hide Field"))) << shown.first().toStdString();

    // A negative width is refused where it is typed, and the box keeps the focus.
    prompts.clear();
    click(d.chkHide);
    replaceText(d.txtWidth, QStringLiteral("-2"));
    click(d.cmdGenerate);
    EXPECT_EQ(shownMessages(),
              QStringList{QStringLiteral("Stowbook|You must enter a valid number for the column width")});
    EXPECT_EQ(focus(), d.txtWidth);
    EXPECT_GT(d.Design.FieldWidth[d.List2->item(0)->data(Qt::UserRole).toInt()], 0.0f);
}

TEST_F(DesignerDesktop, DeleteOrBackspaceClearsASortKey)
{
    frmRptSpec &d = openDesigner();
    d.Tab1->setCurrentIndex(2);
    const int fields = d.cmbSort1->count();
    for (QComboBox *sort : {d.cmbSort1, d.cmbSort2}) {
        for (const int key : {Qt::Key_Delete, Qt::Key_Backspace}) {
            sort->setFocus(Qt::TabFocusReason);
            press(Qt::Key_Down);
            ASSERT_GE(sort->currentIndex(), 0);
            d.ReportChanged = false;
            press(key);
            EXPECT_EQ(sort->currentIndex(), -1);
            EXPECT_TRUE(d.ReportChanged);
        }
        // Positions in the list are what files store: no entry was added.
        EXPECT_EQ(sort->count(), fields);
    }
    const QString saved = folder().file(QStringLiteral("nosort.rpt"));
    prompts.answerFile(saved);
    fileMenu('s');
    EXPECT_EQ(fileLine(saved, 8), QStringLiteral("-1"));
    EXPECT_EQ(fileLine(saved, 9), QStringLiteral("-1"));
}
