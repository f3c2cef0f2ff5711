// The live overlays of a map, drawn over it (never into it): the grey line
// and the locator grid, two map layers (viewer/GreyLineLayer.h,
// viewer/LocatorGridLayer.h) with the settings they share. QtGui only, so
// the viewer's overlay widget, the headless renderer and the exports draw
// the same layers, each at its own frame.
#pragma once

#include "geo/Sun.h"
#include "viewer/GreyLineLayer.h"
#include "viewer/LocatorGridLayer.h"
#include "viewer/MapLayer.h"

#include <QImage>
#include <QRectF>

#include <optional>

class QPainter;

namespace viewer {

class MapOverlays {
  public:
    // The overlays of the whole-world map of `size` pixels (the centre set below).
    explicit MapOverlays(int size = 600);
    ~MapOverlays();
    MapOverlays(const MapOverlays&) = delete;
    MapOverlays& operator=(const MapOverlays&) = delete;

    // The centre of the map under the overlays (the frame of Layer() and Paint()).
    void SetCentre(geo::Real lat, geo::Real lon);
    // The moment of the grey line.
    void SetTime(geo::UnixSeconds utc);
    void SetGreyLine(bool on);
    void SetLocatorGrid(bool on);

    bool greyLine() const { return greyLine_.on(); }
    bool locatorGrid() const { return grid_.on(); }
    bool any() const { return greyLine() || locatorGrid(); }
    std::optional<geo::UnixSeconds> time() const { return greyLine_.time(); }
    // The sun at the set moment (nothing before a moment is set).
    std::optional<geo::SunPosition> sun() const { return greyLine_.sun(); }

    // The two layers, bottom to top: the grey line, the grid.
    GreyLineLayer& greyLineLayer() { return greyLine_; }
    LocatorGridLayer& gridLayer() { return grid_; }
    const MapLayerList& layers() const { return layers_; }
    const geo::MapFrame& frame() const { return frame_; }

    // The overlays chosen for the frame, as a transparent picture of its
    // size (premultiplied ARGB).
    const QImage& Layer();
    // Draws the layers for the frame at the painter's origin.
    void Paint(QPainter& painter);

    // How often the per-centre work ran (the tests check it runs once per centre).
    int centreComputations() const { return greyLine_.computations() + grid_.computations(); }

  private:
    geo::MapFrame frame_;
    GreyLineLayer greyLine_;
    LocatorGridLayer grid_;
    MapLayerList layers_;
    QImage layer_;
};

// Paints `layers` for `frame` with one frame pixel covering mapRect.width() /
// frame.size() of the painter's units from mapRect's corner, clipped to the
// map's disc: the same layers as on screen, at the export's own resolution.
void PaintLayers(QPainter& painter, const MapLayerList& layers, const geo::MapFrame& frame,
                 const QRectF& mapRect);

// A copy of `map` (a picture of the whole frame) with the layers drawn over it.
QImage MapWithLayers(const QImage& map, const MapLayerList& layers, const geo::MapFrame& frame);

// A copy of `map` with the overlays drawn over it, at the map's own size
// (the renderer and the exports).
QImage MapWithOverlays(const QImage& map, geo::Real centreLat, geo::Real centreLon,
                       std::optional<geo::UnixSeconds> greyLineTime, bool locatorGrid);

} // namespace viewer
