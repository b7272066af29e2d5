#include "items/warranty/frmWarranty.h"

#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "dates/Today.h"
#include "dates/calendar/DateBox.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "widgets/PlainButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const DateBoxRole WarrantyEndsRole{
    QStringLiteral("Select Warranty End"),
    CalendarPlacement::LeftAlignedBelow,
    QStringLiteral("You must enter a valid Warranty End date, or leave the field blank"),
    true,
    QStringLiteral("Calendar for the warranty's end"),
};

const DateBoxRole DisposedRole{
    QStringLiteral("Select Date Disposed"),
    CalendarPlacement::LeftAlignedBelow,
    QStringLiteral("You must enter a valid Date Disposed, or leave the field blank"),
    true,
    QStringLiteral("Calendar for the day the item left"),
};

constexpr DisposalKind Ways[] = {DisposalKind::None, DisposalKind::Sold, DisposalKind::GivenAway,
                                 DisposalKind::ThrownAway};

const QString Title = QStringLiteral("Warranty and Disposal");

QString dateText(const DateValue &date)
{
    return date.isZero() ? QString() : formatShortDate(date);
}

} // namespace

frmWarranty::frmWarranty(Household &household, QWidget *owner) : QDialog(owner), m_household(household)
{
    setObjectName(QStringLiteral("frmWarranty"));
    setWindowTitle(Title);
    setModal(false);

    lblItem = new QLabel;
    lblItem->setObjectName(QStringLiteral("lblItem"));
    lblItem->setTextFormat(Qt::PlainText);

    dcWarrantyEnds = new DateBox(WarrantyEndsRole);
    dcWarrantyEnds->setObjectName(QStringLiteral("dcWarrantyEnds"));
    dcWarrantyEnds->setAccessibleName(QStringLiteral("Warranty ends"));
    chkLifetime = new QCheckBox(QStringLiteral("&Lifetime warranty"));
    chkLifetime->setObjectName(QStringLiteral("chkLifetime"));
    txtWarrantyDetails = new QPlainTextEdit;
    txtWarrantyDetails->setObjectName(QStringLiteral("txtWarrantyDetails"));
    txtWarrantyDetails->setAccessibleName(QStringLiteral("Warranty details"));
    txtWarrantyDetails->setTabChangesFocus(true);
    auto *warranty = new QGroupBox(QStringLiteral("Warranty"));
    auto *warrantyLayout = new QFormLayout(warranty);
    auto *ends = new QHBoxLayout;
    ends->addWidget(dcWarrantyEnds);
    ends->addWidget(chkLifetime);
    ends->addStretch();
    warrantyLayout->addRow(QStringLiteral("&Until:"), ends);
    warrantyLayout->addRow(QStringLiteral("&Details:"), txtWarrantyDetails);
    // The label "Until" names the row, whose first control is the date box.
    if (auto *label = qobject_cast<QLabel *>(warrantyLayout->labelForField(ends)))
        label->setBuddy(dcWarrantyEnds);

    dcDisposed = new DateBox(DisposedRole);
    dcDisposed->setObjectName(QStringLiteral("dcDisposed"));
    dcDisposed->setAccessibleName(QStringLiteral("Date disposed"));
    cboDisposedHow = new QComboBox;
    cboDisposedHow->setObjectName(QStringLiteral("cboDisposedHow"));
    cboDisposedHow->setAccessibleName(QStringLiteral("How it left"));
    for (const DisposalKind way : Ways)
        cboDisposedHow->addItem(way == DisposalKind::None ? QStringLiteral("(kept)") : disposalKindName(way), int(way));
    auto *disposal = new QGroupBox(QStringLiteral("Left the household"));
    auto *disposalLayout = new QFormLayout(disposal);
    disposalLayout->addRow(QStringLiteral("D&ate:"), dcDisposed);
    disposalLayout->addRow(QStringLiteral("&How:"), cboDisposedHow);

    cmdSave = plainButton(QStringLiteral("cmdSave"), QStringLiteral("&Save"));
    cmdClose = plainButton(QStringLiteral("cmdClose"), QStringLiteral("Clos&e Window"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblItem);
    layout->addWidget(warranty, 1);
    layout->addWidget(disposal);
    layout->addLayout(buttons);
    resize(480, 360);
    setTabOrder(dcWarrantyEnds, chkLifetime);
    setTabOrder(chkLifetime, txtWarrantyDetails);
    setTabOrder(txtWarrantyDetails, dcDisposed);
    setTabOrder(dcDisposed, cboDisposedHow);
    setTabOrder(cboDisposedHow, cmdSave);
    setTabOrder(cmdSave, cmdClose);

    connect(cmdSave, &QPushButton::clicked, this, &frmWarranty::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmWarranty::cmdClose_Click);
    connect(chkLifetime, &QCheckBox::clicked, this, &frmWarranty::chkLifetime_Click);
    connect(dcWarrantyEnds, &QLineEdit::textChanged, this, &frmWarranty::valuesChanged);
    connect(txtWarrantyDetails, &QPlainTextEdit::textChanged, this, &frmWarranty::valuesChanged);
    connect(dcDisposed, &QLineEdit::textChanged, this, &frmWarranty::valuesChanged);
    connect(cboDisposedHow, &QComboBox::currentIndexChanged, this, &frmWarranty::valuesChanged);
    showItem(std::nullopt, QString());
}

void frmWarranty::showItem(std::optional<qint64> iteid, const QString &description)
{
    // What was typed for the item shown before is not thrown away by moving on.
    if (m_changed && m_iteid && iteid != m_iteid)
        cmdSave_Click();
    m_iteid = iteid;
    lblItem->setText(iteid ? QStringLiteral("Warranty and disposal of: %1").arg(description)
                           : QStringLiteral("Store the item first to enter its warranty or disposal."));
    WarrantyDisposal values;
    if (iteid)
        m_household.trapDb([&] { values = ItemStatus(m_household.inventory()).of(*iteid); });
    fill(values);
}

void frmWarranty::fill(const WarrantyDisposal &values)
{
    m_filling = true;
    dcWarrantyEnds->setText(dateText(values.warrantyEnds));
    chkLifetime->setChecked(values.lifetime);
    txtWarrantyDetails->setPlainText(values.warrantyDetails);
    dcDisposed->setText(dateText(values.disposed));
    cboDisposedHow->setCurrentIndex(std::max(0, cboDisposedHow->findData(int(values.how))));
    m_filling = false;
    m_changed = false;
    enableFields();
}

void frmWarranty::enableFields()
{
    const bool stored = m_iteid.has_value();
    for (QWidget *field : std::initializer_list<QWidget *>{chkLifetime, txtWarrantyDetails, dcDisposed, cboDisposedHow})
        field->setEnabled(stored);
    // A warranty for life has no end.
    dcWarrantyEnds->setEnabled(stored && !chkLifetime->isChecked());
    cmdSave->setEnabled(stored && m_changed);
}

void frmWarranty::valuesChanged()
{
    if (m_filling)
        return;
    m_changed = true;
    enableFields();
}

void frmWarranty::chkLifetime_Click()
{
    if (chkLifetime->isChecked())
        dcWarrantyEnds->clear();
    valuesChanged();
}

std::optional<WarrantyDisposal> frmWarranty::shownValues() const
{
    WarrantyDisposal values;
    values.lifetime = chkLifetime->isChecked();
    if (!values.lifetime && !dcWarrantyEnds->text().isEmpty()) {
        const std::optional<DateValue> ends = toDate(dcWarrantyEnds->text());
        if (!ends)
            return std::nullopt;
        values.warrantyEnds = DateValue::fromDate(ends->date());
    }
    values.warrantyDetails = txtWarrantyDetails->toPlainText();
    if (!dcDisposed->text().isEmpty()) {
        const std::optional<DateValue> disposed = toDate(dcDisposed->text());
        if (!disposed)
            return std::nullopt;
        values.disposed = DateValue::fromDate(disposed->date());
    }
    values.how = DisposalKind(cboDisposedHow->currentData().toInt());
    return values;
}

bool frmWarranty::cmdSave_Click()
{
    if (!m_iteid || !m_changed)
        return true;
    // The date boxes check their text when left; Save may be reached
    // without leaving them (Alt+S), so they are checked once more.
    for (DateBox *box : {dcWarrantyEnds, dcDisposed}) {
        if (box->isEnabled() && !box->LostFocus())
            return false;
    }
    const std::optional<WarrantyDisposal> values = shownValues();
    if (!values)
        return false;
    if (const std::optional<QString> problem = warrantyDisposalProblem(*values, today())) {
        prompts().message(*problem, Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Title);
        (values->isDisposed() ? static_cast<QWidget *>(dcDisposed) : cboDisposedHow)->setFocus();
        return false;
    }
    bool stored = false;
    const qint64 iteid = *m_iteid;
    m_household.trapDb([&] {
        ItemStatus(m_household.inventory()).store(iteid, *values);
        stored = true;
    });
    if (stored) {
        // Dates as the box writes them, lifetime's end cleared.
        fill(*values);
    }
    return stored;
}

void frmWarranty::cmdClose_Click()
{
    close();
}

void frmWarranty::reject()
{
    // Closing (the button, Esc, the title bar) keeps what was typed, as
    // moving to another item does; what cannot be stored keeps the window
    // open to be mended.
    if (cmdSave_Click())
        QDialog::reject();
}
