#include "viewer/GreyLineLayer.h"

#include "geo/Inverse.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace viewer {

namespace {

bool SameFrame(const geo::MapFrame& a, const geo::MapFrame& b) {
    return a.centreLat() == b.centreLat() && a.centreLon() == b.centreLon() &&
           a.size() == b.size() && a.rimAngle() == b.rimAngle();
}

// Pixels of one band of a large frame: about 6 million (one band up to the
// poster's 2400 pixels, four at 4800).
constexpr long BandPixels = 6'000'000;

} // namespace

QRgb GreyLineNight() {
    return qPremultiply(qRgba(0, 0, 48, 120));
}

QRgb GreyLineTwilight() {
    return qPremultiply(qRgba(0, 0, 48, 60));
}

struct GreyLineLayer::Kept {
    geo::MapFrame frame;
    geo::SphereGrid sphere;
    QImage shade;
    std::optional<geo::UnixSeconds> shadeTime;
};

GreyLineLayer::GreyLineLayer() = default;
GreyLineLayer::~GreyLineLayer() = default;

void GreyLineLayer::SetOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    Changed();
}

void GreyLineLayer::SetTime(geo::UnixSeconds utc) {
    if (time_ == utc) return;
    time_ = utc;
    Changed();
}

std::optional<geo::SunPosition> GreyLineLayer::sun() const {
    if (!time_) return std::nullopt;
    return geo::SunAt(*time_);
}

void GreyLineLayer::Paint(QPainter& painter, const geo::MapFrame& frame) {
    if (!active()) return;
    const geo::SunPosition sun = geo::SunAt(*time_);
    if (frame.size() <= KeptUpTo)
        PaintKept(painter, frame, sun);
    else
        PaintBands(painter, frame, sun);
    if (const auto at = frame.Project(sun.subsolarLat, sun.subsolarLon))
        PaintSun(painter, frame, at->p.x, at->p.y);
}

void GreyLineLayer::PaintKept(QPainter& painter, const geo::MapFrame& frame,
                              const geo::SunPosition& sun) {
    if (!kept_ || !SameFrame(kept_->frame, frame)) {
        kept_ = std::make_unique<Kept>();
        kept_->frame = frame;
        kept_->sphere = geo::SphereGrid(geo::PositionGrid(frame));
        kept_->shade = QImage(frame.size(), frame.size(), QImage::Format_ARGB32_Premultiplied);
        ++computations_;
    }
    if (kept_->shadeTime != time_) {
        kept_->sphere.Shade(sun, GreyLineTwilight(), GreyLineNight(),
                            reinterpret_cast<uint32_t*>(kept_->shade.bits()));
        kept_->shadeTime = time_;
    }
    painter.drawImage(QPointF(0, 0), kept_->shade);
}

void GreyLineLayer::PaintBands(QPainter& painter, const geo::MapFrame& frame,
                               const geo::SunPosition& sun) {
    const int size = frame.size();
    const int rows = static_cast<int>(std::max(1L, BandPixels / size));
    for (int first = 0; first < size; first += rows) {
        const geo::SphereGrid sphere(geo::PositionGrid(frame, first, rows));
        QImage band(size, sphere.rows(), QImage::Format_ARGB32_Premultiplied);
        sphere.Shade(sun, GreyLineTwilight(), GreyLineNight(),
                     reinterpret_cast<uint32_t*>(band.bits()));
        painter.drawImage(QPointF(0, first), band);
    }
}

void PaintSun(QPainter& p, const geo::MapFrame& frame, double x, double y) {
    // The 600-pixel map's symbol, growing more slowly than the map.
    const double k = std::max(1.0, std::sqrt(frame.size() / 600.0));
    const QPointF c(x + 0.5, y + 0.5);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(200, 90, 0), 1.5 * k));
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4;
        p.drawLine(c + QPointF(7 * k * std::cos(a), 7 * k * std::sin(a)),
                   c + QPointF(10 * k * std::cos(a), 10 * k * std::sin(a)));
    }
    p.setPen(QPen(QColor(200, 90, 0), 1.2 * k));
    p.setBrush(QColor(255, 220, 0));
    p.drawEllipse(c, 5 * k, 5 * k);
    p.restore();
}

} // namespace viewer
