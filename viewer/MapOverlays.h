// The live overlays of a map, drawn over it (never into it): the grey line
// (night and civil twilight shaded, the sub-solar point marked by a sun) and
// the locator grid. QtGui only, so the viewer's overlay widget, the headless
// renderer and the exports draw the same picture.
#pragma once

#include "geo/GreyLine.h"
#include "geo/LocatorGrid.h"
#include "geo/Sun.h"

#include <QImage>
#include <QPolygonF>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace viewer {

class MapOverlays {
  public:
    explicit MapOverlays(int size = 600);
    ~MapOverlays();

    // The centre of the map under the overlays. The positions under the
    // pixels and the grid lines are computed again only when it changes.
    void SetCentre(geo::Real lat, geo::Real lon);
    // The moment of the grey line.
    void SetTime(geo::UnixSeconds utc);
    void SetGreyLine(bool on);
    void SetLocatorGrid(bool on);

    bool greyLine() const { return greyLine_; }
    bool locatorGrid() const { return grid_; }
    bool any() const { return greyLine_ || grid_; }
    std::optional<geo::UnixSeconds> time() const { return time_; }
    // The sun at the set moment (nothing before a moment is set).
    std::optional<geo::SunPosition> sun() const;

    // The overlays chosen, as a transparent picture of the map's size
    // (premultiplied ARGB), made again only after a change.
    const QImage& Layer();
    // Draws the layer at the painter's origin.
    void Paint(QPainter& painter);

    // How often the per-centre work ran (the tests check it runs once per centre).
    int centreComputations() const { return centreComputations_; }

  private:
    void Prepare();
    void DrawGrid(QPainter& p);
    void DrawSun(QPainter& p, const geo::SunPosition& sun);

    int size_;
    bool haveCentre_ = false;
    geo::Real lat_ = 0, lon_ = 0;
    bool greyLine_ = false, grid_ = false;
    std::optional<geo::UnixSeconds> time_;
    // Per centre.
    std::unique_ptr<geo::SphereGrid> sphere_;
    std::unique_ptr<geo::LocatorGridLines> lines_;
    std::vector<QPolygonF> fieldPolygons_, squarePolygons_;
    QImage gridLayer_;
    int centreComputations_ = 0;
    // The shading of the last moment and the finished layer.
    QImage shade_;
    std::optional<geo::UnixSeconds> shadeTime_;
    QImage layer_;
    bool layerValid_ = false;
};

// A copy of `map` with the overlays drawn over it (the renderer and the exports).
QImage MapWithOverlays(const QImage& map, geo::Real centreLat, geo::Real centreLon,
                       std::optional<geo::UnixSeconds> greyLineTime, bool locatorGrid);

} // namespace viewer
