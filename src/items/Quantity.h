#pragma once

#include <QStringView>
#include <QtGlobal>

// How a typed quantity reads. The record holds a 16-bit whole number, so the
// number is rounded to a whole one with halves going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), as the conversion to the stored integer
// does it. A number that rounds outside -32768..32767 cannot be stored and is
// never cut down to fit.
struct Quantity {
    enum class Reading { NotANumber, OutOfRange, Whole };
    Reading reading = Reading::NotANumber;
    qint16 value = 0; // meaningful only for Whole
};

// text: as typed, read by the locale's number rules; empty or blank text is
// not a number.
Quantity readQuantity(QStringView text);

// The half-to-even rounding on its own.
double roundHalfToEven(double value);

inline constexpr int MinQuantity = -32768;
inline constexpr int MaxQuantity = 32767;
