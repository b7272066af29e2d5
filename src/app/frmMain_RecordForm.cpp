// The record form of the main window: its fifteen fields, showing the
// current item in them and writing them back into the record.
#include "app/frmMain.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"
#include "dates/calendar/DateBox.h"
#include "help/viewer/HelpKey.h"
#include "items/ItemStatus.h"
#include "items/Quantity.h"
#include "program/Household.h"
#include "records/RecordEditor.h"
#include "widgets/ElasticContainer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>
#include <climits>

namespace {

constexpr int FieldHeight = 360; // twips
constexpr int LabelAbove = 360;  // a caption sits this far above its field

// The entry limit of a text box is kept on the box: a stored text longer
// than it widens the box's limit while that text is shown (below).
const char *const EntryLimit = "stowbookEntryLimit";
// What a box was filled with from the record, and the text it showed then:
// a box that still shows that text writes the stored value back unchanged.
const char *const StoredText = "stowbookStoredText";
const char *const ShownText = "stowbookShownText";

QLineEdit *makeText(const QString &name, int maxLength, int topic)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    edit->setProperty(EntryLimit, edit->maxLength());
    setHelpTopic(edit, topic);
    return edit;
}

// A text written by another program may be longer than the entry limit;
// cutting it to the limit would lose its end at the next Update even of
// another field. So the limit grows to the stored text's length while it
// is shown: the user sees all of it and may shorten it, but not type past
// the larger of the two.
void showStoredText(QLineEdit *box, const QString &stored)
{
    box->setMaxLength(std::max(box->property(EntryLimit).toInt(), int(std::min<qsizetype>(stored.size(), INT_MAX))));
    box->setText(stored);
    // From its first character: the end of a long text says little.
    box->setCursorPosition(0);
    box->setProperty(StoredText, stored);
    box->setProperty(ShownText, box->text());
}

void forgetStoredText(QLineEdit *box)
{
    box->setProperty(StoredText, QVariant());
    box->setProperty(ShownText, QVariant());
    box->setMaxLength(box->property(EntryLimit).toInt());
}

// The notes as the box holds them. The box's plain text would turn no-break
// spaces into blanks and line separators into line breaks; its raw text
// keeps them, with a paragraph mark for each line break.
QString notesText(const QPlainTextEdit *box)
{
    return box->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// The text to store for a box: the stored text itself while the box still
// shows what it was filled with (so line ends of another system, no-break
// spaces and the like survive an Update of another field), else the text
// in the box.
QString textToStore(const QObject *box, const QString &shown)
{
    const QVariant stored = box->property(StoredText);
    if (stored.isValid() && shown == box->property(ShownText).toString())
        return stored.toString();
    return shown;
}

void placeWithCaption(ElasticContainer *form, QWidget *field, const QString &caption, QRect twips, int labelLeft = -1)
{
    auto *label = new QLabel(caption);
    label->setObjectName(QStringLiteral("lbl") + field->objectName().mid(3));
    label->setBuddy(field);
    form->place(label,
                QRect(labelLeft >= 0 ? labelLeft : twips.left(), twips.top() - LabelAbove, twips.width() + 200,
                      FieldHeight - 60));
    form->place(field, twips);
}

// Shows a stored money amount; Null is an empty box.
QString moneyText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.canConvert<Money>() && value.metaType() == QMetaType::fromType<Money>())
        return formatCurrency(value.value<Money>());
    const auto money = Money::fromDouble(value.toDouble());
    return money ? formatCurrency(*money) : value.toString();
}

QString dateText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.metaType() == QMetaType::fromType<DateValue>())
        return formatShortDate(value.value<DateValue>());
    return value.toString();
}

void selectByData(QComboBox *list, const QVariant &id)
{
    // An id that matches no entry (a code removed by another program) shows
    // as no selection rather than leaving the previous item's code in view.
    list->setCurrentIndex(id.isNull() ? -1 : list->findData(id.toInt()));
}

