#include "viewer/Readout.h"

#include <cmath>

namespace viewer {

namespace {

geo::Real Deg(geo::Real a) {
    return a * 180.0L / geo::Pi;
}

QString Digits(long long v) {
    return QString::number(v);
}

const QString DegreeSign = QStringLiteral("\u00B0");

} // namespace

PixelPolar BearingAndPixelDistance(int X, int Y) {
    const int c = geo::MapRadius;
    PixelPolar p;
    const long long dx = X - c;
    const long long dy = Y - c;
    if (Y == c) {
        if (X < c) {
            p.bearing = 270;
            p.r = c - X;
        } else {
            p.bearing = 90;
            p.r = X - c;
        }
        return p;
    }
    p.r = std::sqrt(static_cast<geo::Real>(dx * dx + dy * dy));
    const geo::Real fx = X;
    const geo::Real fy = Y;
    if (Y < c && X < c)
        p.bearing = 360 - Deg(std::atan((c - fx) / (c - fy)));
    else if (Y < c)
        p.bearing = Deg(std::atan((fx - c) / (c - fy)));
    else if (X > c)
        p.bearing = 180 - Deg(std::atan((fx - c) / (fy - c)));
    else
        p.bearing = 180 + Deg(std::atan((c - fx) / (fy - c)));
    return p;
}

QString UnitWord(geo::Real unitFactor) {
    return unitFactor == 1.0L ? QStringLiteral(" km") : QStringLiteral(" miles");
}

QString ReadoutText(const QString& azimuthLabel, const QString& bearing, const QString& rangeLabel,
                    const QString& distance) {
    return azimuthLabel + bearing + QStringLiteral(" / ") + rangeLabel + distance;
}

Readout ReadoutAt(int X, int Y, geo::Real unitFactor, const QString& azimuthLabel,
                  const QString& rangeLabel) {
    Readout out;
    const PixelPolar p = BearingAndPixelDistance(X, Y);
    if (p.r > geo::MapRadius) {
        out.direct = ReadoutText(azimuthLabel, QString(), rangeLabel, QString());
        out.longPath = out.direct;
        return out;
    }
    out.inside = true;
    const geo::Real k = p.r * 20000.0L / 300.0L;
    const QString unit = UnitWord(unitFactor);
    out.pointedBearing = Digits(geo::Round(p.bearing));
    const QString directBearing = out.pointedBearing + DegreeSign;
    const QString directDistance = Digits(geo::Round(k / unitFactor)) + unit;
    const QString longBearing = Digits(geo::Round(p.bearing + 180) % 360) + DegreeSign;
    const QString longDistance = Digits(geo::Round(40000.0L / unitFactor - k / unitFactor)) + unit;
    out.direct = ReadoutText(azimuthLabel, directBearing, rangeLabel, directDistance);
    out.longPath = ReadoutText(azimuthLabel, longBearing, rangeLabel, longDistance);
    return out;
}

} // namespace viewer
