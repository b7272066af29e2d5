#pragma once

#include "data/DbError.h"
#include "data/Inventory.h"

#include <QString>
#include <vector>

class Database;
class Household;

// Kinds of catalogue fields (column datatype). Any other code takes no
// criterion and has no display rule.
enum class FieldType : int { Text = 1, Number = 2, Date = 3, YesNo = 4, Time = 5 };

// One row of the report field catalogue (table rptspec of rptspec.db).
struct CatalogueField {
    int specid = 0;
    QString usewith;
    QString fieldname;     // column expression for select list, conditions and sort
    int datatype = 0;      // a FieldType code, or anything else the file holds
    QString desc;          // caption: designer lists and column heading
    double defwidth = 1.0; // inches; a Null in the catalogue reads as 1
    bool isCurrency = false;
    QString fileName;  // table holding the field: the subject, or a lookup table
    QString linkField; // "col", or "maincol;lookupcol"; empty for the subject's own columns

    bool is(FieldType type) const { return datatype == int(type); }
    bool isLookup() const;
    // The join columns: the main table's, then the lookup table's.
    QString mainLinkColumn() const;
    QString lookupLinkColumn() const;
};

// The catalogue rows of one subject, in specid order. The rows of a subject
// are numbered 1..count() without gaps; field(specid) is the row with that
// number. Owns copies of the rows: it stays valid after the database closes.
class ReportCatalogue {
public:
    ReportCatalogue() = default;
    // Reads the rows whose usewith equals subject, ignoring case. Throws DbError.
    static ReportCatalogue load(Database &rptSpec, const QString &subject);

    const QString &subject() const { return m_subject; }
    int count() const { return int(m_fields.size()); }
    bool isEmpty() const { return m_fields.empty(); }
    // True when specid names a row of this subject at its place.
    bool contains(int specid) const;
    // The row numbered specid; the caller checks contains() first.
    const CatalogueField &field(int specid) const { return m_fields[std::size_t(specid - 1)]; }
    const std::vector<CatalogueField> &fields() const { return m_fields; }

private:
    QString m_subject;
    std::vector<CatalogueField> m_fields;
};

// Reports a failure of household's catalogue database. It goes to the
// household's error handler like every database failure, except that a
// damaged catalogue is only reported: the handler's repair is for the
// inventory, which is fine.
void reportCatalogueFailure(Household &household, const DbError &error);
