#include "claim/ClaimReadiness.h"

#include "data/Database.h"
#include "data/SqliteSupport.h"
#include "dates/LocaleFormats.h"
#include "items/ItemStatus.h"
#include "program/Household.h"
#include "program/ItemFiles.h"
#include "reports/FixedReportSupport.h"
#include "reports/PageLayout.h"
#include "reports/ReportDefaults.h"
#include "transfer/CsvWriter.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <sqlite3.h>
#include <stdexcept>

namespace {

// The household's choices, apart from the tables the items live in: an
// inventory that never had them opens, and stays, as it was.
const QString SerialTable = QStringLiteral("serialcategories");
const QString SettingsTable = QStringLiteral("readinesssettings");
const QString ReceiptAboveKey = QStringLiteral("receiptabove");

bool hasTable(Database &db, const QString &name)
{
    return db.scalar(QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = ?"), {name})
               .toInt()
        > 0;
}

std::optional<Money> moneyColumn(const Statement &rows, int column)
{
    if (rows.isNull(column))
        return std::nullopt;
    return Money::fromDouble(sqlite3_column_double(rows.get(), column));
}

// The keys of the items that have a further file of the kind, from the
// table of further files when there is one.
QSet<qint64> itemsWith(Database &db, const QString &kindCondition)
{
    QSet<qint64> keys;
    if (!hasTable(db, QStringLiteral("itemfiles")))
        return keys;
    Statement rows(db.handle(), QStringLiteral("select distinct iteid from itemfiles where ") + kindCondition);
    while (rows.step(SqlContext::Read))
        keys.insert(rows.int64Value(0));
    return keys;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace

QString shortfallName(Shortfall shortfall)
{
    switch (shortfall) {
    case Shortfall::NoPhoto:
        return QStringLiteral("No photo");
    case Shortfall::NoValue:
        return QStringLiteral("No value");
    case Shortfall::NoSerialNumber:
        return QStringLiteral("No serial number");
    case Shortfall::NoReceipt:
        return QStringLiteral("No receipt");
    }
    return QString();
}

bool usuallyHasSerialNumber(const QString &categoryDescription)
{
    // A word beginning so: "Power Tools", "Musical Instruments",
    // "Consumer Electronics", but not "Stools".
    static const QRegularExpression words(
        QStringLiteral("\\b(electronic|computer|laptop|camera|phone|smartphone|appliance|audio|video|tool|"
                       "instrument|tv\\b|television)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return words.match(categoryDescription).hasMatch();
}

ReadinessChoices readReadinessChoices(Household &household)
{
    Database &db = household.inventory();
    ReadinessChoices choices;
    if (hasTable(db, SerialTable)) {
        Statement rows(db.handle(), QStringLiteral("select catid from %1 where expected <> 0").arg(SerialTable));
        while (rows.step(SqlContext::Read))
            choices.serialCategories.insert(rows.int64Value(0));
        // Categories made after the choice was kept get the default.
        Statement fresh(db.handle(),
                        QStringLiteral("select catid, catDesc from categories where catid not in "
                                       "(select catid from %1)")
                            .arg(SerialTable));
        while (fresh.step(SqlContext::Read)) {
            if (usuallyHasSerialNumber(fresh.rawValue(1).toString()))
                choices.serialCategories.insert(fresh.int64Value(0));
        }
    } else {
        Statement rows(db.handle(), QStringLiteral("select catid, catDesc from categories"));
        while (rows.step(SqlContext::Read)) {
            if (usuallyHasSerialNumber(rows.rawValue(1).toString()))
                choices.serialCategories.insert(rows.int64Value(0));
        }
    }
    if (hasTable(db, SettingsTable)) {
        const QVariant stored =
            db.scalar(QStringLiteral("select value from %1 where name = ?").arg(SettingsTable), {ReceiptAboveKey});
        // A value this version cannot read keeps the default rather than
        // being taken for another amount.
        if (const std::optional<Money> amount = Money::fromDecimalText(stored.toString()); amount && *amount >= Money())
            choices.receiptAbove = *amount;
    }
    return choices;
}

void writeReadinessChoices(Household &household, const ReadinessChoices &choices)
{
    Database &db = household.inventory();
    Transaction transaction(db);
    // Plain SQLite types and nothing of ours in the schema, as every table.
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (catid INTEGER PRIMARY KEY, expected INTEGER NOT NULL)")
                   .arg(SerialTable));
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name TEXT PRIMARY KEY, value TEXT)").arg(SettingsTable));
    // Every category is written, so a category turned off stays off.
    db.execute(QStringLiteral("delete from %1").arg(SerialTable));
    Statement categories(db.handle(), QStringLiteral("select catid from categories"));
    QList<qint64> keys;
    while (categories.step(SqlContext::Read))
        keys << categories.int64Value(0);
    for (const qint64 key : keys) {
        db.execute(QStringLiteral("insert into %1 (catid, expected) values (?, ?)").arg(SerialTable),
                   {key, choices.serialCategories.contains(key) ? 1 : 0});
    }
    db.execute(QStringLiteral("insert or replace into %1 (name, value) values (?, ?)").arg(SettingsTable),
               {ReceiptAboveKey, choices.receiptAbove.toDecimalText()});
    transaction.commit();
}

std::optional<double> Readiness::documentedShare() const
{
    if (totalValue <= Money())
        return std::nullopt;
    return std::clamp(documentedValue.toDouble() / totalValue.toDouble(), 0.0, 1.0);
}

Readiness checkReadiness(Household &household, const ReadinessChoices &choices)
{
    Database &db = household.inventory();
    const QHash<qint64, QString> pictures = household.itemFiles().pictures();
    const QSet<qint64> furtherPhotos = itemsWith(db, QStringLiteral("kind = 'photo'"));
    const QSet<qint64> receipts = itemsWith(db, QStringLiteral("kind = 'receipt'"));

    Readiness readiness;
    // Items that left the household are no part of a claim.
    const QString kept = keptItemsCondition(household, QStringLiteral("i.iteid"));
    Statement rows(
        db.handle(),
        QStringLiteral("select i.iteid, i.Item, i.serno, i.totvalue, i.receipt, i.catid, c.catDesc, l.locDesc "
                       "from items i left join categories c on c.catid = i.catid "
                       "left join locations l on l.locid = i.locid%1 order by fold(i.Item), i.iteid")
            .arg(kept.isEmpty() ? QString() : QStringLiteral(" where ") + kept));
    while (rows.step(SqlContext::Read)) {
        const qint64 key = rows.int64Value(0);
        const std::optional<Money> value = moneyColumn(rows, 3);
        const bool photo = pictures.contains(key) || furtherPhotos.contains(key);
        const bool valued = value && *value > Money();
        const bool serial = !rows.rawValue(2).toString().trimmed().isEmpty();
        const bool receipt = (!rows.isNull(4) && rows.int64Value(4) != 0) || receipts.contains(key);
        const bool serialExpected = !rows.isNull(5) && choices.serialCategories.contains(rows.int64Value(5));

        ReadinessItem item;
        item.shortfalls[int(Shortfall::NoPhoto)] = !photo;
        item.shortfalls[int(Shortfall::NoValue)] = !valued;
        item.shortfalls[int(Shortfall::NoSerialNumber)] = serialExpected && !serial;
        item.shortfalls[int(Shortfall::NoReceipt)] = valued && *value > choices.receiptAbove && !receipt;

        ++readiness.itemCount;
        if (value) {
            readiness.totalValue += *value;
            if (photo && valued && (serial || receipt))
                readiness.documentedValue += *value;
        }
        bool short_ = false;
        for (int s = 0; s < ShortfallCount; ++s) {
            if (item.shortfalls[size_t(s)]) {
                ++readiness.counts[size_t(s)];
                short_ = true;
            }
        }
        if (!short_)
            continue;
        item.iteid = key;
        item.item = rows.rawValue(1).toString();
        item.category = rows.rawValue(6).toString();
        item.location = rows.rawValue(7).toString();
        item.value = value;
        readiness.items.append(std::move(item));
    }
    readiness.toComplete = ItemStatus(db).toCompleteCount(kept);
    return readiness;
}

void buildReadinessDocument(PageLayout &doc, const Readiness &readiness, const ReadinessChoices &choices,
                            const QDate &today)
{
    const QString title = QStringLiteral("Claim Readiness");
    doc.setOrientation(PageLayout::Orientation::Portrait);
    doc.setHeaderText(fixedReportHeader(today, title));
    doc.setFooterText(QString());
    doc.setTitle(title);
    doc.startDoc();

    const QString summary = QStringLiteral("5760|>2880;");
    const std::optional<double> share = readiness.documentedShare();
    addHeadingRow(doc, summary, {QStringLiteral("What would weaken a claim"), QStringLiteral("Items")});
    for (int s = 0; s < ShortfallCount; ++s) {
        QString group = shortfallName(Shortfall(s));
        if (Shortfall(s) == Shortfall::NoReceipt)
            group += QStringLiteral(" (worth more than %1)").arg(formatCurrency(choices.receiptAbove));
        else if (Shortfall(s) == Shortfall::NoSerialNumber)
            group += QStringLiteral(" (where the category usually has one)");
        doc.tableText(summary, QStringList{group, QLocale().toString(readiness.counts[size_t(s)])});
    }
    doc.tableText(summary, QStringList{QStringLiteral("Items checked"), QLocale().toString(readiness.itemCount)});
    doc.tableText(summary, QStringList{QStringLiteral("Total value"), formatCurrency(readiness.totalValue)});
    doc.tableText(summary,
                  QStringList{QStringLiteral("Value fully documented (photo, value, and a serial number or "
                                             "a receipt)"),
                              formatCurrency(readiness.documentedValue)});
    doc.tableText(summary,
                  QStringList{QStringLiteral("Share of the value fully documented"),
                              share ? QLocale().toString(*share * 100, 'f', 1) + QStringLiteral(" %")
                                    : QStringLiteral("no value entered")});
    doc.tableText(summary, QStringList{ToCompleteGroup, QLocale().toString(readiness.toComplete)});

    const QString listing = QStringLiteral("4320|2160|2160|>1440;");
    for (int s = 0; s < ShortfallCount; ++s) {
        if (readiness.counts[size_t(s)] == 0)
            continue;
        doc.tableText(listing, QStringList{QString()});
        doc.addTable(
            QStringLiteral("10080;"), QStringList(),
            {{shortfallName(Shortfall(s)) + QStringLiteral(": ") + QLocale().toString(readiness.counts[size_t(s)])}},
            HeaderShade, HeaderShade);
        addHeadingRow(doc, listing,
                      {QStringLiteral("Item"), QStringLiteral("Category"), QStringLiteral("Location"),
                       QStringLiteral("Total Value")});
        for (const ReadinessItem &item : readiness.items) {
            if (item.shortfalls[size_t(s)])
                doc.tableText(listing,
                              QStringList{item.item, item.category, item.location,
                                          item.value ? formatCurrency(*item.value) : QString()});
        }
    }
    doc.endDoc();
}

bool writeReadinessCsv(const QString &path, const Readiness &readiness, QString *error)
{
    CsvFileWriter csv(path);
    const auto fail = [&] {
        if (error)
            *error = csv.errorString();
        return false;
    };
    if (!csv.open())
        return fail();
    for (const QString &heading : {QStringLiteral("ID"), QStringLiteral("Description"), QStringLiteral("Category"),
                                   QStringLiteral("Location"), QStringLiteral("Total Value")})
        csv.text(heading, false);
    for (int s = 0; s < ShortfallCount; ++s)
        csv.text(shortfallName(Shortfall(s)), false);
    if (!csv.endRow())
        return fail();
    for (const ReadinessItem &item : readiness.items) {
        csv.text(QString::number(item.iteid), false);
        csv.text(item.item, true);
        // No category or location is no value, as the item export writes it.
        for (const QString *code : {&item.category, &item.location}) {
            if (code->isEmpty())
                csv.null();
            else
                csv.text(*code, true);
        }
        if (item.value)
            csv.text(item.value->toDecimalText(), false);
        else
            csv.null();
        for (int s = 0; s < ShortfallCount; ++s)
            csv.text(yesNo(item.shortfalls[size_t(s)]), false);
        if (!csv.endRow())
            return fail();
    }
    if (!csv.commit())
        return fail();
    return true;
}
