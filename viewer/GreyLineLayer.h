// The grey line as a map layer: night and civil twilight shaded over the
// map, the sub-solar point marked by a sun. The shading is a raster computed
// for the frame it is painted for, at that frame's own size (a large frame
// band by band, so a 4800-pixel export never holds the whole sphere at once);
// the sun is drawn as vectors.
#pragma once

#include "geo/GreyLine.h"
#include "geo/Sun.h"
#include "viewer/MapLayer.h"

#include <QImage>

#include <memory>
#include <optional>

namespace viewer {

class GreyLineLayer : public MapLayer {
  public:
    GreyLineLayer();
    ~GreyLineLayer() override;

    void SetOn(bool on);
    // The moment of the shading.
    void SetTime(geo::UnixSeconds utc);
    bool on() const { return on_; }
    std::optional<geo::UnixSeconds> time() const { return time_; }
    // The sun at the set moment (nothing before a moment is set).
    std::optional<geo::SunPosition> sun() const;

    // Drawn while on and given a moment.
    bool active() const override { return on_ && time_.has_value(); }
    void Paint(QPainter& painter, const geo::MapFrame& frame) override;

    // How often the positions of a frame were computed for the frame kept
    // between paints (the screen's: frames up to KeptUpTo pixels).
    int computations() const { return computations_; }
    static constexpr int KeptUpTo = 1200;

  private:
    struct Kept;
    void PaintKept(QPainter& painter, const geo::MapFrame& frame, const geo::SunPosition& sun);
    void PaintBands(QPainter& painter, const geo::MapFrame& frame, const geo::SunPosition& sun);

    bool on_ = false;
    std::optional<geo::UnixSeconds> time_;
    std::unique_ptr<Kept> kept_;
    int computations_ = 0;
};

// Night a dark blue veil, the civil twilight half as dense (premultiplied).
QRgb GreyLineNight();
QRgb GreyLineTwilight();
// Draws the sun symbol at frame point (x, y) (the pixel convention of
// geo::MapFrame), its size following the frame's.
void PaintSun(QPainter& painter, const geo::MapFrame& frame, double x, double y);

} // namespace viewer
