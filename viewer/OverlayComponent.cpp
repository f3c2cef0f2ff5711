#include "viewer/OverlayComponent.h"

#include "app/AppState.h"
#include "app/Platform.h"
#include "geo/Inverse.h"
#include "viewer/OverlayAzimut.h"
#include "viewer/OverlayTexts.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace viewer {

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

OverlayComponent::OverlayComponent(ViewerHub& hub, const Attach& at, QObject* parent)
    : QObject(parent), hub_(hub), map_(at.map) {
    setObjectName(QStringLiteral("OverlayComponent"));
    // Bottom to top: the grey line, the grid.
    hub_.AddLayer(&overlays_.greyLineLayer());
    hub_.AddLayer(&overlays_.gridLayer());

    // Above the map and below everything else that lies over it (the clock
    // fields, the DX markers).
    widget_ = new TOverlayAzimut(hub_, overlays_, at.area);
    widget_->setObjectName(QStringLiteral("OverlayAzimut"));
    widget_->setGeometry(at.map->geometry());
    widget_->stackUnder(at.stackUnder);
    widget_->hide();

    // The position readout takes the strip below the readouts.
    at.area->setFixedSize(at.area->width(), std::max(at.area->height(), 652));
    position_ = new QLabel(at.area);
    position_->setObjectName(QStringLiteral("StaticTextPosition"));
    position_->setGeometry(8, 632, 569, 19);
    position_->setFrameStyle(at.readoutLike->frameStyle());
    position_->setPalette(at.readoutLike->palette());
    position_->setAutoFillBackground(true);
    at.map->installEventFilter(new LeaveWatcher(at.map, position_));

    // Options: after the classic items, a separator (once, whoever adds
    // items there first), then the check items.
    bool separated = false;
    const QList<QAction*> actions = at.options->actions();
    const qsizetype last = actions.indexOf(at.lastClassicItem);
    for (qsizetype i = last + 1; i < actions.size(); ++i)
        if (actions[i]->isSeparator()) separated = true;
    if (!separated) at.options->addSeparator();
    auto check = [&](const char* name, const QString& caption, bool on) {
        auto* a = new QAction(caption, parent);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(on);
        at.options->addAction(a);
        return a;
    };
    const ExtraSettings& extra = hub_.app().extra;
    menuGreyLine_ = check("MenuGreyLine", QStringLiteral("Grey line"), extra.GreyLine);
    menuLocatorGrid_ = check("MenuLocatorGrid", QStringLiteral("Locator grid"), extra.LocatorGrid);
    connect(menuGreyLine_, &QAction::toggled, this, [this] { MenuGreyLineClick(); });
    connect(menuLocatorGrid_, &QAction::toggled, this, [this] { MenuLocatorGridClick(); });

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("TimerGreyLine"));
    timer_->setInterval(GreyLineInterval);
    connect(timer_, &QTimer::timeout, this, [this] { TimerTick(); });
    connect(&hub_, &ViewerHub::languageChanged, this, [this] { ApplyLanguage(); });
}

void OverlayComponent::Show() {
    // The settings may have been read after the items were made.
    const ExtraSettings& extra = hub_.app().extra;
    menuGreyLine_->setChecked(extra.GreyLine);
    menuLocatorGrid_->setChecked(extra.LocatorGrid);
    Update();
    timer_->start();
}

void OverlayComponent::ApplyLanguage() {
    if (const OverlayTexts* t = OverlayTextsFor(hub_.app().LanguageCode)) {
        menuGreyLine_->setText(t->MenuGreyLine);
        menuLocatorGrid_->setText(t->MenuLocatorGrid);
    }
}

void OverlayComponent::Update() {
    const geo::PositionState& pos = hub_.app().pos;
    overlays_.SetCentre(pos.CentreLat, pos.CentreLon);
    overlays_.SetGreyLine(menuGreyLine_->isChecked());
    overlays_.SetLocatorGrid(menuLocatorGrid_->isChecked());
    if (overlays_.greyLine()) overlays_.SetTime(hub_.platform().utcNow().toSecsSinceEpoch());
    widget_->Refresh();
}

void OverlayComponent::TimerTick() {
    if (!map_->window()->isVisible()) {
        timer_->stop();
        return;
    }
    Update();
}

void OverlayComponent::MenuGreyLineClick() {
    hub_.app().extra.GreyLine = menuGreyLine_->isChecked();
    Update();
}

void OverlayComponent::MenuLocatorGridClick() {
    hub_.app().extra.LocatorGrid = menuLocatorGrid_->isChecked();
    Update();
}

void OverlayComponent::MouseMove(int X, int Y) {
    const auto p = hub_.frame().PositionAt(X, Y);
    if (!p) {
        position_->clear();
        return;
    }
    position_->setText(
        QStringLiteral(" ") + QString::fromStdString(geo::FormatPosition(p->lat, p->lon)) +
        QStringLiteral("   ") + QString::fromStdString(geo::EncodeLocator(p->lat, p->lon)));
}

} // namespace viewer
