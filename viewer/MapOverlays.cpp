#include "viewer/MapOverlays.h"

#include <QPainter>
#include <QPainterPath>

namespace viewer {

MapOverlays::MapOverlays(int size) : frame_(0, 0, size) {
    layers_.Add(&greyLine_);
    layers_.Add(&grid_);
}

MapOverlays::~MapOverlays() = default;

void MapOverlays::SetCentre(geo::Real lat, geo::Real lon) {
    frame_ = geo::MapFrame(lat, lon, frame_.size(), frame_.rimAngle());
}

void MapOverlays::SetTime(geo::UnixSeconds utc) {
    greyLine_.SetTime(utc);
}

void MapOverlays::SetGreyLine(bool on) {
    greyLine_.SetOn(on);
}

void MapOverlays::SetLocatorGrid(bool on) {
    grid_.SetOn(on);
}

const QImage& MapOverlays::Layer() {
    if (layer_.width() != frame_.size())
        layer_ = QImage(frame_.size(), frame_.size(), QImage::Format_ARGB32_Premultiplied);
    layer_.fill(Qt::transparent);
    QPainter p(&layer_);
    layers_.Paint(p, frame_);
    return layer_;
}

void MapOverlays::Paint(QPainter& painter) {
    layers_.Paint(painter, frame_);
}

void PaintLayers(QPainter& painter, const MapLayerList& layers, const geo::MapFrame& frame,
                 const QRectF& mapRect) {
    if (!layers.anyActive()) return;
    painter.save();
    painter.translate(mapRect.topLeft());
    painter.scale(mapRect.width() / frame.size(), mapRect.height() / frame.size());
    // The disc with its rim pixels (pixel (x, y) covers (x, y) .. (x + 1, y + 1)).
    const double r = frame.radius();
    QPainterPath disc;
    disc.addEllipse(QPointF(r + 0.5, r + 0.5), r + 0.5, r + 0.5);
    painter.setClipPath(disc, Qt::IntersectClip);
    layers.Paint(painter, frame);
    painter.restore();
}

QImage MapWithLayers(const QImage& map, const MapLayerList& layers, const geo::MapFrame& frame) {
    QImage out = map.convertToFormat(QImage::Format_RGB32);
    if (!layers.anyActive()) return out;
    QPainter p(&out);
    PaintLayers(p, layers, frame, QRectF(0, 0, map.width(), map.height()));
    p.end();
    return out;
}

QImage MapWithOverlays(const QImage& map, geo::Real centreLat, geo::Real centreLon,
                       std::optional<geo::UnixSeconds> greyLineTime, bool locatorGrid) {
    MapOverlays overlays(map.width());
    overlays.SetCentre(centreLat, centreLon);
    overlays.SetGreyLine(greyLineTime.has_value());
    if (greyLineTime) overlays.SetTime(*greyLineTime);
    overlays.SetLocatorGrid(locatorGrid);
    return MapWithLayers(map, overlays.layers(), overlays.frame());
}

} // namespace viewer
