#include "items/documents/frmDocuments.h"

#include "items/OpenAttachedFile.h"
#include "program/FileChoice.h"
#include "program/Household.h"
#include "program/ItemFiles.h"
#include "program/Prompts.h"
#include "widgets/DroppedFiles.h"
#include "widgets/PlainButton.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr AttachedKind DocumentKinds[] = {AttachedKind::Receipt, AttachedKind::Manual, AttachedKind::Warranty,
                                          AttachedKind::Other};

} // namespace

frmDocuments::frmDocuments(Household &household, QWidget *owner, RecordSide record)
    : QDialog(owner)
    , m_household(household)
    , m_record(std::move(record))
{
    setObjectName(QStringLiteral("frmDocuments"));
    setWindowTitle(QStringLiteral("Documents"));
    setModal(false);
    setAcceptDrops(true);

    lblItem = new QLabel;
    lblItem->setObjectName(QStringLiteral("lblItem"));
    lblItem->setTextFormat(Qt::PlainText);

    grdDocuments = new QTableWidget(0, 4);
    grdDocuments->setObjectName(QStringLiteral("grdDocuments"));
    grdDocuments->setAccessibleName(QStringLiteral("Documents of the item"));
    grdDocuments->setHorizontalHeaderLabels(
        {QStringLiteral("Kind"), QStringLiteral("File"), QStringLiteral("Note"), QStringLiteral("Size")});
    grdDocuments->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDocuments->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDocuments->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDocuments->setTabKeyNavigation(false);
    grdDocuments->verticalHeader()->hide();
    grdDocuments->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grdDocuments->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);

    cboKind = new QComboBox;
    cboKind->setObjectName(QStringLiteral("cboKind"));
    for (const AttachedKind kind : DocumentKinds)
        cboKind->addItem(attachedKindName(kind), int(kind));
    txtNote = new QLineEdit;
    txtNote->setObjectName(QStringLiteral("txtNote"));
    auto *details = new QFormLayout;
    details->addRow(QStringLiteral("&Kind:"), cboKind);
    details->addRow(QStringLiteral("&Note:"), txtNote);
    // The labels name the boxes for a screen reader too.
    cboKind->setAccessibleName(QStringLiteral("Kind"));
    txtNote->setAccessibleName(QStringLiteral("Note"));

    cmdAttach = plainButton(QStringLiteral("cmdAttach"), QStringLiteral("&Attach..."));
    cmdOpen = plainButton(QStringLiteral("cmdOpen"), QStringLiteral("&Open"));
    cmdRemove = plainButton(QStringLiteral("cmdRemove"), QStringLiteral("&Remove"));
    cmdClose = plainButton(QStringLiteral("cmdClose"), QStringLiteral("Clos&e Window"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdAttach);
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdRemove);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblItem);
    layout->addWidget(grdDocuments, 1);
    layout->addLayout(details);
    layout->addLayout(buttons);
    resize(560, 340);

    connect(cmdAttach, &QPushButton::clicked, this, &frmDocuments::cmdAttach_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmDocuments::cmdOpen_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmDocuments::cmdRemove_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmDocuments::cmdClose_Click);
    connect(grdDocuments, &QTableWidget::itemSelectionChanged, this, &frmDocuments::showChosen);
    connect(grdDocuments, &QTableWidget::cellActivated, this, &frmDocuments::cmdOpen_Click);
    connect(cboKind, &QComboBox::activated, this, &frmDocuments::detailsChanged);
    connect(txtNote, &QLineEdit::editingFinished, this, &frmDocuments::detailsChanged);
    showItem(std::nullopt, QString());
}

void frmDocuments::showItem(std::optional<qint64> iteid, const QString &description)
{
    m_iteid = iteid;
    lblItem->setText(iteid ? QStringLiteral("Documents of: %1").arg(description)
                           : QStringLiteral("Store the item first to attach documents to it."));
    reload();
}

void frmDocuments::reload(qint64 chosenFileid)
{
    m_documents.clear();
    if (m_iteid) {
        m_household.trapDb([&] {
            for (const AttachedFile &file : ItemAttachments(m_household).of(*m_iteid)) {
                if (!file.isPhoto())
                    m_documents << file;
            }
        });
    }
    const QSignalBlocker quiet(grdDocuments);
    grdDocuments->setRowCount(int(m_documents.size()));
    int chosen = m_documents.isEmpty() ? -1 : 0;
    for (int row = 0; row < m_documents.size(); ++row) {
        const AttachedFile &file = m_documents[row];
        const QStringList cells{attachedKindName(file.kind), file.title.isEmpty() ? file.fileName : file.title,
                                file.note, QLocale().formattedDataSize(file.bytes)};
        for (int column = 0; column < cells.size(); ++column)
            grdDocuments->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (file.fileid == chosenFileid)
            chosen = row;
    }
    grdDocuments->resizeColumnToContents(0);
    grdDocuments->resizeColumnToContents(3);
    if (chosen >= 0)
        grdDocuments->selectRow(chosen);
    showChosen();
}

