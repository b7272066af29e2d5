#pragma once

#include "data/DateValue.h"

#include <QList>
#include <QString>

// One value per catalogue field, indexed by specid from 1 to size().
template <class T>
class PerField {
public:
    PerField() = default;
    explicit PerField(int count, const T &fill = T()) : m_values(count, fill) {}

    int size() const { return int(m_values.size()); }
    void resize(int count, const T &fill = T()) { m_values.resize(count, fill); }
    bool contains(int specid) const { return specid >= 1 && specid <= size(); }
    // The caller keeps specid within 1..size().
    T &operator[](int specid) { return m_values[specid - 1]; }
    const T &operator[](int specid) const { return m_values[specid - 1]; }
    // The value, or the default for a specid outside the arrays.
    T value(int specid) const { return contains(specid) ? m_values[specid - 1] : T(); }

    friend bool operator==(const PerField &, const PerField &) = default;

private:
    QList<T> m_values;
};

// Destination codes of a report (ReportTo).
enum ReportDestination : qint16 { ReportToScreen = 1, ReportToTextFile = 2, ReportToHtmlFile = 3 };
// Where the page number goes (PageNumbers).
enum PageNumberPlace : qint16 { PageNumberInHeader = 0, PageNumberAtBottom = 1, NoPageNumbers = 2 };
// Unit of FieldWidth (WidthUnit).
enum WidthUnitCode : qint16 { WidthInInches = 0, WidthInCentimetres = 1 };

// A sort line that names no field.
inline constexpr qint16 NoSort = -1;

// One complete report design, as a report file holds it. The per-field
// arrays are indexed by the catalogue's specid; a criterion that is empty
// (texts) or 0 (dates) selects nothing out.
struct ReportSpec {
    QString UseWith; // subject: catalogue usewith and main table
    QString Title;
    qint16 ReportTo = ReportToScreen;
    qint16 Orientation = 0; // 0 portrait, 1 landscape
    bool ShowDate = false;  // the date in the page header
    qint16 PageNumbers = PageNumberInHeader;
    qint16 WidthUnit = WidthInInches;
    qint16 Sort1 = NoSort; // specid of the sort field as the engine reads it
    qint16 Sort2 = NoSort;
    QList<qint16> FieldIds; // the chosen fields' specids, in column order

    PerField<bool> SelTrue;
    PerField<bool> SelFalse;
    PerField<QString> SelStartsWith;
    PerField<DateValue> SelStart;
    PerField<DateValue> SelEnd;
    PerField<QString> SelLess;
    PerField<QString> SelGreater;
    PerField<float> FieldWidth; // in the unit of WidthUnit
    PerField<bool> FieldHide;
    PerField<bool> FieldTotal;
    PerField<bool> FieldIsCurrency;

    qint16 FieldCount() const { return qint16(FieldIds.size()); }
    // Sizes every per-field array to count fields, filling new places with
    // the defaults (false, empty, 0).
    void resizeFields(int count);
    // The size of the per-field arrays.
    int fieldSlots() const { return SelTrue.size(); }

    friend bool operator==(const ReportSpec &, const ReportSpec &) = default;
};
