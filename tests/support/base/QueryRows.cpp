#include "QueryRows.h"

#include "data/Recordset.h"

std::vector<QVariantList> queryRows(Database &db, const QString &sql, const QVariantList &params)
{
    std::vector<QVariantList> rows;
    auto rs = db.openRecordset(sql, RecordsetType::Snapshot, params);
    const int columns = int(rs->columnNames().size());
    if (rs->recordCount() > 0) {
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            QVariantList row;
            for (int c = 0; c < columns; ++c)
                row << rs->value(c);
            rows.push_back(row);
        }
    }
    rs->close();
    return rows;
}

QVariantList queryColumn(Database &db, const QString &sql, const QVariantList &params)
{
    QVariantList values;
    for (const QVariantList &row : queryRows(db, sql, params))
        values << row.value(0);
    return values;
}
