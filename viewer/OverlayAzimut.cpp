#include "viewer/OverlayAzimut.h"

#include "viewer/ViewerHub.h"

#include <QPaintEvent>
#include <QPainter>

TOverlayAzimut::TOverlayAzimut(viewer::ViewerHub& hub, viewer::MapOverlays& overlays,
                               QWidget* parent)
    : QWidget(parent), hub_(hub), overlays_(overlays) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    connect(&hub_, &viewer::ViewerHub::layersChanged, this, [this] { Refresh(); });
    connect(&hub_, &viewer::ViewerHub::frameChanged, this, [this] { Refresh(); });
}

void TOverlayAzimut::Refresh() {
    setVisible(hub_.layers().anyActive());
    if (isVisible()) update();
}

void TOverlayAzimut::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    hub_.layers().Paint(p, hub_.frame());
}
