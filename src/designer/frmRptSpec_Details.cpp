// The details frame: a chosen field's width, "Hide Field" and the one
// criteria frame of its data type. Values reach the per-field arrays when
// the control holding them is left.
#include "designer/frmRptSpec.h"

#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "dates/calendar/DateBox.h"
#include "focus/FocusReturn.h"
#include "focus/LeaveCheck.h"
#include "program/Prompts.h"
#include "reports/ReportNumbers.h"
#include "reports/ReportQuery.h"
#include "reports/ReportTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

static const DateBoxRole StartDateRole{
    QStringLiteral("Select Start Date"), CalendarPlacement::RightAlignedBelow,
    QStringLiteral("You must enter a valid date or leave this selection field blank."), false,
    QStringLiteral("Calendar for the start date")};
static const DateBoxRole EndDateRole{QStringLiteral("Select End Date"), CalendarPlacement::RightAlignedEndingBelow,
                                     StartDateRole.invalidMessage, false, QStringLiteral("Calendar for the end date")};
static const QString InvalidTimeMessage =
    QStringLiteral("You must enter a valid time or leave this selection field blank.");

static const QString InvalidWidthMessage = QStringLiteral("You must enter a valid number for the column width");

// Why a width (in the unit given) cannot be a column, or nothing.
static std::optional<QString> columnWidthRefusal(double width, qint16 unit)
{
    if (width < 0)
        return InvalidWidthMessage;
    if (width * twipsPerUnit(unit) > MaxColumnWidth)
        return unit == WidthInCentimetres ? QStringLiteral("A column cannot be wider than 254 centimetres.")
                                          : QStringLiteral("A column cannot be wider than 100 inches.");
    return std::nullopt;
}

