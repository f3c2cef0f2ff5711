// The live stations over the map: a marker per spot, coloured by band and
// shaped by source (a disc for the cluster, a square for FT8, a triangle
// for WSPR), fading with age; call labels that never overlap (the chosen
// spot's first, then the newest); with a beam set, the spots inside the
// antenna's beam drawn highlighted and the others dimmed. Painted for any
// frame (screen, export, poster) at the frame's own resolution.
#pragma once

#include "live/SpotStore.h"
#include "viewer/MapLayer.h"

#include <QColor>
#include <QImage>
#include <QPointF>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace viewer {

class SpotLayer : public MapLayer {
  public:
    // The store must outlive the layer (or be set to null first).
    void SetStore(const live::SpotStore* store) { store_ = store; }
    void SetOn(bool on);
    bool on() const { return on_; }
    // The clock the ages are measured with (ms since the epoch) and the age
    // at which a spot has faded the most.
    void SetNow(std::int64_t nowMs) { nowMs_ = nowMs; }
    void SetMaxAgeMs(std::int64_t ms) { maxAgeMs_ = ms > 0 ? ms : 1; }
    // The chosen spot (live::SpotKey), empty for none.
    void SetChosen(const std::string& key);
    const std::string& chosen() const { return chosen_; }
    // The antenna's heading (degrees; none: no beam) and beam width
    // (degrees, whole width), set from outside (the antenna console).
    void SetBeam(std::optional<double> heading, double width);
    // Labels on or off (markers stay).
    void SetLabels(bool on) { labels_ = on; }
    // Asks for a repaint (the store changed).
    void Refresh() { Changed(); }

    bool active() const override { return on_ && store_ && !store_->empty(); }
    void Paint(QPainter& painter, const geo::MapFrame& frame) override;

    // Rules the painting follows, exposed for the tests.
    static QColor BandColour(const std::string& band);
    // Opacity 0..1 for a spot's age: 1 when new, down to 0.25 at the maximum age.
    static double Fade(std::int64_t ageMs, std::int64_t maxAgeMs);
    // Whether a bearing lies inside the beam (heading +- width / 2).
    static bool InBeam(double bearing, double heading, double width);
    // How many labels the last Paint drew.
    int labelsDrawn() const { return labelsDrawn_; }

  private:
    const live::SpotStore* store_ = nullptr;
    bool on_ = true;
    bool labels_ = true;
    std::int64_t nowMs_ = 0;
    std::int64_t maxAgeMs_ = 30 * 60000;
    std::string chosen_;
    std::optional<double> heading_;
    double width_ = 60;
    int labelsDrawn_ = 0;
    // Markers drawn once per look (band, source, highlight, fade step) and
    // size, then copied: 2,000 spots paint in a few milliseconds.
    const QImage& Sprite(const live::Spot& s, bool highlight, int fadeStep, double scale);
    std::unordered_map<std::uint64_t, QImage> sprites_;
    double spriteScale_ = 0;
    // Label widths by call for the current font size (bounded).
    std::unordered_map<std::string, double> widths_;
    int widthsPixelSize_ = 0;
    void DrawMarkerVector(QPainter& painter, const live::Spot& s, QPointF c, bool highlight,
                          double alpha, double scale) const;
};

} // namespace viewer