// A money box as stored: the amount it shows, or 0 when it holds no number.
// A number too large for the money type is refused rather than stored as 0.
QVariant moneyToStore(const QLineEdit *box, const QString &caption)
{
    if (const std::optional<Money> amount = toMoney(box->text()))
        return QVariant::fromValue(*amount);
    if (isNumber(box->text()))
        throw DbError(DbError::DataTypeMismatch,
                      QStringLiteral("The amount in the %1 field is too large to be stored; the stored amount "
                                     "was not changed.")
                          .arg(caption));
    return QVariant::fromValue(Money());
}

// The quantity as stored: the whole number, or 1 when the box holds no
// number. A number outside the 16-bit range leaves the column untouched.
QVariant quantityToStore(const QLineEdit *box)
{
    const Quantity quantity = readQuantity(box->text());
    switch (quantity.reading) {
    case Quantity::Reading::Whole:
        return int(quantity.value);
    case Quantity::Reading::NotANumber:
        return 1;
    case Quantity::Reading::OutOfRange:
        break;
    }
    throw DbError(DbError::DataTypeMismatch,
                  QStringLiteral("The Quantity %1 is outside the range %2 to %3; the stored quantity was not changed.")
                      .arg(box->text().trimmed())
                      .arg(MinQuantity)
                      .arg(MaxQuantity));
}

QVariant codeToStore(const QComboBox *list)
{
    return list->currentIndex() < 0 ? QVariant() : QVariant(list->currentData().toInt());
}

} // namespace