static void tell(const QString &text)
{
    prompts().message(text, Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
}

// Both options of a pair off: a yes/no field without a criterion.
static void switchOff(QRadioButton *a, QRadioButton *b)
{
    for (QRadioButton *option : {a, b}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void frmRptSpec::buildDetails()
{
    auto *details = new QGridLayout(frame1);
    details->addWidget(new QLabel(QStringLiteral("Width")), 0, 0);
    txtWidth = new QLineEdit(frame1);
    txtWidth->setObjectName(QStringLiteral("txtWidth"));
    details->addWidget(txtWidth, 0, 1);
    chkHide = new QCheckBox(QStringLiteral("Hide Field"), frame1);
    chkHide->setObjectName(QStringLiteral("chkHide"));
    details->addWidget(chkHide, 0, 2);

    const auto labelled = [](QGroupBox *frame, QGridLayout *grid, int row, const QString &label, QLineEdit *box) {
        grid->addWidget(new QLabel(label, frame), row, 0);
        grid->addWidget(box, row, 1);
    };
    for (std::size_t type = 1; type < fraSel.size(); ++type) {
        fraSel[type] = new QGroupBox(QStringLiteral("Selection Criteria"), frame1);
        fraSel[type]->setObjectName(QStringLiteral("fraSel%1").arg(type));
        fraSel[type]->hide();
        new QGridLayout(fraSel[type]);
        details->addWidget(fraSel[type], 1, 0, 1, 3);
    }
    const auto gridOf = [this](int type) { return static_cast<QGridLayout *>(fraSel[std::size_t(type)]->layout()); };

    txtStarting = new QLineEdit(fraSel[1]);
    labelled(fraSel[1], gridOf(1), 0, QStringLiteral("Starts with:"), txtStarting);
    txtGreater = new QLineEdit(fraSel[2]);
    labelled(fraSel[2], gridOf(2), 0, QStringLiteral("Greater Than"), txtGreater);
    txtLess = new QLineEdit(fraSel[2]);
    labelled(fraSel[2], gridOf(2), 1, QStringLiteral("Less Than"), txtLess);
    chkTotal = new QCheckBox(QStringLiteral("Show Total"), fraSel[2]);
    gridOf(2)->addWidget(chkTotal, 2, 0, 1, 2);
    dcStartDate = new DateBox(StartDateRole, fraSel[3]);
    labelled(fraSel[3], gridOf(3), 0, QStringLiteral("Start Date"), dcStartDate);
    dcEndDate = new DateBox(EndDateRole, fraSel[3]);
    labelled(fraSel[3], gridOf(3), 1, QStringLiteral("End Date"), dcEndDate);
    optTrue = new QRadioButton(QStringLiteral("True"), fraSel[4]);
    optFalse = new QRadioButton(QStringLiteral("False"), fraSel[4]);
    gridOf(4)->addWidget(optTrue, 0, 0);
    gridOf(4)->addWidget(optFalse, 1, 0);
    txtStartTime = new QLineEdit(fraSel[5]);
    labelled(fraSel[5], gridOf(5), 0, QStringLiteral("Start Time"), txtStartTime);
    txtEndTime = new QLineEdit(fraSel[5]);
    labelled(fraSel[5], gridOf(5), 1, QStringLiteral("End Time"), txtEndTime);

    // Every edit marks the design changed and waits for its leave check.
    const auto edited = [this](QWidget *control) {
        return [this, control] {
            markChanged();
            noteEdit(control);
        };
    };
    for (QLineEdit *box : {txtWidth, txtStarting, txtGreater, txtLess, static_cast<QLineEdit *>(dcStartDate),
                           static_cast<QLineEdit *>(dcEndDate), txtStartTime, txtEndTime})
        connect(box, &QLineEdit::textChanged, this, edited(box));
    for (QCheckBox *box : {chkHide, chkTotal})
        connect(box, &QCheckBox::stateChanged, this, edited(box));
    for (QRadioButton *option : {optTrue, optFalse})
        connect(option, &QRadioButton::toggled, this, edited(option));
    for (QWidget *control : std::initializer_list<QWidget *>{txtWidth, chkHide, chkTotal, txtStarting, txtGreater,
                                                             txtLess, optTrue, optFalse, txtStartTime, txtEndTime})
        control->installEventFilter(this);
    // The date boxes run their own leave check and tell how it went.
    connect(dcStartDate, &DateBox::leaveAccepted, this, [this] {
        dcStartDate_LostFocus();
        noteChecked(dcStartDate, true);
    });
    connect(dcEndDate, &DateBox::leaveAccepted, this, [this] {
        dcEndDate_LostFocus();
        noteChecked(dcEndDate, true);
    });
    connect(dcStartDate, &DateBox::leaveRefused, this, [this] { noteChecked(dcStartDate, false); });
    connect(dcEndDate, &DateBox::leaveRefused, this, [this] { noteChecked(dcEndDate, false); });
}

void frmRptSpec::clearDetails()
{
    chkHide->setChecked(false);
    chkTotal->setChecked(false);
    for (QLineEdit *box : {txtWidth, txtGreater, txtLess, txtStarting, static_cast<QLineEdit *>(dcStartDate),
                           static_cast<QLineEdit *>(dcEndDate), txtStartTime, txtEndTime})
        box->clear();
    switchOff(optTrue, optFalse);
    for (std::size_t type = 1; type < fraSel.size(); ++type)
        fraSel[type]->hide();
}

bool frmRptSpec::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched->isWidgetType() && isLeaving(static_cast<QWidget *>(watched), static_cast<QFocusEvent *>(event)))
            runLeaveCheck(static_cast<QWidget *>(watched));
        break;
    case QEvent::KeyPress:
        if (watched == cmbSort1 || watched == cmbSort2) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
                cmbSort_KeyPress(static_cast<QComboBox *>(watched));
                return true;
            }
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The application moves the focus before the list hears the press.
        // When the field being left took the focus back, the press must not
        // select another field: the refused text would then be shown as
        // that field's, and the next edit stored there.
        if (watched == List2->viewport() && event->spontaneous()) {
            const QWidget *focus = QApplication::focusWidget();
            if (focus && focus != List2 && focus->window() == this)
                return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmRptSpec::runLeaveCheck(QWidget *control)
{
    bool passed = true;
    if (control == txtWidth)
        passed = txtWidth_LostFocus();
    else if (control == chkHide)
        chkHide_LostFocus();
    else if (control == chkTotal)
        chkTotal_LostFocus();
    else if (control == txtStarting)
        txtStarting_LostFocus();
    else if (control == txtGreater)
        passed = txtGreater_LostFocus();
    else if (control == txtLess)
        passed = txtLess_LostFocus();
    else if (control == optTrue)
        optTrue_LostFocus();
    else if (control == optFalse)
        optFalse_LostFocus();
    else if (control == txtStartTime)
        passed = txtStartTime_LostFocus();
    else if (control == txtEndTime)
        passed = txtEndTime_LostFocus();
    else if (control == dcStartDate)
        return dcStartDate->LostFocus(); // tells noteChecked itself
    else if (control == dcEndDate)
        return dcEndDate->LostFocus();
    else
        return true;
    noteChecked(control, passed);
    return passed;
}

void frmRptSpec::noteEdit(QWidget *control)
{
    if (m_filling)
        return;
    m_unchecked = control;
    m_refused = nullptr;
}

void frmRptSpec::noteChecked(QWidget *control, bool passed)
{
    if (m_unchecked == control)
        m_unchecked = nullptr;
    m_refused = passed ? nullptr : control;
}

bool frmRptSpec::leavePendingEdit()
{
    // A check that ran already (the menu bar taking the focus runs it) is
    // not run again: its message was just shown.
    if (m_refused)
        return false;
    if (!m_unchecked)
        return true;
    return runLeaveCheck(m_unchecked);
}

void frmRptSpec::cmbSort_KeyPress(QComboBox *list)
{
    // No blank entry: files keep sort keys as positions in these lists.
    list->setCurrentIndex(-1);
}

void frmRptSpec::ShowFieldDetails()
{
    const QList<QListWidgetItem *> selected = List2->selectedItems();
    QListWidgetItem *picked = selected.size() == 1 ? selected.first() : nullptr;
    if (!picked) {
        frame1->hide();
        return;
    }
    frame1->show();
    if (ShownCriteria >= 1 && ShownCriteria <= 5)
        fraSel[std::size_t(ShownCriteria)]->hide();
    CurrentSpecId = picked->data(Qt::UserRole).toInt();
    frame1->setTitle(QStringLiteral("Details For ") + picked->text());
    const int type = rsFields.contains(CurrentSpecId) ? rsFields.field(CurrentSpecId).datatype : 0;
    ShownCriteria = qint16(type);
    if (type >= 1 && type <= 5)
        fraSel[std::size_t(type)]->show();
    if (!Design.FieldWidth.contains(CurrentSpecId))
        return;

    // Showing a field's stored values is no edit of the design.
    m_filling = true;
    // What the controls show now is stored: nothing waits for a check.
    m_unchecked = nullptr;
    m_refused = nullptr;
    const int id = CurrentSpecId;
    txtWidth->setText(withLocaleDecimalPoint(singleText(Design.FieldWidth[id])));
    chkHide->setChecked(Design.FieldHide[id]);
    const auto dateText = [](DateValue value, auto format) { return value.isZero() ? QString() : format(value); };
    switch (type) {
    case 1:
        txtStarting->setText(Design.SelStartsWith[id]);
        break;
    case 2:
        txtLess->setText(Design.SelLess[id]);
        txtGreater->setText(Design.SelGreater[id]);
        chkTotal->setChecked(Design.FieldTotal[id]);
        break;
    case 3:
        dcStartDate->setText(dateText(Design.SelStart[id], formatShortDate));
        dcEndDate->setText(dateText(Design.SelEnd[id], formatShortDate));
        break;
    case 4:
        if (Design.SelTrue[id] || Design.SelFalse[id]) {
            optTrue->setChecked(Design.SelTrue[id]);
            optFalse->setChecked(Design.SelFalse[id]);
        } else {
            switchOff(optTrue, optFalse);
        }
        break;
    case 5:
        txtStartTime->setText(dateText(Design.SelStart[id], formatMediumTime));
        txtEndTime->setText(dateText(Design.SelEnd[id], formatMediumTime));
        break;
    default:
        break;
    }
    m_filling = false;
}

bool frmRptSpec::txtWidth_LostFocus()
{
    if (!Design.FieldWidth.contains(CurrentSpecId))
        return true;
    const std::optional<double> width = toNumber(txtWidth->text());
    if (!width) {
        // The old width stays in force; the user may leave the box.
        tell(InvalidWidthMessage);
        return true;
    }
    // A column narrower than nothing, or wider than any paper, could never
    // be printed: refused here, where it was typed, rather than when the
    // report is generated.
    const std::optional<QString> refusal =
        columnWidthRefusal(*width, optWidth[1]->isChecked() ? WidthInCentimetres : WidthInInches);
    if (refusal) {
        tell(*refusal);
        FocusReturn back;
        txtWidth->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (*width == 0.0) {
        Design.FieldHide[CurrentSpecId] = true;
        chkHide->setChecked(true);
    }
    Design.FieldWidth[CurrentSpecId] = float(*width);
    return true;
}

void frmRptSpec::chkHide_LostFocus()
{
    if (Design.FieldHide.contains(CurrentSpecId))
        Design.FieldHide[CurrentSpecId] = chkHide->checkState() != Qt::Unchecked;
}

void frmRptSpec::chkTotal_LostFocus()
{
    if (Design.FieldTotal.contains(CurrentSpecId))
        Design.FieldTotal[CurrentSpecId] = chkTotal->checkState() == Qt::Checked;
}

void frmRptSpec::txtStarting_LostFocus()
{
    if (Design.SelStartsWith.contains(CurrentSpecId))
        Design.SelStartsWith[CurrentSpecId] = txtStarting->text();
}

bool frmRptSpec::storeCriterionNumber(QLineEdit *box, PerField<QString> &values)
{
    if (!values.contains(CurrentSpecId))
        return true;
    const QString text = box->text();
    if (text.isEmpty() || isNumber(text)) {
        values[CurrentSpecId] = text;
        return true;
    }
    tell(QStringLiteral("You must enter a number or leave this selection field blank"));
    FocusReturn back;
    box->setFocus(Qt::OtherFocusReason);
    return false;
}

bool frmRptSpec::txtGreater_LostFocus()
{
    return storeCriterionNumber(txtGreater, Design.SelGreater);
}

bool frmRptSpec::txtLess_LostFocus()
{
    return storeCriterionNumber(txtLess, Design.SelLess);
}

void frmRptSpec::optTrue_LostFocus()
{
    if (optTrue->isChecked() && Design.SelTrue.contains(CurrentSpecId)) {
        Design.SelTrue[CurrentSpecId] = true;
        Design.SelFalse[CurrentSpecId] = false;
    }
}

void frmRptSpec::optFalse_LostFocus()
{
    if (optFalse->isChecked() && Design.SelTrue.contains(CurrentSpecId)) {
        Design.SelTrue[CurrentSpecId] = false;
        Design.SelFalse[CurrentSpecId] = true;
    }
}

void frmRptSpec::storeCriterionDate(DateBox *box, PerField<DateValue> &values)
{
    // The box's own check already refused anything but a date or nothing.
    if (values.contains(CurrentSpecId))
        values[CurrentSpecId] = box->text().isEmpty() ? DateValue() : toDate(box->text()).value_or(DateValue());
}

void frmRptSpec::dcStartDate_LostFocus()
{
    storeCriterionDate(dcStartDate, Design.SelStart);
}

void frmRptSpec::dcEndDate_LostFocus()
{
    storeCriterionDate(dcEndDate, Design.SelEnd);
}

bool frmRptSpec::storeCriterionTime(QLineEdit *box, PerField<DateValue> &values)
{
    if (!values.contains(CurrentSpecId))
        return true;
    switch (checkLeavingText(box->text())) {
    case LeavingText::Valid:
        values[CurrentSpecId] = toDate(box->text()).value_or(DateValue());
        return true;
    case LeavingText::Empty:
        values[CurrentSpecId] = DateValue();
        return true;
    case LeavingText::Invalid:
        break;
    }
    tell(InvalidTimeMessage);
    FocusReturn back;
    box->setFocus(Qt::OtherFocusReason);
    return false;
}

bool frmRptSpec::txtStartTime_LostFocus()
{
    return storeCriterionTime(txtStartTime, Design.SelStart);
}

bool frmRptSpec::txtEndTime_LostFocus()
{
    return storeCriterionTime(txtEndTime, Design.SelEnd);
}
