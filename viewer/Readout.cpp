#include "viewer/Readout.h"

#include <cmath>

namespace viewer {

namespace {

QString Digits(long long v) {
    return QString::number(v);
}

const QString DegreeSign = QStringLiteral("\u00B0");

} // namespace

PixelPolar BearingAndPixelDistance(int X, int Y) {
    return geo::MapFrame().PolarOfPixel(X, Y);
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
    return ReadoutAt(geo::MapFrame(), X, Y, unitFactor, azimuthLabel, rangeLabel);
}

Readout ReadoutAt(const geo::MapFrame& frame, int X, int Y, geo::Real unitFactor,
                  const QString& azimuthLabel, const QString& rangeLabel) {
    Readout out;
    const PixelPolar p = frame.PolarOfPixel(X, Y);
    if (p.r > static_cast<geo::Real>(frame.size()) / 2) {
        out.direct = ReadoutText(azimuthLabel, QString(), rangeLabel, QString());
        out.longPath = out.direct;
        return out;
    }
    out.inside = true;
    const geo::Real k = frame.KmOfPixels(p.r);
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
