// The bearing and distance readout of a point of the azimuthal map, from the
// picture's pixel geometry alone (centre (300, 300), rim 20000 km away).
#pragma once

#include "geo/MapFrame.h"
#include "geo/Position.h"

#include <QString>

namespace viewer {

// Bearing (degrees clockwise from north, in [0, 360); the centre pixel reads
// 90) and distance in pixels of the map pixel (X, Y) from the centre of the
// whole-world 600-pixel map.
using PixelPolar = geo::PixelPolar;
PixelPolar BearingAndPixelDistance(int X, int Y);

// " km" when the factor is exactly 1, else " miles".
QString UnitWord(geo::Real unitFactor);

// The two readout texts of the point (X, Y) and the pointed bearing (digits
// of the rounded direct bearing, empty outside the disc).
struct Readout {
    bool inside = false;
    QString direct;
    QString longPath;
    QString pointedBearing;
};
Readout ReadoutAt(int X, int Y, geo::Real unitFactor, const QString& azimuthLabel,
                  const QString& rangeLabel);
// The same on the map of any frame (bearing and distance from its centre).
Readout ReadoutAt(const geo::MapFrame& frame, int X, int Y, geo::Real unitFactor,
                  const QString& azimuthLabel, const QString& rangeLabel);

// AzimuthLabel + bearing + " / " + RangeLabel + distance: the form of both readouts.
QString ReadoutText(const QString& azimuthLabel, const QString& bearing, const QString& rangeLabel,
                    const QString& distance);

} // namespace viewer
