#include "items/warranty/frmWarranties.h"

#include "dates/LocaleFormats.h"
#include "dates/Today.h"
#include "items/OpenAttachedFile.h"
#include "program/Household.h"
#include "widgets/PlainButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPointer<frmWarranties> s_instance;

QTableWidget *table(const QString &name, const QString &accessibleName, const QStringList &headings)
{
    auto *t = new QTableWidget(0, int(headings.size()));
    t->setObjectName(name);
    t->setAccessibleName(accessibleName);
    t->setHorizontalHeaderLabels(headings);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setTabKeyNavigation(false);
    t->verticalHeader()->hide();
    return t;
}

// "In 12 days", "Today", "Ended 3 days ago".
QString remainingText(qint64 days)
{
    if (days == 0)
        return QStringLiteral("Today");
    if (days > 0)
        return days == 1 ? QStringLiteral("In 1 day") : QStringLiteral("In %1 days").arg(days);
    return days == -1 ? QStringLiteral("Ended 1 day ago") : QStringLiteral("Ended %1 days ago").arg(-days);
}

} // namespace

frmWarranties *frmWarranties::showWarranties(Household &household, QWidget *owner, ShowItem showItem)
{
    if (!s_instance)
        s_instance = new frmWarranties(household, owner, std::move(showItem));
    s_instance->reload();
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmWarranties *frmWarranties::instance()
{
    return s_instance;
}

frmWarranties::frmWarranties(Household &household, QWidget *owner, ShowItem showItem)
    // No parent: a window with one stays in front of it, and would hide the
    // item it was asked to show there.
    : QDialog(nullptr)
    , m_household(household)
    , m_owner(owner)
    , m_showItem(std::move(showItem))
{
    if (owner)
        connect(owner, &QObject::destroyed, this, [this] { delete this; });
    setObjectName(QStringLiteral("frmWarranties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Warranties"));

    txtDays = new QSpinBox;
    txtDays->setObjectName(QStringLiteral("txtDays"));
    txtDays->setAccessibleName(QStringLiteral("Ending within days"));
    txtDays->setRange(0, 36500);
    txtDays->setValue(DefaultDays);
    auto *days = new QHBoxLayout;
    auto *before = new QLabel(QStringLiteral("Warranties that have ended or end &within"));
    before->setBuddy(txtDays);
    days->addWidget(before);
    days->addWidget(txtDays);
    days->addWidget(new QLabel(QStringLiteral("days")));
    days->addStretch();

    grdWarranties = table(QStringLiteral("grdWarranties"), QStringLiteral("Warranties"),
                          {QStringLiteral("Item Description"), QStringLiteral("Warranty Ends"), QStringLiteral("When"),
                           QStringLiteral("Details")});
    grdWarranties->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grdWarranties->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);

    lblDocuments = new QLabel(QStringLiteral("Doc&uments of the item:"));
    grdDocuments = table(QStringLiteral("grdDocuments"), QStringLiteral("Documents of the item"),
                         {QStringLiteral("Kind"), QStringLiteral("File"), QStringLiteral("Note")});
    lblDocuments->setBuddy(grdDocuments);
    grdDocuments->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grdDocuments->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);

    cmdOpenDocument = plainButton(QStringLiteral("cmdOpenDocument"), QStringLiteral("&Open Document"));
    cmdShow = plainButton(QStringLiteral("cmdShow"), QStringLiteral("&Show Item"));
    cmdClose = plainButton(QStringLiteral("cmdClose"), QStringLiteral("Clos&e Window"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdOpenDocument);
    buttons->addWidget(cmdShow);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(days);
    layout->addWidget(grdWarranties, 2);
    layout->addWidget(lblDocuments);
    layout->addWidget(grdDocuments, 1);
    layout->addLayout(buttons);
    resize(640, 460);

    connect(txtDays, &QSpinBox::valueChanged, this, &frmWarranties::txtDays_Change);
    connect(grdWarranties, &QTableWidget::itemSelectionChanged, this, &frmWarranties::grdWarranties_Click);
    connect(grdWarranties, &QTableWidget::cellActivated, this, &frmWarranties::cmdShow_Click);
    connect(grdDocuments, &QTableWidget::cellActivated, this, &frmWarranties::cmdOpenDocument_Click);
    connect(cmdOpenDocument, &QPushButton::clicked, this, &frmWarranties::cmdOpenDocument_Click);
    connect(cmdShow, &QPushButton::clicked, this, &frmWarranties::cmdShow_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmWarranties::cmdClose_Click);
    connect(&household, &Household::disposedShownChanged, this, &frmWarranties::reload);
}