void frmMain::buildRecordForm()
{
    ElasticContainer *form = Elastic1;
    txtItem = makeText(QStringLiteral("txtItem"), 80, 9);
    txtManufact = makeText(QStringLiteral("txtManufact"), 50, 18);
    txtModel = makeText(QStringLiteral("txtModel"), 50, 19);
    txtSerNo = makeText(QStringLiteral("txtSerNo"), 50, 19);
    dcPurchDate = new DateBox(PurchaseDateRole);
    dcPurchDate->setObjectName(QStringLiteral("dcPurchDate"));
    setHelpTopic(dcPurchDate, 20);
    txtPurchPrice = makeText(QStringLiteral("txtPurchPrice"), 0, 21);
    txtEstValue = makeText(QStringLiteral("txtEstValue"), 0, 22);
    txtQuantity = makeText(QStringLiteral("txtQuantity"), 0, 23);
    txtTotValue = makeText(QStringLiteral("txtTotValue"), 0, 23);
    txtTotValue->setFocusPolicy(Qt::NoFocus);
    txtWherePurch = makeText(QStringLiteral("txtWherePurch"), 80, 24);
    chkReceipt = new QCheckBox(QStringLiteral("Receipt on File"));
    chkReceipt->setObjectName(QStringLiteral("chkReceipt"));
    setHelpTopic(chkReceipt, 25);
    txtMisc1 = makeText(QStringLiteral("txtMisc1"), 120, 26);
    cmbCat = new QComboBox;
    cmbCat->setObjectName(QStringLiteral("cmbCat"));
    setHelpTopic(cmbCat, 27);
    cmbLoc = new QComboBox;
    cmbLoc->setObjectName(QStringLiteral("cmbLoc"));
    setHelpTopic(cmbLoc, 28);
    txtNotes = new QPlainTextEdit;
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNotes->setTabChangesFocus(true);
    setHelpTopic(txtNotes, 29);

    placeWithCaption(form, txtItem, QStringLiteral("Item Description"), QRect(240, 600, 3615, FieldHeight));
    placeWithCaption(form, txtManufact, QStringLiteral("Manufacturer"), QRect(4080, 600, 1815, FieldHeight));
    placeWithCaption(form, txtModel, QStringLiteral("Model Number"), QRect(6000, 600, 1935, FieldHeight));
    placeWithCaption(form, txtSerNo, QStringLiteral("Serial Number"), QRect(8040, 600, 1935, FieldHeight));
    placeWithCaption(form, dcPurchDate, QStringLiteral("Purchase Date"), QRect(240, 1560, 2175, FieldHeight));
    placeWithCaption(form, txtPurchPrice, QStringLiteral("Purchase Price"), QRect(2640, 1560, 1815, FieldHeight), 2550);
    placeWithCaption(form, txtEstValue, QStringLiteral("Est. Value"), QRect(4680, 1560, 1815, FieldHeight), 4740);
    placeWithCaption(form, txtQuantity, QStringLiteral("Quantity"), QRect(6720, 1560, 1215, FieldHeight));
    placeWithCaption(form, txtTotValue, QStringLiteral("Total Value"), QRect(8160, 1560, 1815, FieldHeight));
    placeWithCaption(form, txtWherePurch, QStringLiteral("Where Purchased"), QRect(240, 2640, 2055, FieldHeight));
    form->place(chkReceipt, QRect(2640, 2400, 2055, 495));
    placeWithCaption(form, txtMisc1, QStringLiteral("Miscellaneous"), QRect(4920, 2640, 5055, FieldHeight));
    placeWithCaption(form, cmbCat, QStringLiteral("Category"), QRect(240, 3600, 2775, FieldHeight));
    placeWithCaption(form, cmbLoc, QStringLiteral("Location"), QRect(240, 4680, 2775, FieldHeight));
    placeWithCaption(form, txtNotes, QStringLiteral("Notes"), QRect(3240, 3480, 6735, 1635));

    QWidget *order[] = {txtItem,       txtManufact, txtModel,    txtSerNo,    dcPurchDate,
                        txtPurchPrice, txtEstValue, txtQuantity, txtTotValue, txtWherePurch,
                        chkReceipt,    txtMisc1,    cmbCat,      cmbLoc,      txtNotes};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmMain::LoadItem()
{
    const RecordEditor::Filling filling(editor());
    Household &house = m_household;
    auto text = [&house](QLineEdit *box, const QString &column) {
        house.trapDb([&] { showStoredText(box, house.items().value(column).toString()); });
    };
    text(txtItem, QStringLiteral("Item"));
    text(txtManufact, QStringLiteral("manufact"));
    text(txtModel, QStringLiteral("model"));
    text(txtSerNo, QStringLiteral("serno"));
    text(txtQuantity, QStringLiteral("quantity"));
    text(txtWherePurch, QStringLiteral("wherepurch"));
    text(txtMisc1, QStringLiteral("misc1"));
    house.trapDb([&] {
        const QString notes = house.items().value(QStringLiteral("Notes")).toString();
        txtNotes->setPlainText(notes);
        txtNotes->setProperty(StoredText, notes);
        txtNotes->setProperty(ShownText, notesText(txtNotes));
    });
    house.trapDb([&] { dcPurchDate->setText(dateText(house.items().value(QStringLiteral("purchdate")))); });
    house.trapDb([&] { txtPurchPrice->setText(moneyText(house.items().value(QStringLiteral("purchprice")))); });
    house.trapDb([&] { txtEstValue->setText(moneyText(house.items().value(QStringLiteral("estvalue")))); });
    house.trapDb([&] { txtTotValue->setText(moneyText(house.items().value(QStringLiteral("totvalue")))); });
    house.trapDb([&] { chkReceipt->setChecked(house.items().value(QStringLiteral("receipt")).toBool()); });
    house.trapDb([&] { selectByData(cmbCat, house.items().value(QStringLiteral("catid"))); });
    house.trapDb([&] { selectByData(cmbLoc, house.items().value(QStringLiteral("locid"))); });
    followShownItem(true);
}

bool frmMain::SaveItem()
{
    Household &house = m_household;
    auto store = [&house](const QString &column, auto &&value) {
        house.trapDb([&] { house.items().setValue(column, value()); });
    };
    auto text = [&](const QString &column, const QLineEdit *box) {
        store(column, [box] { return textToStore(box, box->text()); });
    };
    text(QStringLiteral("Item"), txtItem);
    text(QStringLiteral("manufact"), txtManufact);
    text(QStringLiteral("model"), txtModel);
    text(QStringLiteral("serno"), txtSerNo);
    store(QStringLiteral("purchdate"), [this] {
        const std::optional<DateValue> date = toDate(dcPurchDate->text());
        return date ? QVariant::fromValue(*date) : QVariant();
    });
    store(QStringLiteral("purchprice"),
          [this] { return moneyToStore(txtPurchPrice, QStringLiteral("Purchase Price")); });
    store(QStringLiteral("estvalue"), [this] { return moneyToStore(txtEstValue, QStringLiteral("Estimated Value")); });
    store(QStringLiteral("totvalue"), [this] { return moneyToStore(txtTotValue, QStringLiteral("Total Value")); });
    store(QStringLiteral("quantity"), [this] { return quantityToStore(txtQuantity); });
    store(QStringLiteral("receipt"), [this] { return chkReceipt->isChecked(); });
    text(QStringLiteral("wherepurch"), txtWherePurch);
    text(QStringLiteral("misc1"), txtMisc1);
    store(QStringLiteral("Notes"), [this] { return textToStore(txtNotes, notesText(txtNotes)); });
    store(QStringLiteral("catid"), [this] { return codeToStore(cmbCat); });
    store(QStringLiteral("locid"), [this] { return codeToStore(cmbLoc); });
    // The key is read while the record begun still gives it (a new record's
    // too). The picture is written only once the record is stored: a
    // record that could not be stored must not get it, nor keep it when the
    // edit is then cancelled. A failed picture write is reported, and the
    // record stays stored.
    std::optional<qint64> iteid;
    const bool valueTyped = !txtEstValue->text().trimmed().isEmpty() || !txtTotValue->text().trimmed().isEmpty();
    if (PictureChanged || valueTyped)
        house.trapDb([&] { iteid = house.items().value(QStringLiteral("iteid")).toLongLong(); });
    if (!editor().store())
        return false;
    if (iteid && PictureChanged)
        house.trapDb([&] { writeNewPicture(*iteid); });
    // An item made from photos is complete once it has its value.
    if (iteid && valueTyped)
        house.trapDb([&] { ItemStatus(house.inventory()).setToComplete(*iteid, false); });
    return true;
}

void frmMain::ClearItem()
{
    for (QLineEdit *box : std::initializer_list<QLineEdit *>{txtItem, txtManufact, txtModel, txtSerNo, dcPurchDate,
                                                             txtPurchPrice, txtEstValue})
        box->clear();
    txtQuantity->setText(QStringLiteral("1"));
    txtTotValue->clear();
    chkReceipt->setChecked(false);
    txtWherePurch->clear();
    txtMisc1->clear();
    txtNotes->clear();
    for (QLineEdit *box : {txtItem, txtManufact, txtModel, txtSerNo, txtQuantity, txtWherePurch, txtMisc1})
        forgetStoredText(box);
    txtNotes->setProperty(StoredText, QVariant());
    txtNotes->setProperty(ShownText, QVariant());
    cmbCat->setCurrentIndex(-1);
    cmbLoc->setCurrentIndex(-1);
    followShownItem(false);
}

std::vector<QWidget *> frmMain::entryFields() const
{
    return {txtItem,     txtManufact, txtModel,      txtSerNo, dcPurchDate, txtPurchPrice, txtEstValue, txtQuantity,
            txtTotValue, chkReceipt,  txtWherePurch, txtMisc1, txtNotes,    cmbCat,        cmbLoc};
}

void frmMain::DisableFields()
{
    for (QWidget *field : entryFields())
        field->setEnabled(false);
}

void frmMain::EnableFields()
{
    for (QWidget *field : entryFields())
        field->setEnabled(true);
}
