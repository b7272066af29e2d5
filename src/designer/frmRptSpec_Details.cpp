// The details frame: a chosen field's width, "Hide Field" and the one
// criteria frame of its data type. Values reach the per-field arrays when
// the control holding them is left.
#include "designer/frmRptSpec.h"

#include "app/Prompts.h"
#include "dates/DateBox.h"
#include "focus/FocusReturn.h"
#include "focus/LeaveCheck.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "reports/ReportNumbers.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

static const DateBoxRole StartDateRole{QStringLiteral("Select Start Date"), CalendarPlacement::RightAlignedBelow,
                                       QStringLiteral("You must enter a valid date or leave this selection field blank."),
                                       false};
static const DateBoxRole EndDateRole{QStringLiteral("Select End Date"), CalendarPlacement::RightAlignedEndingBelow,
                                     StartDateRole.invalidMessage, false};
static const QString InvalidTimeMessage =
    QStringLiteral("You must enter a valid time or leave this selection field blank.");

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

    const auto changed = [this] { markChanged(); };
    for (QLineEdit *box : {txtWidth, txtStarting, txtGreater, txtLess, static_cast<QLineEdit *>(dcStartDate),
                           static_cast<QLineEdit *>(dcEndDate), txtStartTime, txtEndTime})
        connect(box, &QLineEdit::textChanged, this, changed);
    for (QCheckBox *box : {chkHide, chkTotal})
        connect(box, &QCheckBox::stateChanged, this, changed);
    for (QRadioButton *option : {optTrue, optFalse})
        connect(option, &QRadioButton::toggled, this, changed);
    for (QWidget *control : std::initializer_list<QWidget *>{txtWidth, chkHide, chkTotal, txtStarting, txtGreater,
                                                             txtLess, optTrue, optFalse, txtStartTime, txtEndTime})
        control->installEventFilter(this);
    // The date boxes run their own leave check and tell when it passed.
    connect(dcStartDate, &DateBox::leaveAccepted, this, &frmRptSpec::dcStartDate_LostFocus);
    connect(dcEndDate, &DateBox::leaveAccepted, this, &frmRptSpec::dcEndDate_LostFocus);
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
    if (event->type() != QEvent::FocusOut)
        return QMainWindow::eventFilter(watched, event);
    if (!isLeaving(static_cast<QWidget *>(watched), static_cast<QFocusEvent *>(event)))
        return QMainWindow::eventFilter(watched, event);
    if (watched == txtWidth)
        txtWidth_LostFocus();
    else if (watched == chkHide)
        chkHide_LostFocus();
    else if (watched == chkTotal)
        chkTotal_LostFocus();
    else if (watched == txtStarting)
        txtStarting_LostFocus();
    else if (watched == txtGreater)
        txtGreater_LostFocus();
    else if (watched == txtLess)
        txtLess_LostFocus();
    else if (watched == optTrue)
        optTrue_LostFocus();
    else if (watched == optFalse)
        optFalse_LostFocus();
    else if (watched == txtStartTime)
        txtStartTime_LostFocus();
    else if (watched == txtEndTime)
        txtEndTime_LostFocus();
    return QMainWindow::eventFilter(watched, event);
}

void frmRptSpec::ShowFieldDetails()
{
    QListWidgetItem *picked = List2->currentItem();
    if (!picked || !picked->isSelected()) {
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
    if (!FieldWidth.contains(CurrentSpecId))
        return;

    // Showing a field's stored values is no edit of the design.
    m_filling = true;
    const int id = CurrentSpecId;
    txtWidth->setText(withLocaleDecimalPoint(singleText(FieldWidth[id])));
    chkHide->setChecked(FieldHide[id]);
    const auto dateText = [](DateValue value, auto format) { return value.isZero() ? QString() : format(value); };
    switch (type) {
    case 1:
        txtStarting->setText(SelStartsWith[id]);
        break;
    case 2:
        txtLess->setText(SelLess[id]);
        txtGreater->setText(SelGreater[id]);
        chkTotal->setChecked(FieldTotal[id]);
        break;
    case 3:
        dcStartDate->setText(dateText(SelStart[id], formatShortDate));
        dcEndDate->setText(dateText(SelEnd[id], formatShortDate));
        break;
    case 4:
        if (SelTrue[id] || SelFalse[id]) {
            optTrue->setChecked(SelTrue[id]);
            optFalse->setChecked(SelFalse[id]);
        } else {
            switchOff(optTrue, optFalse);
        }
        break;
    case 5:
        txtStartTime->setText(dateText(SelStart[id], formatMediumTime));
        txtEndTime->setText(dateText(SelEnd[id], formatMediumTime));
        break;
    default:
        break;
    }
    m_filling = false;
}

void frmRptSpec::txtWidth_LostFocus()
{
    if (!FieldWidth.contains(CurrentSpecId))
        return;
    const std::optional<double> width = toNumber(txtWidth->text());
    if (!width) {
        // The old width stays in force; the user may leave the box.
        tell(QStringLiteral("You must enter a valid number for the column width"));
        return;
    }
    if (*width == 0.0) {
        FieldHide[CurrentSpecId] = true;
        chkHide->setChecked(true);
    }
    FieldWidth[CurrentSpecId] = float(*width);
}

void frmRptSpec::chkHide_LostFocus()
{
    if (FieldHide.contains(CurrentSpecId))
        FieldHide[CurrentSpecId] = chkHide->checkState() != Qt::Unchecked;
}

void frmRptSpec::chkTotal_LostFocus()
{
    if (FieldTotal.contains(CurrentSpecId))
        FieldTotal[CurrentSpecId] = chkTotal->checkState() == Qt::Checked;
}

void frmRptSpec::txtStarting_LostFocus()
{
    if (SelStartsWith.contains(CurrentSpecId))
        SelStartsWith[CurrentSpecId] = txtStarting->text();
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
    return storeCriterionNumber(txtGreater, SelGreater);
}

bool frmRptSpec::txtLess_LostFocus()
{
    return storeCriterionNumber(txtLess, SelLess);
}

void frmRptSpec::optTrue_LostFocus()
{
    if (optTrue->isChecked() && SelTrue.contains(CurrentSpecId)) {
        SelTrue[CurrentSpecId] = true;
        SelFalse[CurrentSpecId] = false;
    }
}

void frmRptSpec::optFalse_LostFocus()
{
    if (optFalse->isChecked() && SelTrue.contains(CurrentSpecId)) {
        SelTrue[CurrentSpecId] = false;
        SelFalse[CurrentSpecId] = true;
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
    storeCriterionDate(dcStartDate, SelStart);
}

void frmRptSpec::dcEndDate_LostFocus()
{
    storeCriterionDate(dcEndDate, SelEnd);
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
    return storeCriterionTime(txtStartTime, SelStart);
}

bool frmRptSpec::txtEndTime_LostFocus()
{
    return storeCriterionTime(txtEndTime, SelEnd);
}
