#include "photoitems/window/frmPhotoItems.h"

#include "data/Database.h"
#include "data/Inventory.h"
#include "data/Recordset.h"
#include "dates/LocaleConversions.h"
#include "photoitems/PhotoCheck.h"
#include "photoitems/PhotoItems.h"
#include "photoitems/PhotoThumbnail.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr QSize ThumbnailSize(160, 120);

} // namespace

frmPhotoItems::frmPhotoItems(Household &household, std::vector<BatchPhoto> photos, QStringList skipped, QWidget *parent)
    : QDialog(parent)
    , m_household(household)
    , m_photos(std::move(photos))
    , m_skipped(std::move(skipped))
{
    setWindowTitle(Caption);
    setObjectName(QStringLiteral("frmPhotoItems"));
    // Two readers: the window answers keys while thumbnails are read.
    m_readers.setMaxThreadCount(2);
    for (const BatchPhoto &photo : m_photos)
        m_included.push_back(photo.knownItem == 0);
    buildWindow();
    m_starts = groupStarts(m_photos, spnGap->value());
    showItems(0);
}

frmPhotoItems::~frmPhotoItems()
{
    m_readers.clear();
    m_readers.waitForDone();
}

void frmPhotoItems::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Typing starts with the first item's description, whatever had the
    // focus when the window was last shown.
    txtDescription->setFocus(Qt::OtherFocusReason);
}

