// The Maidenhead locator grid as a map layer: field boundaries with the
// field names, the square boundaries near the centre and, on regional maps,
// square names and sub-squares, computed for the
// frame it is painted for and drawn as vectors (polylines and text), so the
// lines stay 1 to 2 pixels wide and the names sharp at every size, and a
// poster carries them as vectors.
#pragma once

#include "geo/LocatorGrid.h"
#include "viewer/MapLayer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

namespace viewer {

class LocatorGridLayer : public MapLayer {
  public:
    LocatorGridLayer();
    ~LocatorGridLayer() override;

    void SetOn(bool on);
    bool on() const { return on_; }
    bool active() const override { return on_; }
    void Paint(QPainter& painter, const geo::MapFrame& frame) override;

    // How often the lines were computed for the frame kept between paints
    // (the screen's: frames up to KeptUpTo pixels; larger ones are computed
    // for each paint).
    int computations() const { return computations_; }
    static constexpr int KeptUpTo = 1200;

    // Widths of the field and square lines and the names' pixel size on a
    // frame of `size` pixels: 1 pixel and 10-pixel names at 600, the lines
    // at most 1.5 pixels, the names growing with the square root of the size.
    static double FieldLineWidth(int size);
    static double SquareLineWidth(int size);
    static int LabelPixelSize(int size);

    // The names drawn on a frame, each in its box: fields, then squares, then
    // sub-squares, none touching another and none cut by the rim.
    struct PlacedName {
        QString text;
        QRectF box;
        int level = 0;
    };
    static std::vector<PlacedName> NamesFor(const geo::MapFrame& frame);

  private:
    struct Lines;
    static QFont LabelFont(int size);
    static std::vector<PlacedName> PlaceNames(const std::vector<geo::GridLabel>& labels,
                                              const geo::MapFrame& frame, const QFontMetricsF& fm);
    static std::unique_ptr<Lines> Compute(const geo::MapFrame& frame);
    static void Draw(QPainter& painter, const geo::MapFrame& frame, const Lines& lines);

    bool on_ = false;
    std::unique_ptr<Lines> kept_;
    int computations_ = 0;
};

} // namespace viewer
