// The viewer's wiring of the live stations component: the hub it is given,
// the widget that draws the hub's layers over the map, the exports'
// overlay, the map centre as the hub's frame, and a chosen spot shown as the
// DX list's row is (readouts, marker, publication, the rotator when on).
#include "viewer/UnitAzimut.h"

#include "app/Program.h"
#include "viewer/LiveStations.h"
#include "viewer/OverlayAzimut.h"
#include "viewer/ViewerHub.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace {

// Draws the hub's layers for its frame; lets every mouse event through.
class LayerWidget : public QWidget {
  public:
    LayerWidget(QWidget* parent, viewer::ViewerHub& hub) : QWidget(parent), hub_(hub) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.setClipRegion(event->region());
        hub_.layers().Paint(p, hub_.frame());
    }

  private:
    viewer::ViewerHub& hub_;
};

} // namespace

void TFormAzimut::BuildLiveStations() {
    if (!Hub) Hub = new viewer::ViewerHub(program_.platform, program_.app, this);
    auto syncFrame = [this] {
        const geo::PositionState& pos = program_.app.pos;
        const geo::MapFrame& f = Hub->frame();
        if (f.centreLat() != pos.CentreLat || f.centreLon() != pos.CentreLon)
            Hub->SetFrame(geo::MapFrame(pos.CentreLat, pos.CentreLon, f.size(), f.rimAngle()));
    };
    syncFrame();
    auto* layers = new LayerWidget(ClientArea, *Hub);
    layers->setObjectName(QStringLiteral("LayerOverlay"));
    layers->setGeometry(ImageAzimut->geometry());
    layers->stackUnder(StaticTextDate);
    LayerOverlay = layers;
    LiveStations = new viewer::LiveStations(*Hub, MenuOptions, this);
    connect(Hub, &viewer::ViewerHub::layersChanged, layers, [layers] { layers->update(); });
    connect(Hub, &viewer::ViewerHub::designationRequested, this,
            [this](const azlink::Designation& d) {
                if (!d.lat || !d.lon) return;
                ShowDxPoint(*d.lat, *d.lon);
                Hub->Designate(d);
            });
    auto* timer = new QTimer(this);
    timer->setInterval(1000);
    connect(timer, &QTimer::timeout, this, syncFrame);
    timer->start();
    // Exports, posters and printouts carry the layers that are on.
    const poster::OverlayFn before = ExportOverlay;
    ExportOverlay = [this, before](QPainter& painter, const QRectF& mapRect) {
        if (before) before(painter, mapRect);
        if (!Hub->layers().anyActive()) return;
        const geo::MapFrame& f = Hub->frame();
        painter.save();
        painter.translate(mapRect.topLeft());
        painter.scale(mapRect.width() / f.size(), mapRect.height() / f.size());
        Hub->layers().Paint(painter, f);
        painter.restore();
    };
}
