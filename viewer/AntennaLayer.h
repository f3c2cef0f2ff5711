// The antenna over the map: a needle from the centre at the heading the
// rotator reports, the beam as a wedge of the chosen beam width around it,
// and the target under way as a dashed line ending in an open ring. The three
// differ by shape and line style, not by colour alone (black on white halos).
#pragma once

#include "viewer/MapLayer.h"

#include <optional>

namespace viewer {

class AntennaLayer : public MapLayer {
  public:
    bool active() const override { return on_ && (heading_ || target_); }
    void Paint(QPainter& painter, const geo::MapFrame& frame) override;

    void SetOn(bool on);
    void SetHeading(std::optional<double> heading);
    void SetTarget(std::optional<int> target);
    void SetBeamWidth(int degrees);

    std::optional<double> heading() const { return heading_; }
    std::optional<int> target() const { return target_; }
    int beamWidth() const { return beam_; }

  private:
    bool on_ = false;
    std::optional<double> heading_;
    std::optional<int> target_;
    int beam_ = 60;
};

} // namespace viewer
