#pragma once

#include "setup/ItemRow.h"

#include <QString>
#include <QVariantList>

class Database;

// Writes item rows in batches of several rows per statement, so that large
// inventories go in quickly. Keys are given by the writer, continuing after
// the highest key stored when it was made, so the caller learns each row's
// key at once (the demo names its picture files after them).
//
// Rows are only certain to be written after flush(); run the writer inside
// a transaction. Every database failure throws DbError.
class ItemWriter {
public:
    explicit ItemWriter(Database &db);
    ItemWriter(const ItemWriter &) = delete;
    ItemWriter &operator=(const ItemWriter &) = delete;

    // Queues the row and returns the key it is stored under.
    qint64 add(const ItemRow &row);
    void flush();

    static constexpr int RowsPerStatement = 50; // 16 values each stays below 999 parameters

private:
    static QString insertStatement(int rows);

    Database &m_db;
    qint64 m_nextKey = 1;
    int m_pendingRows = 0;
    QVariantList m_pending;
    QString m_fullBatch;
};
