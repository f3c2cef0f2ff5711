// The scale bar of the regional maps: a round length in kilometres or miles
// (geo::NiceScaleLength) drawn in the map's lower left corner, outside the
// disc, on screen and in exports alike. Nothing on the whole-world map.
#pragma once

#include "viewer/MapLayer.h"

#include <QString>

namespace viewer {

class ScaleBarLayer : public MapLayer {
  public:
    bool active() const override { return on_; }
    // On while a regional map is shown (the viewer's range component).
    void SetOn(bool on);
    void Paint(QPainter& painter, const geo::MapFrame& frame) override;

    // Kilometres per unit: 1 (km) or 1.609344 (miles).
    void SetUnit(double unitKm);
    double unitKm() const { return unitKm_; }
    // The bar's text for a frame, e.g. "200 km"; empty on the whole world.
    QString Label(const geo::MapFrame& frame) const;
    // The bar's length in frame pixels (0 on the whole world).
    double BarPixels(const geo::MapFrame& frame) const;

  private:
    double unitKm_ = 1.0;
    bool on_ = false;
};

} // namespace viewer
