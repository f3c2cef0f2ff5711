// The overlay widget of the viewer: lies over ImageAzimut (below the DX
// markers and the clock fields), lets every mouse event through to the map
// and paints the hub's layers at the hub's frame. The map picture itself is
// never touched, so a saved map stays as it is.
#pragma once

#include "viewer/MapOverlays.h"

#include <QWidget>

namespace viewer {
class ViewerHub;
}

class TOverlayAzimut : public QWidget {
    Q_OBJECT
  public:
    // `overlays`: the grey line and the grid with their settings (among the
    // hub's layers).
    TOverlayAzimut(viewer::ViewerHub& hub, viewer::MapOverlays& overlays,
                   QWidget* parent = nullptr);

    viewer::MapOverlays& overlays() { return overlays_; }
    // Shows the widget while a layer draws anything and repaints it.
    void Refresh();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    viewer::ViewerHub& hub_;
    viewer::MapOverlays& overlays_;
};