int frmDocuments::chosenRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = grdDocuments->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.front().topRow();
}

void frmDocuments::showChosen()
{
    const int row = chosenRow();
    m_filling = true;
    if (row >= 0 && row < m_documents.size()) {
        cboKind->setCurrentIndex(cboKind->findData(int(m_documents[row].kind)));
        txtNote->setText(m_documents[row].note);
    } else {
        // What the next file attached will be.
        cboKind->setCurrentIndex(0);
        txtNote->clear();
    }
    m_filling = false;
    enableButtons();
}

void frmDocuments::enableButtons()
{
    const bool stored = m_iteid.has_value();
    const bool chosen = chosenRow() >= 0;
    cmdAttach->setEnabled(stored);
    cmdOpen->setEnabled(stored && chosen);
    cmdRemove->setEnabled(stored && chosen);
    cboKind->setEnabled(stored);
    txtNote->setEnabled(stored);
}

void frmDocuments::cmdAttach_Click()
{
    if (!m_iteid)
        return;
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Attach Documents");
    dialog.filter = QStringLiteral("All Files (*.*)|*.*");
    attachFiles(chooseOpenFiles(m_household, dialog));
}

void frmDocuments::attachFiles(const QStringList &paths)
{
    if (!m_iteid || paths.isEmpty())
        return;
    // New files get the kind in the box (that of the chosen document, when
    // one is: another receipt beside a receipt); the note only when it was
    // typed for them, with no document chosen.
    const AttachedKind kind = AttachedKind(cboKind->currentData().toInt());
    const QString note = chosenRow() >= 0 ? QString() : txtNote->text();
    qint64 last = 0;
    bool receipt = false;
    {
        const BusyCursor busy;
        for (const QString &path : paths) {
            if (!QFileInfo(path).isFile()) {
                prompts().message(QStringLiteral("The file '%1' could not be attached: it is no file.")
                                      .arg(QDir::toNativeSeparators(path)),
                                  Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
                continue;
            }
            if (QFileInfo(path).size() > MaxAttachedFileBytes) {
                prompts().message(QStringLiteral("The file '%1' is larger than %2 MB, the most a document of an item "
                                                 "may hold.  Attach a smaller copy of it, for example a scan at a "
                                                 "lower resolution.")
                                      .arg(QDir::toNativeSeparators(path))
                                      .arg(MaxAttachedFileBytes / (1024 * 1024)),
                                  Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
                continue;
            }
            m_household.trapDb([&] {
                last = ItemAttachments(m_household).attach(*m_iteid, kind, path, note).fileid;
                receipt = receipt || kind == AttachedKind::Receipt;
            });
        }
    }
    reload(last);
    // The record says whether a receipt is on file; the user decides that,
    // the program only offers it.
    if (receipt && m_record.receiptTicked && !m_record.receiptTicked()
        && prompts().message(QStringLiteral("Tick \"Receipt on File\" for this item?"), Prompts::Buttons::YesNo,
                             Prompts::Icon::Question, QStringLiteral("Receipt Attached"))
            == Prompts::Answer::Yes)
        m_record.tickReceipt();
}

void frmDocuments::detailsChanged()
{
    const int row = chosenRow();
    if (m_filling || !m_iteid || row < 0 || row >= m_documents.size())
        return;
    const AttachedFile &file = m_documents[row];
    const AttachedKind kind = AttachedKind(cboKind->currentData().toInt());
    if (kind == file.kind && txtNote->text() == file.note)
        return;
    const qint64 fileid = file.fileid;
    m_household.trapDb([&] { ItemAttachments(m_household).describe(fileid, kind, txtNote->text()); });
    reload(fileid);
}

void frmDocuments::cmdOpen_Click()
{
    const int row = chosenRow();
    if (!m_iteid || row < 0 || row >= m_documents.size())
        return;
    openAttachedFile(m_household, m_documents[row]);
}

void frmDocuments::cmdRemove_Click()
{
    const int row = chosenRow();
    if (!m_iteid || row < 0 || row >= m_documents.size())
        return;
    if (prompts().message(
            QStringLiteral("Are you sure that you want to remove the document '%1' from the item?")
                .arg(m_documents[row].title.isEmpty() ? m_documents[row].fileName : m_documents[row].title),
            Prompts::Buttons::YesNo, Prompts::Icon::Question, QStringLiteral("Remove Document"))
        != Prompts::Answer::Yes)
        return;
    const qint64 fileid = m_documents[row].fileid;
    m_household.trapDb([&] { ItemAttachments(m_household).remove(fileid); });
    reload();
}

void frmDocuments::cmdClose_Click()
{
    hide();
}

void frmDocuments::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_iteid && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmDocuments::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    attachFiles(droppedFiles(event->mimeData()));
}
