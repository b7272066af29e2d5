#include "dates/calendar/frmDateEnt.h"

#include "dates/LocaleFormats.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

frmDateEnt::ModalRunner modalRunner;

QLineEdit *makeReadOnlyBox(const QString &name)
{
    auto *box = new QLineEdit;
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    // As wide as the grid leaves room for, at least as wide as its texts.
    box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return box;
}

} // namespace

frmDateEnt::frmDateEnt(const DateValue &start, QWidget *parent) : QDialog(parent), m_pickedDate(start), m_page(start)
{
    setObjectName(QStringLiteral("frmDateEnt"));
    setWindowTitle(QStringLiteral("Select Date"));
    setModal(true);

    txtMonth = makeReadOnlyBox(QStringLiteral("txtMonth"));
    txtMonth->setAccessibleName(QStringLiteral("Month"));
    Spin1 = makeSpinButton(QStringLiteral("Spin1"), QStringLiteral("month"));
    txtYear = makeReadOnlyBox(QStringLiteral("txtYear"));
    txtYear->setAccessibleName(QStringLiteral("Year"));
    Spin2 = makeSpinButton(QStringLiteral("Spin2"), QStringLiteral("year"));

    Grid1 = new QTableWidget(CalendarPage::WeekRows, CalendarPage::WeekDays);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setAccessibleName(QStringLiteral("Days of the month"));
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->setSectionsClickable(false);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid1->setTabKeyNavigation(false);
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < CalendarPage::WeekRows; ++row) {
        for (int column = 0; column < CalendarPage::WeekDays; ++column) {
            auto *cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            Grid1->setItem(row, column, cell);
        }
    }

    auto *heading = new QHBoxLayout;
    heading->addWidget(txtMonth, 3);
    heading->addWidget(Spin1.down);
    heading->addWidget(Spin1.up);
    heading->addSpacing(8);
    heading->addWidget(txtYear, 2);
    heading->addWidget(Spin2.down);
    heading->addWidget(Spin2.up);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(Grid1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Spin1.down, &QToolButton::clicked, this, &frmDateEnt::Spin1_SpinDown);
    connect(Spin1.up, &QToolButton::clicked, this, &frmDateEnt::Spin1_SpinUp);
    connect(Spin2.down, &QToolButton::clicked, this, &frmDateEnt::Spin2_SpinDown);
    connect(Spin2.up, &QToolButton::clicked, this, &frmDateEnt::Spin2_SpinUp);
    connect(Grid1, &QTableWidget::cellClicked, this, &frmDateEnt::Grid1_Click);
    txtMonth->installEventFilter(this);
    txtYear->installEventFilter(this);
    Grid1->installEventFilter(this);

    Form_Load();
}

