// The viewer's live overlays (grey line, locator grid) and the position
// under the cursor: the wiring of the overlay widget, the readout, the two
// Options items and the grey line's minute timer.
#include "viewer/UnitAzimut.h"

#include "app/Program.h"
#include "geo/Inverse.h"
#include "viewer/OverlayAzimut.h"
#include "viewer/OverlayTexts.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// Once a minute: the terminator moves a quarter of a degree in that time.
constexpr int GreyLineInterval = 60 * 1000;

// Empties the position readout when the mouse leaves the map picture (the
// edge of the picture is mostly outside the disc; this covers the rest).
class LeaveWatcher : public QObject {
  public:
    LeaveWatcher(QObject* parent, QLabel* readout) : QObject(parent), readout_(readout) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Leave) readout_->clear();
        return QObject::eventFilter(watched, event);
    }

  private:
    QLabel* readout_;
};

} // namespace

void TFormAzimut::BuildOverlays() {
    // Above the map and below everything else that lies over it (the clock
    // fields, the DX markers).
    OverlayAzimut = new TOverlayAzimut(ClientArea);
    OverlayAzimut->setObjectName(QStringLiteral("OverlayAzimut"));
    OverlayAzimut->setGeometry(ImageAzimut->geometry());
    OverlayAzimut->stackUnder(StaticTextDate);
    OverlayAzimut->hide();
    OverlayAzimut->SetLayers(&Hub->layers(), &Hub->frame());
    connect(Hub, &viewer::ViewerHub::layersChanged, OverlayAzimut, &TOverlayAzimut::Refresh);
    // Exports and printouts carry the overlays and layers that are on, as on screen.
    ExportOverlay = [this](QPainter& painter, const QRectF& mapRect) {
        viewer::MapOverlays& layer = OverlayAzimut->overlays();
        if (layer.any()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.drawImage(mapRect, layer.Layer());
            painter.restore();
        }
        if (!Hub->layers().anyActive()) return;
        // The layers at the export's own resolution: one frame pixel per
        // map-picture pixel of the export.
        const int size = std::max(1, static_cast<int>(std::lround(mapRect.width())));
        painter.save();
        painter.translate(mapRect.topLeft());
        painter.scale(mapRect.width() / size, mapRect.height() / size);
        Hub->layers().Paint(painter, Hub->frame().Resized(size));
        painter.restore();
    };

    // The position readout takes the strip below the readouts.
    ClientArea->setFixedSize(ClientArea->width(), std::max(ClientArea->height(), 652));
    StaticTextPosition = new QLabel(ClientArea);
    StaticTextPosition->setObjectName(QStringLiteral("StaticTextPosition"));
    StaticTextPosition->setGeometry(8, 632, 569, 19);
    StaticTextPosition->setFrameStyle(StaticTextAzim->frameStyle());
    StaticTextPosition->setPalette(StaticTextAzim->palette());
    StaticTextPosition->setAutoFillBackground(true);
    ImageAzimut->installEventFilter(new LeaveWatcher(ImageAzimut, StaticTextPosition));

    // Options: after the original items, a separator (once, whoever adds
    // items there first), then the check items.
    bool separated = false;
    const QList<QAction*> actions = MenuOptions->actions();
    const qsizetype last = actions.indexOf(MenuSeparator->menuAction());
    for (qsizetype i = last + 1; i < actions.size(); ++i)
        if (actions[i]->isSeparator()) separated = true;
    if (!separated) MenuOptions->addSeparator();
    auto check = [this](const char* name, const QString& caption, bool on) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(on);
        MenuOptions->addAction(a);
        return a;
    };
    const ExtraSettings& extra = program_.app.extra;
    MenuGreyLine = check("MenuGreyLine", QStringLiteral("Grey line"), extra.GreyLine);
    MenuLocatorGrid = check("MenuLocatorGrid", QStringLiteral("Locator grid"), extra.LocatorGrid);
    connect(MenuGreyLine, &QAction::triggered, this, [this] { MenuGreyLineClick(); });
    connect(MenuLocatorGrid, &QAction::triggered, this, [this] { MenuLocatorGridClick(); });

    TimerGreyLine = new QTimer(this);
    TimerGreyLine->setObjectName(QStringLiteral("TimerGreyLine"));
    TimerGreyLine->setInterval(GreyLineInterval);
    connect(TimerGreyLine, &QTimer::timeout, this, [this] { TimerGreyLineTimer(); });
}

void TFormAzimut::OverlaysShow() {
    // The settings may have been read after the items were made.
    const ExtraSettings& extra = program_.app.extra;
    MenuGreyLine->setChecked(extra.GreyLine);
    MenuLocatorGrid->setChecked(extra.LocatorGrid);
    UpdateGreyLine();
    TimerGreyLine->start();
}

void TFormAzimut::OverlaysLanguage() {
    if (const viewer::OverlayTexts* t = viewer::OverlayTextsFor(program_.app.LanguageCode)) {
        MenuGreyLine->setText(t->MenuGreyLine);
        MenuLocatorGrid->setText(t->MenuLocatorGrid);
    }
}

void TFormAzimut::UpdateGreyLine() {
    if (!OverlayAzimut) return;
    const geo::PositionState& pos = program_.app.pos;
    viewer::MapOverlays& o = OverlayAzimut->overlays();
    o.SetCentre(pos.CentreLat, pos.CentreLon);
    o.SetGreyLine(MenuGreyLine->isChecked());
    o.SetLocatorGrid(MenuLocatorGrid->isChecked());
    if (o.greyLine()) o.SetTime(program_.platform.utcNow().toSecsSinceEpoch());
    OverlayAzimut->Refresh();
}

void TFormAzimut::TimerGreyLineTimer() {
    if (!isVisible()) {
        TimerGreyLine->stop();
        return;
    }
    UpdateGreyLine();
}

void TFormAzimut::MenuGreyLineClick() {
    program_.app.extra.GreyLine = MenuGreyLine->isChecked();
    UpdateGreyLine();
}

void TFormAzimut::MenuLocatorGridClick() {
    program_.app.extra.LocatorGrid = MenuLocatorGrid->isChecked();
    UpdateGreyLine();
}

void TFormAzimut::OverlayMouseMove(int X, int Y) {
    const geo::PositionState& pos = program_.app.pos;
    const auto p = geo::MapPixelToLatLon(pos.CentreLat, pos.CentreLon, X, Y);
    if (!p) {
        StaticTextPosition->clear();
        return;
    }
    StaticTextPosition->setText(
        QStringLiteral(" ") + QString::fromStdString(geo::FormatPosition(p->lat, p->lon)) +
        QStringLiteral("   ") + QString::fromStdString(geo::EncodeLocator(p->lat, p->lon)));
}