int frmWarranties::chosenRow(const QTableWidget *table) const
{
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.front().topRow();
}

void frmWarranties::reload()
{
    const int chosen = chosenRow(grdWarranties);
    const qint64 chosenKey = chosen >= 0 && chosen < m_warranties.size() ? m_warranties[chosen].iteid : 0;
    const DateValue now = today();
    const QDate by = now.date().addDays(txtDays->value());
    m_warranties.clear();
    m_household.trapDb([&] {
        m_warranties =
            ItemStatus(m_household.inventory()).endingBy(DateValue::fromDate(by), m_household.showsDisposed());
    });
    const QSignalBlocker quiet(grdWarranties);
    grdWarranties->clearSelection();
    grdWarranties->setRowCount(int(m_warranties.size()));
    int row = 0, select = m_warranties.isEmpty() ? -1 : 0;
    for (const ItemStatus::Ending &warranty : std::as_const(m_warranties)) {
        const QStringList cells{warranty.item, formatShortDate(warranty.ends),
                                remainingText(now.date().daysTo(warranty.ends.date())), warranty.details};
        for (int column = 0; column < cells.size(); ++column)
            grdWarranties->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (warranty.iteid == chosenKey)
            select = row;
        ++row;
    }
    grdWarranties->resizeColumnToContents(1);
    grdWarranties->resizeColumnToContents(2);
    if (select >= 0)
        grdWarranties->selectRow(select);
    showDocuments();
}

void frmWarranties::showDocuments()
{
    const int row = chosenRow(grdWarranties);
    m_documents.clear();
    if (row >= 0 && row < m_warranties.size()) {
        const qint64 iteid = m_warranties[row].iteid;
        m_household.trapDb([&] {
            for (const AttachedFile &file : ItemAttachments(m_household).of(iteid)) {
                if (!file.isPhoto())
                    m_documents << file;
            }
        });
    }
    grdDocuments->setRowCount(int(m_documents.size()));
    for (int i = 0; i < m_documents.size(); ++i) {
        const AttachedFile &file = m_documents[i];
        const QStringList cells{attachedKindName(file.kind), file.title.isEmpty() ? file.fileName : file.title,
                                file.note};
        for (int column = 0; column < cells.size(); ++column)
            grdDocuments->setItem(i, column, new QTableWidgetItem(cells[column]));
    }
    grdDocuments->resizeColumnToContents(0);
    // The warranty card first, when there is one: it is what is looked for here.
    int first = m_documents.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_documents.size(); ++i) {
        if (m_documents[i].kind == AttachedKind::Warranty) {
            first = i;
            break;
        }
    }
    if (first >= 0)
        grdDocuments->selectRow(first);
    cmdOpenDocument->setEnabled(first >= 0);
    cmdShow->setEnabled(row >= 0);
}

void frmWarranties::Form_Activate()
{
    reload();
}

void frmWarranties::txtDays_Change()
{
    reload();
}

void frmWarranties::grdWarranties_Click()
{
    showDocuments();
}

void frmWarranties::cmdOpenDocument_Click()
{
    const int row = chosenRow(grdDocuments);
    if (row < 0 || row >= m_documents.size())
        return;
    openAttachedFile(m_household, m_documents[row]);
}

void frmWarranties::cmdShow_Click()
{
    const int row = chosenRow(grdWarranties);
    if (row < 0 || row >= m_warranties.size() || !m_owner)
        return;
    if (m_showItem(m_warranties[row].iteid)) {
        m_owner->raise();
        m_owner->activateWindow();
    }
}

void frmWarranties::cmdClose_Click()
{
    close();
}

void frmWarranties::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}
