#include "data/Recordset.h"

#include "data/RecordsetImpl.h"

#include <QStringList>
#include <sqlite3.h>

static DbError noCurrentRecord()
{
    return DbError(DbError::NoCurrentRecord, QStringLiteral("No current record."));
}

static DbError recordDeleted()
{
    return DbError(DbError::RecordDeleted, QStringLiteral("Record is deleted."));
}

static DbError readOnly()
{
    return DbError(DbError::ReadOnly, QStringLiteral("Cannot update.  Database or object is read-only."));
}

Recordset::Recordset(Database &db, RecordsetType type, const QString &sql, const QVariantList &params)
    : m_db(&db)
    , m_type(type)
    , m_impl(std::make_unique<Impl>())
{
    requireHandle(db.handle());
    if (type == RecordsetType::Dynaset)
        m_impl->openDynaset(db.handle(), sql, params);
    else
        m_impl->openSnapshot(db.handle(), sql, params);
    for (int i = 0; i < int(m_impl->columns.size()); ++i) {
        const QString &name = m_impl->columns[std::size_t(i)].name;
        m_columns << name;
        // With a name twice, the first column answers to it.
        const QString folded = name.toCaseFolded();
        if (!m_columnByFoldedName.contains(folded))
            m_columnByFoldedName.insert(folded, i);
    }
    if (m_impl->rowCount() > 0)
        m_impl->setPosition(0);
    db.attach(this);
}

Recordset::~Recordset()
{
    close();
}

bool Recordset::isOpen() const
{
    return m_impl->open;
}

void Recordset::close()
{
    if (!m_impl->open)
        return;
    if (m_db)
        m_db->detach(this);
    detachFromDatabase();
}

void Recordset::detachFromDatabase()
{
    Impl &d = *m_impl;
    d.rowReader = Statement();
    d.open = false;
    d.rows.clear();
    d.keys.clear();
    d.row.clear();
    d.buffer.clear();
    d.changed.clear();
    m_editMode = EditMode::None;
    m_db = nullptr;
}

void Recordset::requireOpen() const
{
    if (!m_impl->open)
        throw DbError::objectClosed();
}

void Recordset::endEdit()
{
    m_editMode = EditMode::None;
    m_impl->buffer.clear();
    m_impl->changed.clear();
}

int Recordset::recordCount() const
{
    requireOpen();
    return int(m_impl->rowCount());
}

bool Recordset::bof() const
{
    requireOpen();
    const Impl &d = *m_impl;
    return d.rowCount() == 0 || (!d.onDeletedRow && d.position < 0);
}

bool Recordset::eof() const
{
    requireOpen();
    const Impl &d = *m_impl;
    return d.rowCount() == 0 || (!d.onDeletedRow && d.position >= d.rowCount());
}

// Every move ends an edit or addition in progress without storing it.
void Recordset::moveFirst()
{
    requireOpen();
    endEdit();
    m_impl->setPosition(m_impl->rowCount() == 0 ? -1 : 0);
}

void Recordset::moveLast()
{
    requireOpen();
    endEdit();
    m_impl->setPosition(m_impl->rowCount() - 1);
}

void Recordset::moveNext()
{
    requireOpen();
    endEdit();
    Impl &d = *m_impl;
    if (d.rowCount() == 0)
        return;
    if (d.onDeletedRow)
        d.setPosition(d.position); // the row that followed the deleted one
    else if (d.position >= d.rowCount())
        throw noCurrentRecord();
    else
        d.setPosition(d.position + 1);
}

void Recordset::movePrevious()
{
    requireOpen();
    endEdit();
    Impl &d = *m_impl;
    if (d.rowCount() == 0)
        return;
    if (d.onDeletedRow)
        d.setPosition(d.position - 1);
    else if (d.position < 0)
        throw noCurrentRecord();
    else
        d.setPosition(d.position - 1);
}

void Recordset::findFirst(const QString &condition, const QVariantList &params)
{
    requireOpen();
    endEdit();
    Impl &d = *m_impl;
    const qsizetype count = d.rowCount();
    m_noMatch = true;
    if (count == 0)
        return;
    if (d.dynaset) {
        const QSet<qint64> matching = d.keysWhere(m_db->handle(), condition, params);
        for (qsizetype i = 0; i < count; ++i) {
            if (matching.contains(d.keys[std::size_t(i)])) {
                d.setPosition(i);
                m_noMatch = false;
                return;
            }
        }
        return;
    }
    Statement test = d.prepareRowTest(m_db->handle(), condition);
    for (qsizetype i = 0; i < count; ++i) {
        const std::vector<QVariant> &row = d.rows[std::size_t(i)];
        QVariantList values(row.begin(), row.end());
        values += params;
        test.bindAll(values);
        const bool holds = test.step();
        test.reset();
        if (holds) {
            d.setPosition(i);
            m_noMatch = false;
            return;
        }
    }
}

void Recordset::addNew()
{
    requireOpen();
    Impl &d = *m_impl;
    if (!d.dynaset)
        throw readOnly();
    const qint64 key = d.reserveKey(*m_db);
    endEdit();
    d.buffer.assign(d.columns.size(), QVariant());
    d.changed.assign(d.columns.size(), false);
    for (std::size_t i = 0; i < d.columns.size(); ++i) {
        if (d.columns[i].isKey)
            d.buffer[i] = integerVariant(key);
    }
    d.newKey = key;
    d.positionBeforeAdd = d.position;
    d.onDeletedRowBeforeAdd = d.onDeletedRow;
    m_editMode = EditMode::AddNew;
}

