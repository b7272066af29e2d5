#include "items/Quantity.h"

#include "dates/LocaleConversions.h"

#include <cmath>

double roundHalfToEven(double value)
{
    const double below = std::floor(value);
    const double rest = value - below;
    if (rest < 0.5)
        return below;
    if (rest > 0.5)
        return below + 1;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

Quantity readQuantity(QStringView text)
{
    const std::optional<double> number = toNumber(text);
    if (!number || !std::isfinite(*number))
        return {};
    const double whole = roundHalfToEven(*number);
    if (whole < MinQuantity || whole > MaxQuantity)
        return {Quantity::Reading::OutOfRange, 0};
    return {Quantity::Reading::Whole, qint16(whole)};
}
