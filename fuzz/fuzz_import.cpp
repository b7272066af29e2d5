// Files of items as Import Items reads them. The first byte picks what is
// tried: a file read, checked and stored (the rest of the input is the
// file); single values read in every number style and date order; or
// fields written as the export writes them and read back (the rest is the
// fields, split at 0 bytes).
#include "FuzzSupport.h"

#include "data/Database.h"
#include "transfer/CsvWriter.h"
#include "transfer/FormulaCells.h"
#include "transfer/ImportPlan.h"
#include "transfer/ItemImport.h"

#include <QList>

namespace {

int expectedType(ItemField field)
{
    switch (fieldKind(field)) {
    case FieldKind::Text:
    case FieldKind::Disposal: // the stored word ("sold")
        break;
    case FieldKind::Date:
        return qMetaTypeId<DateValue>();
    case FieldKind::Amount:
        return qMetaTypeId<Money>();
    case FieldKind::Quantity:
        return QMetaType::Int;
    case FieldKind::YesNo:
        return QMetaType::Bool;
    }
    return QMetaType::QString;
}

// What every plan promises, whatever the file held.
void checkPlan(const ImportPlan &plan, const QString &how)
{
    FUZZ_REQUIRE(plan.mapping().size() == std::size_t(plan.headings().size()), "%1: a mapping per heading", how);
    int line = 0;
    ImportSummary counted;
    const ImportSummary summary = plan.checkRows([&](const CheckedItem &item,
                                                     const std::vector<ImportProblem> &problems) {
        FUZZ_REQUIRE(item.line > line, "%1: row of line %2 after line %3", how, QString::number(item.line),
                     QString::number(line));
        line = item.line;
        ++counted.rows;
        counted.goodRows += item.good;
        counted.storableRows += item.storable;
        const QVariant &description = item[ItemField::Item];
        FUZZ_REQUIRE(!item.storable
                         || (description.typeId() == QMetaType::QString && !description.toString().isEmpty()),
                     "%1: line %2 can be stored without a description", how, QString::number(item.line));
        for (const ItemField field : allItemFields()) {
            const QVariant &value = item[field];
            if (value.isNull() || !value.isValid())
                continue;
            FUZZ_REQUIRE(value.typeId() == expectedType(field), "%1: line %2, %3 holds a %4", how,
                         QString::number(item.line), fieldCaption(field), QString::fromLatin1(value.typeName()));
            if (field == ItemField::Quantity)
                FUZZ_REQUIRE(value.toInt() >= -32768 && value.toInt() <= 32767, "%1: quantity %2", how,
                             value.toString());
            if (value.typeId() == qMetaTypeId<Money>()) {
                const Money amount = value.value<Money>();
                FUZZ_REQUIRE(Money::fromDouble(amount.toDouble()) == amount, "%1: line %2, %3 is not stored exactly",
                             how, QString::number(item.line), fieldCaption(field));
            }
            if (value.typeId() == QMetaType::QString) {
                for (const QChar c : value.toString())
                    FUZZ_REQUIRE(c.unicode() != 0 && (c.unicode() < 0x80 || c.unicode() > 0x9F),
                                 "%1: line %2, %3 holds a control character", how, QString::number(item.line),
                                 fieldCaption(field));
            }
        }
        // A row is good exactly when it has no problem; without a column of
        // descriptions no row is.
        if (!plan.mapsDescription()) {
            FUZZ_REQUIRE(!item.good && !item.storable, "%1: line %2 can be stored without descriptions", how,
                         QString::number(item.line));
            return;
        }
        FUZZ_REQUIRE(problems.empty() == item.good, "%1: line %2 is %3 with %4 problems", how,
                     QString::number(item.line), item.good ? QStringLiteral("good") : QStringLiteral("not good"),
                     QString::number(problems.size()));
        for (const ImportProblem &problem : problems)
            FUZZ_REQUIRE(problem.line == item.line, "%1: a problem of line %2 given with line %3", how,
                         QString::number(problem.line), QString::number(item.line));
    });
    FUZZ_REQUIRE(summary.rows == counted.rows && summary.goodRows == counted.goodRows
                     && summary.storableRows == counted.storableRows,
                 "%1: the summary counts %2 rows, the rows were %3", how, QString::number(summary.rows),
                 QString::number(counted.rows));
    FUZZ_REQUIRE(summary.problems.size() <= std::size_t(ImportPlan::KeptProblems) + 1
                     && qint64(summary.problems.size()) <= summary.problemCount,
                 "%1: %2 problems kept of %3", how, QString::number(summary.problems.size()),
                 QString::number(summary.problemCount));
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
    const NumberStyle numbers[] = {NumberStyle::Plain, NumberStyle::DecimalPoint, NumberStyle::DecimalComma};
    const DateStyle dates[] = {DateStyle::DayMonthYear, DateStyle::MonthDayYear, DateStyle::YearMonthDay};
    int round = 0;
    for (const char separator : {',', ';', '\t'}) {
        try {
            plan->setSeparator(separator);
            plan->setNumberStyle(numbers[round % 3]);
            plan->setDateStyle(dates[round % 3]);
            if (!plan->headings().isEmpty())
                plan->setMapping(0, ItemField::Item);
            checkPlan(*plan, QStringLiteral("separator %1").arg(int(separator)));
        } catch (const ImportError &) {
        }
        ++round;
    }
    try {
        plan->setEncoding(TextEncoding::MacRoman);
        checkPlan(*plan, QStringLiteral("Mac Roman"));
    } catch (const ImportError &) {
    }
    if (bytes.size() > 4096)
        return;
    // Stored, then taken back: the rows stored are the rows that could be.
    Database &db = fuzzInventory();
    db.execute(QStringLiteral("BEGIN"));
    try {
        const ImportOutcome outcome = storeImportedItems(db, *plan, ImportChoice::AllRows);
        FUZZ_REQUIRE(outcome.items == plan->summary().storableRows, "%1 items stored of %2 rows that can be",
                     QString::number(outcome.items), QString::number(plan->summary().storableRows));
    } catch (const DbError &error) {
        FUZZ_REQUIRE(false, "storing failed: %1 %2", QString::number(error.number()), error.text());
    }
    db.execute(QStringLiteral("ROLLBACK"));
}

// The readers of single values keep their word: a value that tells one
// style reads in it, and one read alike by every style reads alike.
void readValues(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const NumberClue clue = numberClue(text);
    const FileNumber plain = readFileNumber(text, NumberStyle::Plain);
    const FileNumber point = readFileNumber(text, NumberStyle::DecimalPoint);
    const FileNumber comma = readFileNumber(text, NumberStyle::DecimalComma);
    const auto reads = [](const FileNumber &number) { return number.kind != FileNumber::Kind::NotANumber; };
    switch (clue) {
    case NumberClue::None:
        FUZZ_REQUIRE(!reads(point) && !reads(comma), "\"%1\" reads but tells nothing", text);
        break;
    case NumberClue::CommaDecimal:
        FUZZ_REQUIRE(reads(comma) && !reads(point) && !reads(plain), "\"%1\" is no decimal comma", text);
        break;
    case NumberClue::PointDecimal:
    case NumberClue::PointGrouped:
        FUZZ_REQUIRE(reads(point) && !reads(comma), "\"%1\" is no decimal point", text);
        break;
    case NumberClue::Neutral:
        FUZZ_REQUIRE(reads(point) && reads(comma) && point.kind == comma.kind
                         && (point.kind != FileNumber::Kind::Number || point.value == comma.value),
                     "\"%1\" reads unlike in two styles", text);
        break;
    case NumberClue::AmbiguousPlain:
    case NumberClue::AmbiguousComma:
        FUZZ_REQUIRE(reads(point) && reads(comma), "\"%1\" is not read by both styles", text);
        break;
    }
    if (plain.kind == FileNumber::Kind::Number)
        FUZZ_REQUIRE(point.kind == FileNumber::Kind::Number && point.value == plain.value,
                     "\"%1\" plain and with a decimal point differ", text);

    const DateClue dateClueFound = dateClue(text);
    const std::optional<DateValue> dayFirst = readFileDate(text, DateStyle::DayMonthYear);
    const std::optional<DateValue> monthFirst = readFileDate(text, DateStyle::MonthDayYear);
    switch (dateClueFound) {
    case DateClue::DayFirst:
        FUZZ_REQUIRE(dayFirst && !monthFirst, "\"%1\" is not day first alone", text);
        break;
    case DateClue::MonthFirst:
        FUZZ_REQUIRE(monthFirst && !dayFirst, "\"%1\" is not month first alone", text);
        break;
    case DateClue::Ambiguous:
        FUZZ_REQUIRE(dayFirst && monthFirst && *dayFirst != *monthFirst, "\"%1\" is not two dates", text);
        break;
    case DateClue::Neutral:
    case DateClue::YearFirst:
        FUZZ_REQUIRE(dayFirst && monthFirst && *dayFirst == *monthFirst, "\"%1\" is not one date", text);
        break;
    case DateClue::None:
        // A date with a month name reads alike in every order.
        FUZZ_REQUIRE(!dayFirst || !monthFirst || *dayFirst == *monthFirst, "\"%1\" tells nothing but reads unlike",
                     text);
        break;
    }
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
    switch (data[0] % 4) {
    case 3:
        writeAndRead(bytes);
        break;
    case 2:
        readValues(QByteArray(bytes.constData(), bytes.size()).left(200));
        break;
    default:
        readFile(QByteArray(bytes.constData(), bytes.size()));
    }
    return 0;
}
