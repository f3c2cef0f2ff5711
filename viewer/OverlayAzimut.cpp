#include "viewer/OverlayAzimut.h"

#include <QPaintEvent>
#include <QPainter>

TOverlayAzimut::TOverlayAzimut(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

void TOverlayAzimut::Refresh() {
    setVisible(overlays_.any() || (layers_ && layers_->anyActive()));
    if (isVisible()) update();
}

void TOverlayAzimut::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    if (overlays_.any()) overlays_.Paint(p);
    if (layers_ && frame_) layers_->Paint(p, *frame_);
}
