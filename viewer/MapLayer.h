// Everything drawn over a map is a layer: the grey line, the locator grid,
// the antenna's heading, the live stations, the scale bar. A layer paints
// itself for a frame (geo::MapFrame) at that frame's own resolution, so the
// same list of layers draws the viewer's 600-pixel map, a 4800-pixel export,
// a vector poster and a printout.
//
// Painting convention: the painter's coordinates are the frame's pixels
// (0 .. frame.size() across, the centre at frame.radius()), whatever the
// device: the exports and posters set the transform so that one frame pixel
// covers the map's picture pixel, and clip to the map's disc. Lines and text
// are drawn as vectors (sharp at any size, vector in a PDF); a layer that
// needs a raster computes it for the frame it is given.
#pragma once

#include "geo/MapFrame.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QPainter;

namespace viewer {

class MapLayer {
  public:
    virtual ~MapLayer() = default;
    // Whether the layer draws anything now (a layer switched off does not).
    virtual bool active() const = 0;
    // Draws the layer for `frame` (see above for the painter's coordinates).
    virtual void Paint(QPainter& painter, const geo::MapFrame& frame) = 0;

    // Called by the layer whenever what it would draw has changed; the
    // screen's overlay widget listens to repaint.
    void SetChangedCallback(std::function<void()> changed) { changed_ = std::move(changed); }

  protected:
    void Changed() {
        if (changed_) changed_();
    }

  private:
    std::function<void()> changed_;
};

// The ordered layers of a map: painted first to last, so the last lies on top.
class MapLayerList {
  public:
    void Add(MapLayer* layer) { layers_.push_back(layer); }
    const std::vector<MapLayer*>& layers() const { return layers_; }
    bool anyActive() const {
        for (MapLayer* l : layers_)
            if (l->active()) return true;
        return false;
    }
    void Paint(QPainter& painter, const geo::MapFrame& frame) const {
        for (MapLayer* l : layers_)
            if (l->active()) l->Paint(painter, frame);
    }

  private:
    std::vector<MapLayer*> layers_; // not owned
};

} // namespace viewer
