// The overlay widget of the viewer: lies over ImageAzimut (below the DX
// markers and the clock fields), lets every mouse event through to the map
// and draws the live overlays. The map picture itself is never touched, so a
// saved map stays as it is.
#pragma once

#include "viewer/MapLayer.h"
#include "viewer/MapOverlays.h"

#include <QWidget>

class TOverlayAzimut : public QWidget {
    Q_OBJECT
  public:
    explicit TOverlayAzimut(QWidget* parent = nullptr);

    viewer::MapOverlays& overlays() { return overlays_; }
    // The components' layers, painted over the overlays for `frame`.
    void SetLayers(const viewer::MapLayerList* layers, const geo::MapFrame* frame) {
        layers_ = layers;
        frame_ = frame;
    }
    // Shows the widget while an overlay is chosen and repaints it.
    void Refresh();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    viewer::MapOverlays overlays_;
    const viewer::MapLayerList* layers_ = nullptr;
    const geo::MapFrame* frame_ = nullptr;
};