frmDateEnt::SpinButton frmDateEnt::makeSpinButton(const QString &name, const QString &what)
{
    SpinButton spin;
    spin.down = new QToolButton;
    spin.down->setObjectName(name + QStringLiteral("Down"));
    spin.down->setArrowType(Qt::LeftArrow);
    spin.down->setToolTip(QStringLiteral("Previous ") + what);
    spin.down->setAccessibleName(spin.down->toolTip());
    spin.up = new QToolButton;
    spin.up->setObjectName(name + QStringLiteral("Up"));
    spin.up->setArrowType(Qt::RightArrow);
    spin.up->setToolTip(QStringLiteral("Next ") + what);
    spin.up->setAccessibleName(spin.up->toolTip());
    // The keyboard steps from the grid; the buttons are for the mouse.
    for (QToolButton *button : {spin.down, spin.up}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    return spin;
}

void frmDateEnt::showModal()
{
    if (modalRunner)
        modalRunner(*this);
    else
        exec();
}

void frmDateEnt::setModalRunner(ModalRunner runner)
{
    modalRunner = std::move(runner);
}

void frmDateEnt::Form_Load()
{
    m_page = CalendarPage(m_pickedDate);
    for (int month = 1; month <= 12; ++month)
        MonthNames[size_t(month - 1)] = formatMonthName(month);
    QStringList headings;
    for (int day = 1; day <= CalendarPage::WeekDays; ++day)
        headings << u' ' + formatDayAbbreviation(day) + u' ';
    Grid1->setHorizontalHeaderLabels(headings);
    fitToTexts();
    ShowMonth();
}

void frmDateEnt::fitToTexts()
{
    // Seven equal columns wide enough for the longest day name and "28",
    // and the grid exactly as large as its cells: no scrolling, no spare
    // band. The month box fits the longest month name.
    const QFontMetrics metrics = Grid1->fontMetrics();
    int width = metrics.horizontalAdvance(QStringLiteral("28")) + 16;
    for (int column = 0; column < CalendarPage::WeekDays; ++column)
        width = qMax(width, metrics.horizontalAdvance(Grid1->horizontalHeaderItem(column)->text()) + 12);
    const int height = metrics.height() + 10;
    Grid1->horizontalHeader()->setDefaultSectionSize(width);
    Grid1->verticalHeader()->setDefaultSectionSize(height);
    const int frame = 2 * Grid1->frameWidth();
    Grid1->setFixedSize(CalendarPage::WeekDays * width + frame,
                        Grid1->horizontalHeader()->sizeHint().height() + CalendarPage::WeekRows * height + frame);

    int monthWidth = 0;
    for (const QString &name : MonthNames)
        monthWidth = qMax(monthWidth, txtMonth->fontMetrics().horizontalAdvance(name));
    txtMonth->setMinimumWidth(monthWidth + 16);
    txtYear->setMinimumWidth(txtYear->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
}

void frmDateEnt::ShowMonth()
{
    txtMonth->setText(MonthNames[size_t(m_page.curMonth() - 1)]);
    txtYear->setText(QString::number(m_page.curYear()));
    for (int row = 0; row < CalendarPage::WeekRows; ++row) {
        for (int column = 0; column < CalendarPage::WeekDays; ++column) {
            QTableWidgetItem *cell = Grid1->item(row, column);
            const int day = m_page.dayAt(row, column);
            cell->setText(day ? QString::number(day) : QString());
            // An empty cell can be neither highlighted nor made current.
            cell->setFlags(day ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
        }
    }
    Grid1->setCurrentCell(m_page.selectedRow(), m_page.selectedColumn(), QItemSelectionModel::ClearAndSelect);
}

void frmDateEnt::Grid1_Click(int row, int column)
{
    const std::optional<DateValue> picked = m_page.pick(row, column);
    if (!picked)
        return;
    m_pickedDate = *picked;
    accept();
}

void frmDateEnt::Spin1_SpinDown()
{
    if (m_page.monthBack())
        ShowMonth();
}

void frmDateEnt::Spin1_SpinUp()
{
    if (m_page.monthForward())
        ShowMonth();
}

void frmDateEnt::Spin2_SpinDown()
{
    if (m_page.yearBack())
        ShowMonth();
}

void frmDateEnt::Spin2_SpinUp()
{
    if (m_page.yearForward())
        ShowMonth();
}

void frmDateEnt::txtMonth_GotFocus()
{
    Grid1->setFocus(Qt::OtherFocusReason);
}

void frmDateEnt::txtYear_GotFocus()
{
    Grid1->setFocus(Qt::OtherFocusReason);
}

bool frmDateEnt::gridKeyPress(int key, Qt::KeyboardModifiers modifiers)
{
    const bool control = modifiers & Qt::ControlModifier;
    bool moved = false;
    switch (key) {
    case Qt::Key_Left:
        moved = m_page.moveDays(-1);
        break;
    case Qt::Key_Right:
        moved = m_page.moveDays(1);
        break;
    case Qt::Key_Up:
        moved = m_page.moveDays(-7);
        break;
    case Qt::Key_Down:
        moved = m_page.moveDays(7);
        break;
    case Qt::Key_Home:
        moved = m_page.moveDays(1 - m_page.curDate().day());
        break;
    case Qt::Key_End:
        moved = m_page.moveDays(m_page.curDate().daysInMonth() - m_page.curDate().day());
        break;
    case Qt::Key_PageUp:
        moved = control ? m_page.yearBack() : m_page.monthBack();
        break;
    case Qt::Key_PageDown:
        moved = control ? m_page.yearForward() : m_page.monthForward();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Grid1_Click(m_page.selectedRow(), m_page.selectedColumn());
        return true;
    default:
        return false;
    }
    if (moved)
        ShowMonth();
    return true;
}

bool frmDateEnt::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtMonth)
            txtMonth_GotFocus();
        else if (watched == txtYear)
            txtYear_GotFocus();
    } else if (event->type() == QEvent::KeyPress && watched == Grid1) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (gridKeyPress(key->key(), key->modifiers()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