void Recordset::edit()
{
    requireOpen();
    Impl &d = *m_impl;
    if (!d.dynaset)
        throw readOnly();
    endEdit();
    d.rowLoaded = false; // begin from the row as stored now
    d.buffer = currentValues();
    d.changed.assign(d.columns.size(), false);
    m_editMode = EditMode::Edit;
}

void Recordset::update()
{
    requireOpen();
    if (m_editMode == EditMode::None)
        throw DbError(DbError::NoEditInProgress, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    Impl &d = *m_impl;
    const QString table = quoteIdentifier(d.table);

    // Each table column once, with the value set last.
    QStringList names;
    QVariantList values;
    QHash<QString, int> slot;
    for (std::size_t i = 0; i < d.columns.size(); ++i) {
        const RecordsetColumn &column = d.columns[i];
        if (!d.changed[i] || column.origin.isEmpty() || column.isKey)
            continue;
        const QString folded = column.origin.toCaseFolded();
        if (const auto it = slot.constFind(folded); it != slot.constEnd()) {
            values[*it] = d.buffer[i];
            continue;
        }
        slot.insert(folded, int(names.size()));
        names << quoteIdentifier(column.origin);
        values << d.buffer[i];
    }

    if (m_editMode == EditMode::AddNew) {
        names.prepend(d.keyColumn.isEmpty() ? QStringLiteral("rowid") : quoteIdentifier(d.keyColumn));
        values.prepend(qlonglong(d.newKey));
        QStringList placeholders;
        for (int i = 1; i <= names.size(); ++i)
            placeholders << QStringLiteral("?%1").arg(i);
        m_db->execute(QStringLiteral("insert into %1 (%2) values (%3)")
                          .arg(table, names.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", "))),
                      values);
        const qsizetype countBefore = d.rowCount();
        d.keys.push_back(d.newKey);
        // Back where it was; an end position stays at the end.
        const bool wasAtEnd = !d.onDeletedRowBeforeAdd && d.positionBeforeAdd >= countBefore && countBefore > 0;
        d.setPosition(wasAtEnd ? d.rowCount() : d.positionBeforeAdd);
        d.onDeletedRow = d.onDeletedRowBeforeAdd;
    } else if (!names.isEmpty()) {
        QStringList assignments;
        for (int i = 0; i < names.size(); ++i)
            assignments << names[i] + QStringLiteral(" = ?%1").arg(i + 1);
        values << qlonglong(d.keys[std::size_t(d.position)]);
        m_db->execute(QStringLiteral("update %1 set %2 where rowid = ?%3")
                          .arg(table, assignments.join(QStringLiteral(", ")))
                          .arg(values.size()),
                      values);
        if (sqlite3_changes(m_db->handle()) == 0)
            throw recordDeleted(); // removed by another program meanwhile
        d.rowLoaded = false;
    }
    endEdit();
}

void Recordset::cancelUpdate()
{
    requireOpen();
    endEdit();
}

void Recordset::deleteCurrent()
{
    requireOpen();
    Impl &d = *m_impl;
    if (!d.dynaset)
        throw readOnly();
    endEdit();
    if (d.onDeletedRow)
        throw recordDeleted();
    if (d.position < 0 || d.position >= d.rowCount())
        throw noCurrentRecord();
    m_db->execute(QStringLiteral("delete from %1 where rowid = ?1").arg(quoteIdentifier(d.table)),
                  {qlonglong(d.keys[std::size_t(d.position)])});
    // A row already removed by another program is gone all the same.
    d.keys.erase(d.keys.begin() + d.position);
    d.onDeletedRow = true;
    d.rowLoaded = false;
}

const std::vector<QVariant> &Recordset::currentValues() const
{
    Impl &d = *m_impl;
    if (d.onDeletedRow)
        throw recordDeleted();
    if (d.position < 0 || d.position >= d.rowCount())
        throw noCurrentRecord();
    if (!d.dynaset)
        return d.rows[std::size_t(d.position)];
    if (!d.rowLoaded) {
        d.rowMissing = !d.readRow(d.keys[std::size_t(d.position)], d.row);
        d.rowLoaded = true;
    }
    if (d.rowMissing)
        throw recordDeleted();
    return d.row;
}

QVariant Recordset::value(int index) const
{
    requireOpen();
    if (index < 0 || index >= int(m_impl->columns.size()))
        throw DbError(DbError::NotInCollection, QStringLiteral("Item not found in this collection."));
    if (m_editMode != EditMode::None)
        return m_impl->buffer[std::size_t(index)];
    return currentValues()[std::size_t(index)];
}

QVariant Recordset::value(const QString &column) const
{
    requireOpen();
    return value(columnIndex(column));
}

int Recordset::columnIndex(const QString &column) const
{
    return m_columnByFoldedName.value(column.toCaseFolded(), -1);
}

void Recordset::setValue(const QString &column, const QVariant &value)
{
    requireOpen();
    const int index = columnIndex(column);
    if (index < 0)
        throw DbError(DbError::NotInCollection, QStringLiteral("Item not found in this collection."));
    if (m_editMode == EditMode::None)
        throw DbError(DbError::NoEditInProgress, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    Impl &d = *m_impl;
    const RecordsetColumn &target = d.columns[std::size_t(index)];
    if (target.isKey || target.origin.isEmpty())
        throw DbError(DbError::FieldNotUpdatable, QStringLiteral("Field cannot be updated."));
    const std::optional<QVariant> converted = convertForColumn(value, target.kind);
    if (!converted)
        throw DbError(DbError::DataTypeMismatch, QStringLiteral("Data type mismatch."));
    d.buffer[std::size_t(index)] = *converted;
    d.changed[std::size_t(index)] = true;
}