void frmPhotoItems::buildWindow()
{
    auto *layout = new QVBoxLayout(this);
    lblIntro = new QLabel(this);
    lblIntro->setObjectName(QStringLiteral("lblIntro"));
    lblIntro->setVisible(false);
    layout->addWidget(lblIntro);

    auto *gapRow = new QHBoxLayout;
    auto *gapLabel = new QLabel(QStringLiteral("&Group photos taken within"), this);
    spnGap = new QSpinBox(this);
    spnGap->setObjectName(QStringLiteral("spnGap"));
    spnGap->setRange(0, 24 * 60 * 60);
    spnGap->setValue(60);
    spnGap->setSuffix(QStringLiteral(" seconds"));
    spnGap->setAccessibleName(QStringLiteral("Seconds between photos of one item"));
    gapLabel->setBuddy(spnGap);
    gapRow->addWidget(gapLabel);
    gapRow->addWidget(spnGap);
    gapRow->addWidget(new QLabel(QStringLiteral("of each other as one item"), this));
    gapRow->addStretch();
    layout->addLayout(gapRow);

    auto *lists = new QGridLayout;
    auto *itemsLabel = new QLabel(QStringLiteral("&Items"), this);
    lstItems = new QListWidget(this);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    lstItems->setAccessibleName(QStringLiteral("Proposed items"));
    itemsLabel->setBuddy(lstItems);
    auto *photosLabel = new QLabel(QStringLiteral("P&hotos of the item (Space leaves one out or takes it in)"), this);
    lstPhotos = new QListWidget(this);
    lstPhotos->setObjectName(QStringLiteral("lstPhotos"));
    lstPhotos->setAccessibleName(QStringLiteral("Photos of the item"));
    lstPhotos->setViewMode(QListView::IconMode);
    lstPhotos->setIconSize(ThumbnailSize);
    lstPhotos->setGridSize(ThumbnailSize + QSize(24, 44));
    lstPhotos->setResizeMode(QListView::Adjust);
    lstPhotos->setMovement(QListView::Static);
    lstPhotos->setWordWrap(true);
    photosLabel->setBuddy(lstPhotos);
    lists->addWidget(itemsLabel, 0, 0);
    lists->addWidget(lstItems, 1, 0);
    lists->addWidget(photosLabel, 0, 1);
    lists->addWidget(lstPhotos, 1, 1);
    lists->setColumnStretch(0, 2);
    lists->setColumnStretch(1, 5);
    layout->addLayout(lists, 1);

    auto *itemRow = new QHBoxLayout;
    auto *descriptionLabel = new QLabel(QStringLiteral("&Description:"), this);
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    txtDescription->setAccessibleName(QStringLiteral("Description"));
    txtDescription->setPlaceholderText(QStringLiteral("Type it, then Enter for the next item"));
    descriptionLabel->setBuddy(txtDescription);
    cmdSplit = new QPushButton(QStringLiteral("&Split Here"), this);
    cmdSplit->setObjectName(QStringLiteral("cmdSplit"));
    cmdSplit->setToolTip(QStringLiteral("A new item begins at the chosen photo"));
    cmdJoin = new QPushButton(QStringLiteral("&Join with Next"), this);
    cmdJoin->setObjectName(QStringLiteral("cmdJoin"));
    itemRow->addWidget(descriptionLabel);
    itemRow->addWidget(txtDescription, 1);
    itemRow->addWidget(cmdSplit);
    itemRow->addWidget(cmdJoin);
    layout->addLayout(itemRow);

    auto *batchRow = new QHBoxLayout;
    const auto addField = [&](const QString &caption, QWidget *field, const QString &name) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        field->setAccessibleName(name);
        batchRow->addWidget(label);
        batchRow->addWidget(field, 1);
    };
    cmbCategory = new QComboBox(this);
    cmbCategory->setObjectName(QStringLiteral("cmbCategory"));
    cmbLocation = new QComboBox(this);
    cmbLocation->setObjectName(QStringLiteral("cmbLocation"));
    txtValue = new QLineEdit(this);
    txtValue->setObjectName(QStringLiteral("txtValue"));
    addField(QStringLiteral("For every item: &Category"), cmbCategory, QStringLiteral("Category of every item"));
    addField(QStringLiteral("&Location"), cmbLocation, QStringLiteral("Location of every item"));
    addField(QStringLiteral("&Value"), txtValue, QStringLiteral("Value of every item"));
    fillCodes(cmbCategory, CategoriesStatement, QStringLiteral("catDesc"), QStringLiteral("catid"));
    fillCodes(cmbLocation, LocationsStatement, QStringLiteral("locDesc"), QStringLiteral("locid"));
    layout->addLayout(batchRow);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    layout->addWidget(lblSummary);

    // No button box: it would make Add Items the default button, and Enter
    // belongs to the description, where it goes on to the next item.
    auto *buttons = new QHBoxLayout;
    cmdAdd = new QPushButton(QStringLiteral("&Add Items"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    for (QPushButton *button : {cmdSplit, cmdJoin, cmdAdd, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(spnGap, &QSpinBox::valueChanged, this, &frmPhotoItems::spnGap_Change);
    connect(lstItems, &QListWidget::currentRowChanged, this, &frmPhotoItems::lstItems_Click);
    connect(txtDescription, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int group = currentGroup();
        if (group < 0)
            return;
        m_descriptions.insert(m_starts[std::size_t(group)], text);
        lstItems->item(group)->setText(itemLabel(group));
    });
    connect(txtDescription, &QLineEdit::returnPressed, this, &frmPhotoItems::txtDescription_Enter);
    connect(lstPhotos, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (m_showing)
            return;
        const int photo = item->data(Qt::UserRole).toInt();
        m_included[std::size_t(photo)] = item->checkState() == Qt::Checked;
        lstItems->item(currentGroup())->setText(itemLabel(currentGroup()));
        showSummary();
    });
    connect(cmdSplit, &QPushButton::clicked, this, &frmPhotoItems::cmdSplit_Click);
    connect(cmdJoin, &QPushButton::clicked, this, &frmPhotoItems::cmdJoin_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmPhotoItems::cmdAdd_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(1000, 640);
}

void frmPhotoItems::fillCodes(QComboBox *box, const QString &statement, const QString &descColumn,
                              const QString &idColumn)
{
    box->addItem(QString(), QVariant());
    m_household.trapDb([&] {
        const std::unique_ptr<Recordset> rs = m_household.inventory().openRecordset(statement, RecordsetType::Snapshot);
        for (; !rs->eof(); rs->moveNext())
            box->addItem(rs->value(descColumn).toString(), rs->value(idColumn));
    });
}

frmPhotoItems::Batch frmPhotoItems::readBatch(Household &household, const QStringList &paths)
{
    Batch batch;
    QStringList readable;
    for (const QString &path : paths) {
        if (const QString why = whyNotAPhoto(path); !why.isEmpty())
            batch.skipped << QStringLiteral("%1 (%2)").arg(QFileInfo(path).fileName(), why);
        else
            readable << path;
    }
    batch.photos = readPhotos(readable);
    household.trapDb([&] { markKnownPhotos(household, batch.photos); });
    return batch;
}

void frmPhotoItems::setIntro(const QString &text)
{
    lblIntro->setText(text);
    lblIntro->setVisible(!text.isEmpty());
}

std::vector<qint64> frmPhotoItems::run(Household &household, QWidget *owner, const QStringList &paths,
                                       const QString &intro, QStringList *taken)
{
    Batch batch;
    {
        BusyCursor busy;
        batch = readBatch(household, paths);
    }
    if (batch.photos.empty()) {
        prompts().message(QStringLiteral("None of the files chosen is a photo this program reads: %1.")
                              .arg(batch.skipped.join(QStringLiteral(", "))),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
        return {};
    }
    frmPhotoItems window(household, std::move(batch.photos), std::move(batch.skipped), owner);
    window.setIntro(intro);
    window.exec();
    if (taken)
        *taken = window.takenPaths();
    return window.addedKeys();
}

int frmPhotoItems::currentGroup() const
{
    const int row = lstItems->currentRow();
    return row >= 0 && row < int(m_starts.size()) ? row : -1;
}

std::pair<int, int> frmPhotoItems::photosOf(int group) const
{
    const int first = m_starts[std::size_t(group)];
    const int end = group + 1 < int(m_starts.size()) ? m_starts[std::size_t(group + 1)] : int(m_photos.size());
    return {first, end};
}

QString frmPhotoItems::itemLabel(int group) const
{
    const auto [first, end] = photosOf(group);
    int included = 0;
    for (int p = first; p < end; ++p)
        included += m_included[std::size_t(p)] ? 1 : 0;
    const QString description = m_descriptions.value(first);
    QString label = QStringLiteral("%1. %2").arg(group + 1).arg(
        description.isEmpty() ? QStringLiteral("(no description)") : description);
    if (included == 0)
        return label + QStringLiteral(" - left out");
    return label + (included == 1 ? QStringLiteral(" - 1 photo") : QStringLiteral(" - %1 photos").arg(included));
}

void frmPhotoItems::showItems(int select)
{
    lstItems->blockSignals(true);
    lstItems->clear();
    for (int g = 0; g < int(m_starts.size()); ++g)
        lstItems->addItem(itemLabel(g));
    lstItems->blockSignals(false);
    lstItems->setCurrentRow(std::clamp(select, 0, int(m_starts.size()) - 1));
    lstItems_Click();
    showSummary();
}

QIcon frmPhotoItems::thumbnail(int photo)
{
    if (const auto known = m_thumbnails.constFind(photo); known != m_thumbnails.constEnd())
        return *known;
    if (!m_asked.contains(photo)) {
        m_asked.insert(photo);
        m_readers.start([this, photo, path = m_photos[std::size_t(photo)].path] {
            const QImage image = readThumbnail(path, ThumbnailSize);
            QMetaObject::invokeMethod(
                this, [this, photo, image] { thumbnailRead(photo, image); }, Qt::QueuedConnection);
        });
    }
    return QIcon();
}

void frmPhotoItems::thumbnailRead(int photo, const QImage &image)
{
    const QIcon icon = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
    m_thumbnails.insert(photo, icon);
    for (int row = 0; row < lstPhotos->count(); ++row) {
        QListWidgetItem *item = lstPhotos->item(row);
        if (item->data(Qt::UserRole).toInt() != photo)
            continue;
        m_showing = true;
        item->setIcon(icon);
        if (image.isNull())
            item->setToolTip(item->toolTip() + QStringLiteral("\nThis photo could not be read to show it."));
        m_showing = false;
    }
}

void frmPhotoItems::showPhotos()
{
    m_showing = true;
    lstPhotos->clear();
    const int group = currentGroup();
    if (group >= 0) {
        const auto [first, end] = photosOf(group);
        for (int p = first; p < end; ++p) {
            const BatchPhoto &photo = m_photos[std::size_t(p)];
            auto *item = new QListWidgetItem(thumbnail(p), QFileInfo(photo.path).fileName(), lstPhotos);
            item->setData(Qt::UserRole, p);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(m_included[std::size_t(p)] ? Qt::Checked : Qt::Unchecked);
            QString tip = photo.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!photo.byCamera)
                tip += QStringLiteral(" (the file's time: the photo holds none of the camera's)");
            if (photo.knownItem)
                tip += QStringLiteral("\nThe inventory has this photo already (item %1).").arg(photo.knownItem);
            if (m_thumbnails.contains(p) && m_thumbnails.value(p).isNull())
                tip += QStringLiteral("\nThis photo could not be read to show it.");
            item->setToolTip(tip);
        }
        lstPhotos->setCurrentRow(0);
    }
    m_showing = false;
}

void frmPhotoItems::showSummary()
{
    int known = 0, leftOut = 0;
    for (std::size_t p = 0; p < m_photos.size(); ++p) {
        known += m_photos[p].knownItem ? 1 : 0;
        leftOut += m_included[p] ? 0 : 1;
    }
    QString text = QStringLiteral("%1 photos, %2 items.").arg(m_photos.size()).arg(m_starts.size());
    if (known)
        text += QStringLiteral(" %1 of the photos the inventory has already.").arg(known);
    if (leftOut)
        text += QStringLiteral(" %1 left out.").arg(leftOut);
    if (!m_skipped.isEmpty())
        text += QStringLiteral(" Skipped: %1.").arg(m_skipped.join(QStringLiteral(", ")));
    lblSummary->setText(text);
}

void frmPhotoItems::spnGap_Change()
{
    m_starts = groupStarts(m_photos, spnGap->value());
    showItems(0);
}

void frmPhotoItems::lstItems_Click()
{
    const int group = currentGroup();
    txtDescription->setText(group >= 0 ? m_descriptions.value(m_starts[std::size_t(group)]) : QString());
    showPhotos();
}

void frmPhotoItems::txtDescription_Enter()
{
    const int group = currentGroup();
    if (group + 1 < int(m_starts.size()))
        lstItems->setCurrentRow(group + 1);
    else
        cmdAdd->setFocus(Qt::TabFocusReason);
    txtDescription->selectAll();
}

void frmPhotoItems::cmdSplit_Click()
{
    const int group = currentGroup();
    const QListWidgetItem *chosen = lstPhotos->currentItem();
    if (group < 0 || !chosen)
        return;
    const int photo = chosen->data(Qt::UserRole).toInt();
    if (photo == m_starts[std::size_t(group)]) {
        prompts().beep();
        return;
    }
    m_starts.insert(m_starts.begin() + group + 1, photo);
    showItems(group + 1);
    txtDescription->setFocus(Qt::OtherFocusReason);
}

void frmPhotoItems::cmdJoin_Click()
{
    const int group = currentGroup();
    if (group < 0 || group + 1 >= int(m_starts.size())) {
        prompts().beep();
        return;
    }
    const int next = m_starts[std::size_t(group + 1)];
    const int first = m_starts[std::size_t(group)];
    if (m_descriptions.value(first).isEmpty())
        m_descriptions.insert(first, m_descriptions.value(next));
    m_descriptions.remove(next);
    m_starts.erase(m_starts.begin() + group + 1);
    showItems(group);
}

void frmPhotoItems::cmdAdd_Click()
{
    std::optional<Money> value;
    if (!txtValue->text().trimmed().isEmpty()) {
        value = toMoney(txtValue->text());
        if (!value) {
            prompts().message(QStringLiteral("The value is not an amount. Type an amount, or leave the box empty."),
                              Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
            txtValue->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    std::vector<PhotoItem> items;
    for (int g = 0; g < int(m_starts.size()); ++g) {
        const auto [first, end] = photosOf(g);
        PhotoItem item;
        for (int p = first; p < end; ++p) {
            if (m_included[std::size_t(p)])
                item.photos << m_photos[std::size_t(p)].path;
        }
        if (item.photos.isEmpty())
            continue;
        item.description = m_descriptions.value(first).trimmed();
        if (item.description.isEmpty()) {
            prompts().message(
                QStringLiteral("Item %1 has no description. Type one, or leave its photos out.").arg(g + 1),
                Prompts::Buttons::Ok, Prompts::Icon::Exclamation, Caption);
            lstItems->setCurrentRow(g);
            txtDescription->setFocus(Qt::OtherFocusReason);
            return;
        }
        item.catid = cmbCategory->currentData();
        item.locid = cmbLocation->currentData();
        item.value = value;
        items.push_back(std::move(item));
    }
    if (items.empty()) {
        prompts().message(QStringLiteral("Every photo is left out: there is no item to add."), Prompts::Buttons::Ok,
                          Prompts::Icon::Exclamation, Caption);
        return;
    }
    bool stored = false;
    {
        BusyCursor busy;
        m_household.trapDb([&] {
            m_added = addPhotoItems(m_household, items);
            stored = true;
        });
        m_household.freeInventoryLocks();
    }
    if (!stored)
        return;
    for (const PhotoItem &item : items)
        m_taken << item.photos;
    for (std::size_t p = 0; p < m_photos.size(); ++p) {
        if (m_photos[p].knownItem && !m_included[p])
            m_taken << m_photos[p].path;
    }
    accept();
}
