// What the record form's fields do while the user works in them: every change
// starts an edit, the number fields are checked (and the money fields
// formatted) when left, the estimated value is proposed from the price, and
// the total follows estimated value times quantity.
#include "app/frmMain.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "dates/calendar/DateBox.h"
#include "focus/EntrySelection.h"
#include "focus/FocusReturn.h"
#include "focus/LeaveCheck.h"
#include "items/Quantity.h"
#include "program/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <stdexcept>

namespace {

const QString PurchasePriceMessage = QStringLiteral("You must enter a number in the Purchase Price field");
const QString EstimatedValueMessage = QStringLiteral("You must enter a number in the Estimated Value field");
const QString QuantityMessage = QStringLiteral("You must enter a number in the Quantity field");
const QString QuantityRangeMessage =
    QStringLiteral("The Quantity must be a number from %1 to %2").arg(MinQuantity).arg(MaxQuantity);

// Keys that move around or ask for help change nothing in a list.
bool changesNothing(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_F1:
        return true;
    default:
        return false;
    }
}

void selectWholeText(QLineEdit *box)
{
    box->setCursorPosition(0);
    box->selectAll();
}

void clearSelectionByKey(QComboBox *list, int key)
{
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace)
        list->setCurrentIndex(-1);
}

} // namespace

void frmMain::wireFieldEntry()
{
    connect(txtItem, &QLineEdit::textChanged, this, &frmMain::txtItem_Change);
    connect(txtManufact, &QLineEdit::textChanged, this, &frmMain::txtManufact_Change);
    connect(txtModel, &QLineEdit::textChanged, this, &frmMain::txtModel_Change);
    connect(txtSerNo, &QLineEdit::textChanged, this, &frmMain::txtSerNo_Change);
    connect(dcPurchDate, &QLineEdit::textChanged, this, &frmMain::dcPurchDate_Change);
    connect(txtPurchPrice, &QLineEdit::textChanged, this, &frmMain::txtPurchPrice_Change);
    connect(txtEstValue, &QLineEdit::textChanged, this, &frmMain::txtEstValue_Change);
    connect(txtQuantity, &QLineEdit::textChanged, this, &frmMain::txtQuantity_Change);
    // The total is computed only: its changes never start an edit.
    connect(chkReceipt, &QCheckBox::toggled, this, &frmMain::chkReceipt_Click);
    connect(txtWherePurch, &QLineEdit::textChanged, this, &frmMain::txtWherePurch_Change);
    connect(txtMisc1, &QLineEdit::textChanged, this, &frmMain::txtMisc1_Change);
    connect(txtNotes, &QPlainTextEdit::textChanged, this, &frmMain::txtNotes_Change);
    // Click: the user chose an entry; Change: the selection changed, by the
    // user or by the program.
    connect(cmbCat, &QComboBox::activated, this, &frmMain::cmbCat_Click);
    connect(cmbCat, &QComboBox::currentIndexChanged, this, &frmMain::cmbCat_Change);
    connect(cmbLoc, &QComboBox::activated, this, &frmMain::cmbLoc_Click);
    connect(cmbLoc, &QComboBox::currentIndexChanged, this, &frmMain::cmbLoc_Change);

    for (QWidget *watched :
         std::initializer_list<QWidget *>{txtPurchPrice, txtEstValue, txtQuantity, txtTotValue, cmbCat, cmbLoc})
        watched->installEventFilter(this);
    for (QLineEdit *number : {txtPurchPrice, txtEstValue, txtQuantity})
        keepSelectionOnClickEntry(number);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!isEntering(static_cast<const QFocusEvent *>(event)))
            break;
        if (watched == txtPurchPrice)
            txtPurchPrice_GotFocus();
        else if (watched == txtEstValue)
            txtEstValue_GotFocus();
        else if (watched == txtQuantity)
            txtQuantity_GotFocus();
        else if (watched == txtTotValue)
            txtTotValue_GotFocus();
        break;
    case QEvent::FocusOut:
        if (!isLeaving(static_cast<QWidget *>(watched), static_cast<const QFocusEvent *>(event)))
            break;
        if (watched == txtPurchPrice)
            txtPurchPrice_LostFocus();
        else if (watched == txtEstValue)
            txtEstValue_LostFocus();
        else if (watched == txtQuantity)
            txtQuantity_LostFocus();
        break;
    case QEvent::KeyPress: {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (changesNothing(key) || (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)))
            break;
        if (watched == cmbCat)
            cmbCat_KeyDown(key->key());
        else if (watched == cmbLoc)
            cmbLoc_KeyDown(key->key());
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::txtItem_Change()
{
    MakingChange();
}
void frmMain::txtManufact_Change()
{
    MakingChange();
}
void frmMain::txtModel_Change()
{
    MakingChange();
}
void frmMain::txtSerNo_Change()
{
    MakingChange();
}
void frmMain::dcPurchDate_Change()
{
    MakingChange();
}
void frmMain::txtPurchPrice_Change()
{
    MakingChange();
}
void frmMain::txtEstValue_Change()
{
    MakingChange();
}
void frmMain::txtQuantity_Change()
{
    MakingChange();
}
void frmMain::chkReceipt_Click()
{
    MakingChange();
}
void frmMain::txtWherePurch_Change()
{
    MakingChange();
}
void frmMain::txtMisc1_Change()
{
    MakingChange();
}
void frmMain::txtNotes_Change()
{
    MakingChange();
}
void frmMain::cmbCat_Change()
{
    MakingChange();
}
void frmMain::cmbCat_Click()
{
    MakingChange();
}
void frmMain::cmbLoc_Change()
{
    MakingChange();
}
void frmMain::cmbLoc_Click()
{
    MakingChange();
}

