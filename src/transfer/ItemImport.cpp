#include "transfer/ItemImport.h"

#include "data/Database.h"
#include "data/SqliteSupport.h"
#include "items/ItemStatus.h"

#include <QHash>
#include <sqlite3.h>

namespace {

// One code list (categories or locations): the descriptions already stored
// and the ones added, by their folded text.
class CodeFinder {
public:
    CodeFinder(Database &db, const QString &table, const QString &key, const QString &description)
        : m_db(db)
        , m_insert(QStringLiteral("insert into %1 (%2) values (?)").arg(table, description))
    {
        // The oldest code wins when two are spelled alike.
        Statement codes(db.handle(), QStringLiteral("select %1, %2 from %3 order by %1").arg(key, description, table));
        while (codes.step()) {
            const QVariant text = codes.rawValue(1);
            if (!text.isNull())
                m_ids.insert(keyOf(text.toString()), codes.int64Value(0));
        }
    }

    // The code's id, added when missing; Null for no code.
    QVariant idFor(const QVariant &description)
    {
        if (description.isNull())
            return QVariant();
        const QString spelled = description.toString();
        // The same few spellings come again and again: found as they are
        // written before anything is folded.
        if (const auto it = m_spellings.constFind(spelled); it != m_spellings.constEnd())
            return qlonglong(*it);
        const QString text = spelled.trimmed();
        const QString key = keyOf(text);
        qint64 id = 0;
        if (const auto it = m_ids.constFind(key); it != m_ids.constEnd()) {
            id = *it;
        } else {
            m_db.execute(m_insert, {text});
            id = sqlite3_last_insert_rowid(m_db.handle());
            m_ids.insert(key, id);
            ++m_added;
        }
        m_spellings.insert(spelled, id);
        return qlonglong(id);
    }
    int added() const { return m_added; }

private:
    static QString keyOf(const QString &text) { return text.trimmed().toCaseFolded(); }

    Database &m_db;
    QString m_insert;
    QHash<QString, qint64> m_ids;
    QHash<QString, qint64> m_spellings;
    int m_added = 0;
};

const QString InsertItem = QStringLiteral(
    "insert into items (Item, manufact, model, serno, purchdate, purchprice, estvalue, quantity, totvalue, "
    "receipt, wherepurch, misc1, Notes, catid, locid) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");

constexpr ItemField StoredFields[] = {
    ItemField::Item,       ItemField::Manufact, ItemField::Model,    ItemField::SerNo,    ItemField::PurchDate,
    ItemField::PurchPrice, ItemField::EstValue, ItemField::Quantity, ItemField::TotValue, ItemField::Receipt,
    ItemField::WherePurch, ItemField::Misc1,    ItemField::Notes,
};

DateValue dateOf(const QVariant &value)
{
    return value.isValid() ? value.value<DateValue>() : DateValue();
}

// The warranty and disposal of the row, beside the item: nothing is
// written (no table made) for a row without them.
void storeWarrantyDisposal(Database &db, qint64 key, const CheckedItem &row)
{
    WarrantyDisposal values;
    values.warrantyEnds = dateOf(row[ItemField::WarrantyEnds]);
    values.lifetime = row[ItemField::Lifetime].toBool();
    values.warrantyDetails = row[ItemField::WarrantyDetails].toString();
    values.disposed = dateOf(row[ItemField::Disposed]);
    values.how = disposalKindOf(row[ItemField::DisposedHow].toString()).value_or(DisposalKind::None);
    if (!values.isEmpty())
        ItemStatus(db).store(key, values);
}

} // namespace

ImportOutcome storeImportedItems(Database &db, const ImportPlan &plan, ImportChoice choice, const StoredItem &stored)
{
    ImportOutcome outcome;
    // Inside a transaction of the caller's (a new data folder being built)
    // the rows are part of it; otherwise they get one of their own.
    std::optional<Transaction> transaction;
    if (sqlite3_get_autocommit(db.handle()))
        transaction.emplace(db);
    CodeFinder categories(db, QStringLiteral("categories"), QStringLiteral("catid"), QStringLiteral("catDesc"));
    CodeFinder locations(db, QStringLiteral("locations"), QStringLiteral("locid"), QStringLiteral("locDesc"));
    Statement insert(db.handle(), InsertItem, SqlContext::Write);
    bool refused = false;
    outcome.summary = plan.checkRows([&](const CheckedItem &row, const std::vector<ImportProblem> &problems) {
        if (choice == ImportChoice::NoneIfAProblem && !problems.empty())
            refused = true;
        if (refused || !row.storable || (choice == ImportChoice::GoodRowsOnly && !row.good))
            return;
        int index = 1;
        for (const ItemField field : StoredFields)
            insert.bind(index++, row[field]);
        insert.bind(index++, categories.idFor(row[ItemField::Category]));
        insert.bind(index, locations.idFor(row[ItemField::Location]));
        insert.step(SqlContext::Write);
        insert.reset();
        const qint64 key = sqlite3_last_insert_rowid(db.handle());
        storeWarrantyDisposal(db, key, row);
        if (!outcome.firstKey)
            outcome.firstKey = key;
        ++outcome.items;
        if (stored)
            stored(row, key);
    });
    if (choice == ImportChoice::NoneIfAProblem && outcome.summary.problemCount > 0)
        throw ImportRefused(std::move(outcome.summary));
    if (transaction)
        transaction->commit();
    outcome.categoriesAdded = categories.added();
    outcome.locationsAdded = locations.added();
    return outcome;
}
