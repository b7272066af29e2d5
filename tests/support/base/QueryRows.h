#pragma once

#include "data/Database.h"

#include <QString>
#include <QVariantList>
#include <vector>

// Every row of a statement, read through a snapshot recordset, so values
// arrive in the program's own types (Money, DateValue, bool, int).
std::vector<QVariantList> queryRows(Database &db, const QString &sql, const QVariantList &params = {});
// The first column of every row.
QVariantList queryColumn(Database &db, const QString &sql, const QVariantList &params = {});
