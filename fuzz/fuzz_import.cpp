// Files of items as Import Items reads them. The first byte picks what is
// tried: a file read, checked and stored (the rest of the input is the
// file), or fields written as the export writes them and read back (the
// rest is the fields, split at 0 bytes).
#include "FuzzSupport.h"

#include "data/Database.h"
#include "transfer/CsvWriter.h"
#include "transfer/FormulaCells.h"
#include "transfer/ImportPlan.h"
#include "transfer/ItemImport.h"

#include <QList>

namespace {

// What every plan promises, whatever the file held.
void checkPlan(const ImportPlan &plan, const QString &how)
{
    FUZZ_REQUIRE(plan.mapping().size() == std::size_t(plan.headings().size()), "%1: a mapping per heading", how);
    int line = 0;
    for (const CheckedItem &item : plan.rows()) {
        FUZZ_REQUIRE(item.line > line, "%1: row of line %2 after line %3", how, QString::number(item.line),
                     QString::number(line));
        line = item.line;
        const QVariant &description = item[ItemField::Item];
        FUZZ_REQUIRE(!item.storable
                         || (description.typeId() == QMetaType::QString && !description.toString().isEmpty()),
                     "%1: line %2 can be stored without a description", how, QString::number(item.line));
        for (const ItemField field : allItemFields()) {
            const QVariant &value = item[field];
            if (value.isNull() || !value.isValid())
                continue;
            int expected = QMetaType::QString;
            switch (fieldKind(field)) {
            case FieldKind::Text:
                break;
            case FieldKind::Date:
                expected = qMetaTypeId<DateValue>();
                break;
            case FieldKind::Amount:
                expected = qMetaTypeId<Money>();
                break;
            case FieldKind::Quantity:
                expected = QMetaType::Int;
                break;
            case FieldKind::YesNo:
                expected = QMetaType::Bool;
                break;
            }
            FUZZ_REQUIRE(value.typeId() == expected, "%1: line %2, %3 holds a %4", how, QString::number(item.line),
                         fieldCaption(field), QString::fromLatin1(value.typeName()));
            if (field == ItemField::Quantity)
                FUZZ_REQUIRE(value.toInt() >= -32768 && value.toInt() <= 32767, "%1: quantity %2", how,
                             value.toString());
        }
    }
    // A row is good exactly when no problem names its line; without a
    // column of descriptions no row is.
    for (const CheckedItem &item : plan.rows()) {
        if (!plan.mapsDescription()) {
            FUZZ_REQUIRE(!item.good && !item.storable, "%1: line %2 can be stored without descriptions", how,
                         QString::number(item.line));
            continue;
        }
        const bool named = std::any_of(plan.problems().begin(), plan.problems().end(),
                                       [&](const ImportProblem &problem) { return problem.line == item.line; });
        FUZZ_REQUIRE(named == !item.good, "%1: line %2 is %3 but %4 named in the problems", how,
                     QString::number(item.line), item.good ? QStringLiteral("good") : QStringLiteral("not good"),
                     named ? QStringLiteral("is") : QStringLiteral("is not"));
    }
}

void readFile(const QByteArray &bytes)
{
    std::optional<ImportPlan> plan;
    try {
        plan = ImportPlan::fromBytes(bytes);
    } catch (const ImportError &) {
        return;
    }
    checkPlan(*plan, QStringLiteral("as found"));
    // Every other reading the window offers must hold up as well.
    for (const char separator : {',', ';', '\t'}) {
        try {
            plan->setSeparator(separator);
            plan->setNumberStyle(separator == ';' ? NumberStyle::Locale : NumberStyle::Plain);
            if (!plan->headings().isEmpty())
                plan->setMapping(0, ItemField::Item);
            checkPlan(*plan, QStringLiteral("separator %1").arg(int(separator)));
        } catch (const ImportError &) {
        }
    }
    if (bytes.size() > 4096)
        return;
    // Stored, then taken back: the rows stored are the rows that could be.
    Database &db = fuzzInventory();
    db.execute(QStringLiteral("BEGIN"));
    try {
        const ImportOutcome outcome = storeImportedItems(db, plan->rows(), ImportChoice::AllRows);
        FUZZ_REQUIRE(outcome.items == plan->storableRows(), "%1 items stored of %2 rows that can be",
                     QString::number(outcome.items), QString::number(plan->storableRows()));
    } catch (const DbError &error) {
        FUZZ_REQUIRE(false, "storing failed: %1 %2", QString::number(error.number()), error.text());
    }
    db.execute(QStringLiteral("ROLLBACK"));
}

// Texts written as fields of one row and read back are the same texts.
void writeAndRead(const QByteArray &bytes)
{
    const QList<QByteArray> parts = bytes.split('\0');
    QList<QString> texts;
    QByteArray line;
    for (qsizetype i = 0; i < parts.size() && i < 64; ++i) {
        const QString text = QString::fromUtf8(parts[i]);
        texts << text;
        if (i > 0)
            line += ',';
        appendCsvField(line, text.toUtf8(), true);
    }
    line += "\r\n";
    const CsvTable table = readCsv(line, ',', TextEncoding::Utf8, 64);
    FUZZ_REQUIRE(!table.unclosedQuoteLine, "a written row has an open quote: %1", QString::fromUtf8(line));
    FUZZ_REQUIRE(table.records.size() == 1, "one row written, %1 read: %2", QString::number(table.records.size()),
                 QString::fromUtf8(line));
    const CsvRecord &record = table.records.front();
    FUZZ_REQUIRE(record.fields.size() == texts.size(), "%1 fields written, %2 read: %3", QString::number(texts.size()),
                 QString::number(record.fields.size()), QString::fromUtf8(line));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        FUZZ_REQUIRE(record.fields[i].has_value(), "field %1 read as no value: %2", QString::number(i),
                     QString::fromUtf8(line));
        const QString back = withoutFormulaGuard(*record.fields[i]);
        FUZZ_REQUIRE(back == texts[i], "field %1 \"%2\" read back as \"%3\"", QString::number(i), texts[i], back);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool ready = [] {
        installSilentPrompts();
        setDefaultLocale("en_US");
        return true;
    }();
    Q_UNUSED(ready);
    if (size == 0)
        return 0;
    const QByteArray bytes = inputBytes(data + 1, size - 1);
    if (data[0] % 4 == 3)
        writeAndRead(bytes);
    else
        readFile(QByteArray(bytes.constData(), bytes.size()));
    return 0;
}
