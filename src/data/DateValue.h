#pragma once

#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringView>
#include <QTime>
#include <compare>
#include <optional>

// The program's date value: days counted from 30 December 1899, the fraction
// being the time of day. 0 is "no value" in report criteria. Before the base
// day the whole part counts days backwards and the fraction is still the time
// of day (-1.25 is 29 December 1899, 06:00), as the stored report files expect.
// In the database a date travels as ISO-8601 text, "YYYY-MM-DD" or
// "YYYY-MM-DD HH:MM:SS" when it has a time.
class DateValue {
public:
    constexpr DateValue() = default;
    constexpr explicit DateValue(double serial) : m_serial(serial) {}
    static DateValue fromDate(const QDate &date);
    static DateValue fromDateTime(const QDate &date, const QTime &time);
    static DateValue fromTime(const QTime &time); // a time alone: day 0

    constexpr double serial() const { return m_serial; }
    QDate date() const;   // invalid only for serials beyond QDate's range
    QTime time() const;   // to the second, rounded
    bool hasTime() const; // fraction holds at least one second
    bool isZero() const { return m_serial == 0.0; }

    QString toIsoText() const;
    // Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS]" and "YYYY-MM-DDTHH:MM[:SS]";
    // anything else (including impossible days) gives std::nullopt.
    static std::optional<DateValue> fromIsoText(QStringView text);

    friend constexpr bool operator==(DateValue, DateValue) = default;
    friend constexpr auto operator<=>(DateValue, DateValue) = default;

private:
    double m_serial = 0.0;
};

Q_DECLARE_METATYPE(DateValue)
