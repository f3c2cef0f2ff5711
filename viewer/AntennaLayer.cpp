#include "viewer/AntennaLayer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

constexpr double DegToRad = 3.14159265358979323846 / 180.0;

// The point at `r` pixels from the centre of `frame` towards `bearing`.
QPointF At(const geo::MapFrame& frame, double bearing, double r) {
    const double c = frame.radius();
    return {c + r * std::sin(bearing * DegToRad), c - r * std::cos(bearing * DegToRad)};
}

// A line drawn twice: a wide white halo, then the line itself, so it reads
// over any map colour.
void HaloLine(QPainter& p, const QPointF& a, const QPointF& b, double width, Qt::PenStyle style) {
    QPen halo(Qt::white, width + 2.5 * std::max(1.0, width / 2));
    halo.setCapStyle(Qt::RoundCap);
    p.setPen(halo);
    p.drawLine(a, b);
    QPen pen(Qt::black, width);
    pen.setStyle(style);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(a, b);
}

} // namespace

void AntennaLayer::SetOn(bool on) {
    if (on == on_) return;
    on_ = on;
    Changed();
}

void AntennaLayer::SetHeading(std::optional<double> heading) {
    if (heading == heading_) return;
    heading_ = heading;
    Changed();
}

void AntennaLayer::SetTarget(std::optional<int> target) {
    if (target == target_) return;
    target_ = target;
    Changed();
}

void AntennaLayer::SetBeamWidth(int degrees) {
    degrees = std::clamp(degrees, 1, 360);
    if (degrees == beam_) return;
    beam_ = degrees;
    Changed();
}

void AntennaLayer::Paint(QPainter& p, const geo::MapFrame& frame) {
    if (!active()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double rim = frame.radius();
    // Line widths grow with the picture, so an export looks like the screen.
    const double unit = std::max(1.0, frame.size() / 600.0);
    const QPointF centre(rim, rim);

    if (heading_) {
        // The beam: a light hatched wedge with a thin outline.
        const double h = *heading_;
        const double half = beam_ / 2.0;
        QPainterPath wedge;
        if (beam_ >= 360) {
            wedge.addEllipse(centre, rim, rim);
        } else {
            wedge.moveTo(centre);
            const QRectF box(0, 0, 2 * rim, 2 * rim);
            // Qt's angles: counter-clockwise from 3 o'clock.
            wedge.arcTo(box, 90.0 - (h - half), -static_cast<double>(beam_));
            wedge.closeSubpath();
        }
        p.setPen(QPen(QColor(0, 0, 0, 160), unit, Qt::SolidLine));
        p.setBrush(QBrush(QColor(0, 0, 0, 60), Qt::BDiagPattern));
        p.drawPath(wedge);
        p.setBrush(Qt::NoBrush);

        // The needle: a thick solid line with an arrowhead near the rim.
        const QPointF tip = At(frame, h, rim * 0.92);
        HaloLine(p, centre, tip, 3 * unit, Qt::SolidLine);
        QPolygonF head;
        head << At(frame, h, rim * 0.97) << At(frame, h - 3, rim * 0.86)
             << At(frame, h + 3, rim * 0.86);
        p.setPen(QPen(Qt::white, 1.5 * unit));
        p.setBrush(Qt::black);
        p.drawPolygon(head);
        p.setBrush(Qt::NoBrush);
    }
    if (target_) {
        // The target: dashed, to the rim, ending in an open ring.
        const QPointF end = At(frame, *target_, rim * 0.95);
        HaloLine(p, centre, end, 2 * unit, Qt::DashLine);
        const double ring = 6 * unit;
        p.setPen(QPen(Qt::white, 4 * unit));
        p.drawEllipse(end, ring, ring);
        p.setPen(QPen(Qt::black, 2 * unit));
        p.drawEllipse(end, ring, ring);
    }
    // The hub of the needle.
    p.setPen(QPen(Qt::white, unit));
    p.setBrush(Qt::black);
    p.drawEllipse(centre, 3 * unit, 3 * unit);
    p.restore();
}

} // namespace viewer
