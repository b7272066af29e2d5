#pragma once

#include "data/Database.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

// A recordset over one statement: a current row that the program moves
// through, reads, and (for a dynaset) changes.
//
// Snapshot: a read-only copy of every row, taken at open.
// Dynaset: keeps only the keys (rowids) of its rows, in statement order, and
// reads the current row fresh from the table at each move; all columns must
// come from one table. Rows added through it are appended to its end; rows
// deleted through it leave it. It is updatable: addNew/edit, setValue, update.
//
// Values are QVariant: a Null column is a null QVariant. Columns declared
// CURRENCY give Money, DATE/DATETIME give DateValue, BOOLEAN gives bool,
// integer kinds give int (qlonglong beyond 32 bits), others as SQLite holds them.
// Column names are matched without regard to case.
//
// Position: there is a BOF position before the first row and
// an EOF position after the last. Moving past either end leaves the recordset
// there; a further move in the same direction, and reading a field there,
// throws 3021. An empty recordset is at BOF and EOF together, and moves on it
// do nothing. A move ends an edit or addition in progress without storing it.
class Recordset {
public:
    enum class EditMode { None, Edit, AddNew };

    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    RecordsetType type() const { return m_type; }
    bool isOpen() const;
    void close();

    int recordCount() const; // exact at all times
    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // Finds the first row, in recordset order, for which the SQL condition is
    // true; params are bound to its "?" placeholders. The condition names the
    // recordset's columns (aliases included). Without a match noMatch() is set
    // and the position stays. Like every move, it ends an edit in progress.
    void findFirst(const QString &condition, const QVariantList &params = {});
    bool noMatch() const { return m_noMatch; }

    // Begins a new row. The table's counter key is reserved at once, so
    // value(keyColumn) already gives the key the row will be stored under
    // (a cancelled addition uses up its number, as the engine did). The
    // reservation takes the write lock for a moment: while another program
    // holds it, addNew throws 3260 and nothing is begun.
    void addNew();
    void edit();
    // Stores the row begun by addNew or edit: only the columns set since are
    // written. An added row goes to the end of the recordset; the position
    // returns to the row that was current before addNew. When the write
    // fails (3260 while locked, 3167 when the edited row is gone) the row
    // stays begun with its values, so update() can simply be called again.
    void update();
    void cancelUpdate();
    // Deletes the current row; the position stays on the deleted row's place
    // (reading it throws 3167), and moveNext reaches the row that followed.
    void deleteCurrent();
    EditMode editMode() const { return m_editMode; }

    QVariant value(const QString &column) const;
    QVariant value(int index) const;
    void setValue(const QString &column, const QVariant &value);
    QStringList columnNames() const { return m_columns; }
    int columnIndex(const QString &column) const; // -1 when absent

    // Internal: constructed by Database::openRecordset.
    struct Impl;
    Recordset(Database &db, RecordsetType type, const QString &sql, const QVariantList &params);
    void detachFromDatabase(); // the database was closed

private:
    void requireOpen() const;
    void endEdit();
    // The current row's stored values; throws 3021 at BOF/EOF, 3167 when the
    // row is gone.
    const std::vector<QVariant> &currentValues() const;

    Database *m_db;
    RecordsetType m_type;
    QStringList m_columns;
    QHash<QString, int> m_columnByFoldedName;
    bool m_noMatch = false;
    EditMode m_editMode = EditMode::None;
    std::unique_ptr<Impl> m_impl;
};