void frmMain::cmbCat_KeyDown(int key)
{
    clearSelectionByKey(cmbCat, key);
    MakingChange();
}

void frmMain::cmbLoc_KeyDown(int key)
{
    clearSelectionByKey(cmbLoc, key);
    MakingChange();
}

void frmMain::txtPurchPrice_GotFocus()
{
    selectWholeText(txtPurchPrice);
}
void frmMain::txtEstValue_GotFocus()
{
    selectWholeText(txtEstValue);
}
void frmMain::txtQuantity_GotFocus()
{
    selectWholeText(txtQuantity);
}

void frmMain::txtTotValue_GotFocus()
{
    if (txtWherePurch->isEnabled())
        txtWherePurch->setFocus(Qt::TabFocusReason);
}

void frmMain::refuseEntry(QLineEdit *field, const QString &message)
{
    prompts().message(message, Prompts::Buttons::Ok, Prompts::Icon::Critical, ProgramTitle);
    // The field that was about to get the focus loses it again at once; that
    // is not the user leaving it, so its own checks stay quiet (two refused
    // fields would otherwise hand the focus back and forth for ever).
    const FocusReturn returning;
    field->setFocus(Qt::OtherFocusReason);
}

std::optional<QString> frmMain::numberRefusal(const QLineEdit *field) const
{
    const QString text = field->text();
    if (text.trimmed().isEmpty())
        return std::nullopt;
    if (field == txtQuantity) {
        switch (readQuantity(text).reading) {
        case Quantity::Reading::NotANumber:
            return QuantityMessage;
        case Quantity::Reading::OutOfRange:
            return QuantityRangeMessage;
        case Quantity::Reading::Whole:
            return std::nullopt;
        }
    }
    // An amount beyond what the money type holds is no number for this field.
    if (toMoney(text))
        return std::nullopt;
    return field == txtPurchPrice ? PurchasePriceMessage : EstimatedValueMessage;
}

bool frmMain::leaveMoneyField(QLineEdit *field)
{
    if (const std::optional<QString> refusal = numberRefusal(field)) {
        refuseEntry(field, *refusal);
        return false;
    }
    if (const std::optional<Money> amount = toMoney(field->text()))
        field->setText(formatCurrency(*amount));
    return true;
}

void frmMain::txtPurchPrice_LostFocus()
{
    if (leaveMoneyField(txtPurchPrice) && !txtPurchPrice->text().trimmed().isEmpty()) {
        // Propose the price as the estimated value, unless one is already given.
        const QString estimate = txtEstValue->text();
        const std::optional<Money> current = toMoney(estimate);
        if (estimate.trimmed().isEmpty() || (current && *current == Money()))
            txtEstValue->setText(txtPurchPrice->text());
    }
    ComputeTotal();
}

void frmMain::txtEstValue_LostFocus()
{
    leaveMoneyField(txtEstValue);
    ComputeTotal();
}

void frmMain::txtQuantity_LostFocus()
{
    if (const std::optional<QString> refusal = numberRefusal(txtQuantity))
        refuseEntry(txtQuantity, *refusal);
    ComputeTotal();
}

bool frmMain::fieldsReadyToStore()
{
    for (QLineEdit *field : {txtPurchPrice, txtEstValue, txtQuantity}) {
        if (const std::optional<QString> refusal = numberRefusal(field)) {
            refuseEntry(field, *refusal);
            return false;
        }
    }
    if (!dcPurchDate->LostFocus())
        return false;
    ComputeTotal();
    return true;
}

void frmMain::ComputeTotal()
{
    Quantity quantity = readQuantity(txtQuantity->text());
    if (quantity.reading == Quantity::Reading::NotANumber
        || (quantity.reading == Quantity::Reading::Whole && quantity.value == 0)) {
        txtQuantity->setText(QStringLiteral("1"));
        quantity = {Quantity::Reading::Whole, 1};
    }
    if (quantity.reading == Quantity::Reading::OutOfRange)
        return; // refused; the total waits for a quantity that can be stored

    const std::optional<Money> estimate = toMoney(txtEstValue->text());
    if (!estimate)
        return;
    try {
        txtTotValue->setText(formatCurrency(*estimate * quantity.value));
    } catch (const std::overflow_error &) {
        txtTotValue->clear();
        prompts().message(QStringLiteral("The Total Value (Est. Value times Quantity) is too large to be stored."),
                          Prompts::Buttons::Ok, Prompts::Icon::Critical, ProgramTitle);
    }
}
