#include "viewer/MapOverlays.h"

#include "geo/Inverse.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstring>
#include <numbers>

namespace viewer {

namespace {

// Night a dark blue veil, the civil twilight half as dense: the map stays
// readable under both.
const QRgb NightColour = qPremultiply(qRgba(0, 0, 48, 120));
const QRgb TwilightColour = qPremultiply(qRgba(0, 0, 48, 60));
const QColor FieldLine(96, 32, 128, 210);
const QColor SquareLine(96, 32, 128, 80);
const QColor LabelColour(80, 20, 110, 200);

std::vector<QPolygonF> Polygons(const std::vector<geo::Polyline>& lines) {
    std::vector<QPolygonF> out;
    out.reserve(lines.size());
    for (const geo::Polyline& line : lines) {
        QPolygonF poly;
        poly.reserve(static_cast<qsizetype>(line.size()));
        // Pixel (x, y) stands for the point at its centre.
        for (const geo::MapPoint& p : line)
            poly.append(QPointF(p.x + 0.5, p.y + 0.5));
        out.push_back(std::move(poly));
    }
    return out;
}

} // namespace

MapOverlays::MapOverlays(int size) : size_(size) {}
MapOverlays::~MapOverlays() = default;

void MapOverlays::SetCentre(geo::Real lat, geo::Real lon) {
    if (haveCentre_ && lat == lat_ && lon == lon_) return;
    haveCentre_ = true;
    lat_ = lat;
    lon_ = lon;
    sphere_.reset();
    lines_.reset();
    fieldPolygons_.clear();
    squarePolygons_.clear();
    gridLayer_ = QImage();
    shadeTime_.reset();
    layerValid_ = false;
}

void MapOverlays::SetTime(geo::UnixSeconds utc) {
    if (time_ == utc) return;
    time_ = utc;
    layerValid_ = false;
}

void MapOverlays::SetGreyLine(bool on) {
    if (greyLine_ == on) return;
    greyLine_ = on;
    layerValid_ = false;
}

void MapOverlays::SetLocatorGrid(bool on) {
    if (grid_ == on) return;
    grid_ = on;
    layerValid_ = false;
}

std::optional<geo::SunPosition> MapOverlays::sun() const {
    if (!time_) return std::nullopt;
    return geo::SunAt(*time_);
}

void MapOverlays::Prepare() {
    if (!haveCentre_) return;
    if ((greyLine_ && !sphere_) || (grid_ && !lines_)) ++centreComputations_;
    if (greyLine_ && !sphere_)
        sphere_ = std::make_unique<geo::SphereGrid>(geo::PositionGrid(lat_, lon_, size_));
    if (grid_ && !lines_) {
        lines_ = std::make_unique<geo::LocatorGridLines>(geo::BuildLocatorGrid(lat_, lon_, size_));
        fieldPolygons_ = Polygons(lines_->fields);
        squarePolygons_ = Polygons(lines_->squares);
    }
    if (grid_ && gridLayer_.isNull()) {
        // Drawn once per centre; the minute update only lays it over the shading.
        gridLayer_ = QImage(size_, size_, QImage::Format_ARGB32_Premultiplied);
        gridLayer_.fill(Qt::transparent);
        QPainter p(&gridLayer_);
        DrawGrid(p);
    }
    if (greyLine_ && time_ && shadeTime_ != time_) {
        if (shade_.width() != size_)
            shade_ = QImage(size_, size_, QImage::Format_ARGB32_Premultiplied);
        sphere_->Shade(geo::SunAt(*time_), TwilightColour, NightColour,
                       reinterpret_cast<uint32_t*>(shade_.bits()));
        shadeTime_ = time_;
    }
}

const QImage& MapOverlays::Layer() {
    if (layerValid_) return layer_;
    Prepare();
    if (layer_.width() != size_) layer_ = QImage(size_, size_, QImage::Format_ARGB32_Premultiplied);
    const bool shading = haveCentre_ && greyLine_ && time_;
    // The shading is the layer's first coat: copied, not composed.
    if (shading)
        std::memcpy(layer_.bits(), shade_.constBits(), static_cast<size_t>(layer_.sizeInBytes()));
    else
        layer_.fill(Qt::transparent);
    if (haveCentre_) {
        QPainter p(&layer_);
        if (grid_) p.drawImage(0, 0, gridLayer_);
        if (greyLine_ && time_) DrawSun(p, geo::SunAt(*time_));
    }
    layerValid_ = true;
    return layer_;
}

void MapOverlays::Paint(QPainter& painter) {
    painter.drawImage(0, 0, Layer());
}

void MapOverlays::DrawGrid(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(SquareLine, 0.7));
    for (const QPolygonF& poly : squarePolygons_)
        p.drawPolyline(poly);
    p.setPen(QPen(FieldLine, 1.0));
    for (const QPolygonF& poly : fieldPolygons_)
        p.drawPolyline(poly);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(LabelColour);
    const QFontMetricsF fm(font);
    for (const geo::GridLabel& l : lines_->labels) {
        const QString text = QString::fromStdString(l.text);
        const QRectF box(l.at.x + 0.5 - fm.horizontalAdvance(text) / 2,
                         l.at.y + 0.5 - fm.height() / 2, fm.horizontalAdvance(text), fm.height());
        p.drawText(box, Qt::AlignCenter, text);
    }
    p.restore();
}

void MapOverlays::DrawSun(QPainter& p, const geo::SunPosition& sun) {
    const auto at =
        geo::ProjectToMap(static_cast<double>(lat_ == 90 ? 89.9L : lat_), static_cast<double>(lon_),
                          sun.subsolarLat, sun.subsolarLon, size_);
    if (!at) return;
    const QPointF c(at->p.x + 0.5, at->p.y + 0.5);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(200, 90, 0), 1.5));
    for (int k = 0; k < 8; ++k) {
        const double a = k * std::numbers::pi / 4;
        p.drawLine(c + QPointF(7 * std::cos(a), 7 * std::sin(a)),
                   c + QPointF(10 * std::cos(a), 10 * std::sin(a)));
    }
    p.setPen(QPen(QColor(200, 90, 0), 1.2));
    p.setBrush(QColor(255, 220, 0));
    p.drawEllipse(c, 5, 5);
    p.restore();
}

QImage MapWithOverlays(const QImage& map, geo::Real centreLat, geo::Real centreLon,
                       std::optional<geo::UnixSeconds> greyLineTime, bool locatorGrid) {
    QImage out = map.convertToFormat(QImage::Format_RGB32);
    MapOverlays overlays(map.width());
    overlays.SetCentre(centreLat, centreLon);
    overlays.SetGreyLine(greyLineTime.has_value());
    if (greyLineTime) overlays.SetTime(*greyLineTime);
    overlays.SetLocatorGrid(locatorGrid);
    QPainter p(&out);
    overlays.Paint(p);
    p.end();
    return out;
}

} // namespace viewer
