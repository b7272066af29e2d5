#pragma once

#include "data/Database.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>
#include <memory>
#include <ostream>

// A fresh inventory database made from the delivered schema, alone in its
// own temporary folder, removed afterwards.
class TestDatabase {
public:
    TestDatabase();
    const QString &path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    std::unique_ptr<Database> open(OpenMode mode = OpenMode::Shared) const { return Database::open(m_path, mode); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The text of share/stowbook.sql.
QString inventorySchemaText();

// Adds an item with the description and returns its key.
qint64 addItem(Database &db, const QString &description);

// The number of the DbError the step throws; 0 when it throws none.
int errorNumberOf(const std::function<void()> &step);

inline void PrintTo(const QVariant &value, std::ostream *os)
{
    *os << (value.isValid() ? value.typeName() : "invalid") << ' ' << value.toString().toStdString();
}
