#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one error type of the program's numbered failures: every database step
// and every file dialog opened under the error trap reports through it.
// The numbers the program tests are named below; any other failure keeps
// SQLite's own result code as its number and SQLite's own text.
class DbError : public std::exception {
public:
    static constexpr int InUse = 3045;             // file held exclusively by another program
    static constexpr int NotDatabase = 3049;       // file damaged / not a database
    static constexpr int RecordLocked = 3260;      // lock met while writing
    static constexpr int RecordLockedEdit = 3168;  // treated exactly like RecordLocked
    static constexpr int NoCurrentRecord = 3021;   // move past BOF/EOF, field access without a record
    static constexpr int RecordDeleted = 3167;     // row removed by another program
    static constexpr int NotInCollection = 3265;   // unknown column name
    static constexpr int NoEditInProgress = 3020;  // setValue/Update without AddNew or Edit
    static constexpr int ObjectClosed = 3420;      // recordset or database already closed
    static constexpr int ReadOnly = 3027;          // AddNew/Edit/Delete on a snapshot
    static constexpr int FieldNotUpdatable = 3164; // the key, or an expression column, set
    static constexpr int DataTypeMismatch = 3421;  // a value that cannot stand in the column
    static constexpr int DialogCancelled = 32755;  // a file dialog was cancelled under the trap
    static constexpr int PathFileAccess = 75;      // a file or folder could not be made, read or written
    static constexpr int Overflow = 6;             // a sum or product left the range of its type

    DbError(int number, QString text);

    // 3420 with its usual text: a recordset or database used after closing.
    static DbError objectClosed();
    // 75, "Path/File access error: " followed by what could not be done.
    static DbError pathFileAccess(const QString &what);
    // 6, "Overflow": an amount summed or multiplied past the money range.
    static DbError overflow();

    int number() const noexcept { return m_number; }
    const QString &text() const noexcept { return m_text; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_text;
    QByteArray m_what;
};
