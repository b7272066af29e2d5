#pragma once

#include <QImage>

// The simple drawings that stand in for the photographs of the demo items.
enum class DemoPicture {
    None,
    Television,
    Ring,
    Guitar,
    Laptop,
    Bicycle,
    Refrigerator,
    Sofa,
    Camera,
    Watch,
    Drill,
    Painting
};

inline constexpr int DemoPictureWidth = 320;
inline constexpr int DemoPictureHeight = 240;

// The drawing for one kind, DemoPictureWidth x DemoPictureHeight, opaque.
// Shapes only (no text), so no fonts or GUI application are needed.
// None gives a null image.
QImage drawDemoPicture(DemoPicture picture);
