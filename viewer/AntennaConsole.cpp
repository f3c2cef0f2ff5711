#include "viewer/AntennaConsole.h"

#include "app/AppState.h"
#include "app/Platform.h"
#include "dialogs/RotatorSettings.h"
#include "link/LinkTexts.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

namespace viewer {

namespace {

const azlink::RotatorTexts& Texts(const QString& languageCode) {
    const azlink::RotatorTexts* t = azlink::RotatorTextsFor(languageCode);
    return t ? *t : *azlink::RotatorTextsFor(QStringLiteral("E"));
}

// Reports right-button releases over a picture, in its pixel coordinates.
class RightClickFilter : public QObject {
  public:
    RightClickFilter(QObject* parent, std::function<void(int, int)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* e = static_cast<QMouseEvent*>(event);
            auto* w = qobject_cast<QWidget*>(watched);
            const QPoint p = e->position().toPoint();
            if (e->button() == Qt::RightButton && w && w->rect().contains(p))
                handler_(p.x(), p.y());
        }
        return false;
    }

  private:
    std::function<void(int, int)> handler_;
};

// The designation's bearing in whole degrees 0..359; none when it has none.
std::optional<int> BearingOf(const azlink::Designation& d) {
    const std::string& b = d.bearing;
    if (b.empty() || b.size() > 6 || b.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return azlink::WholeAzimuth(std::stoll(b));
}

std::optional<int> ParkAzimuthOf(const QString& setting) {
    bool ok = false;
    const int v = setting.trimmed().toInt(&ok);
    if (!ok || v < 0 || v > 360) return std::nullopt;
    return azlink::WholeAzimuth(v);
}

} // namespace

AntennaConsole::AntennaConsole(ViewerHub& hub, QMenuBar* menuBar, QWidget* clientArea, QWidget* map)
    : QObject(clientArea), hub_(hub), platform_(hub.platform()), hubAlive_(&hub),
      clientArea_(clientArea) {
    const ExtraSettings& e = hub_.app().extra;
    auto action = [this](const char* name) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        MenuAntenna->addAction(a);
        return a;
    };
    MenuAntenna = new QMenu(menuBar);
    MenuAntenna->setObjectName(QStringLiteral("MenuAntenna"));
    MenuAntenna->menuAction()->setObjectName(QStringLiteral("MenuAntennaItem"));
    // Before the last menu of the bar (the help menu), or at its end.
    const QList<QAction*> bar = menuBar->actions();
    if (bar.size() > 1)
        menuBar->insertMenu(bar.last(), MenuAntenna);
    else
        menuBar->addMenu(MenuAntenna);
    MenuShortPath = action("MenuAntennaShortPath");
    MenuShortPath->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    MenuLongPath = action("MenuAntennaLongPath");
    MenuLongPath->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    MenuStop = action("MenuAntennaStop");
    MenuStop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    MenuPark = action("MenuAntennaPark");
    MenuAntenna->addSeparator();
    MenuRotatorSettings = action("MenuRotatorSettings");
    MenuRotator = action("MenuRotator");
    MenuRotator->setCheckable(true);
    MenuRotator->setChecked(e.RotatorOn);
    for (QAction* a : {MenuShortPath, MenuLongPath, MenuStop})
        a->setShortcutContext(Qt::WindowShortcut);
    // The shortcuts work while the menu is closed: the window holds them.
    if (QWidget* window = clientArea->window())
        window->addActions({MenuShortPath, MenuLongPath, MenuStop});
    connect(MenuShortPath, &QAction::triggered, this, [this] { TurnShortPath(); });
    connect(MenuLongPath, &QAction::triggered, this, [this] { TurnLongPath(); });
    connect(MenuStop, &QAction::triggered, this, [this] { Stop(); });
    connect(MenuPark, &QAction::triggered, this, [this] { Park(); });
    connect(MenuRotatorSettings, &QAction::triggered, this, [this] { OpenSettings(); });
    connect(MenuRotator, &QAction::toggled, this, [this](bool on) { SetRotatorOn(on); });

    // The heading field: under the clock, in the map's top-right corner
    // (outside the disc, where it covers no map text).
    const QColor tip = clientArea->palette().color(QPalette::ToolTipBase);
    StaticTextHeading = new QLabel(clientArea);
    StaticTextHeading->setObjectName(QStringLiteral("StaticTextHeading"));
    StaticTextHeading->setGeometry(hub_.frame().size() - 120, 28, 112, 17);
    StaticTextHeading->setAlignment(Qt::AlignCenter);
    StaticTextHeading->setAutoFillBackground(true);
    QPalette hp = StaticTextHeading->palette();
    hp.setColor(QPalette::Window, tip);
    StaticTextHeading->setPalette(hp);
    StaticTextHeading->hide();

    // The notice: above the centre caption in the map's lower-left corner.
    LabelRotatorNotice = new QLabel(clientArea);
    LabelRotatorNotice->setObjectName(QStringLiteral("LabelRotatorNotice"));
    LabelRotatorNotice->setGeometry(8, hub_.frame().size() - 38, 400, 19);
    LabelRotatorNotice->setFrameStyle(QFrame::Box | QFrame::Plain);
    LabelRotatorNotice->setAutoFillBackground(true);
    QPalette np = LabelRotatorNotice->palette();
    np.setColor(QPalette::Window, tip);
    np.setColor(QPalette::WindowText, clientArea->palette().color(QPalette::ToolTipText));
    LabelRotatorNotice->setPalette(np);
    LabelRotatorNotice->hide();
    TimerRotatorNotice = new QTimer(this);
    TimerRotatorNotice->setObjectName(QStringLiteral("TimerRotatorNotice"));
    TimerRotatorNotice->setSingleShot(true);
    TimerRotatorNotice->setInterval(8000);
    connect(TimerRotatorNotice, &QTimer::timeout, LabelRotatorNotice, &QLabel::hide);

    if (map)
        map->installEventFilter(
            new RightClickFilter(this, [this](int x, int y) { MapRightClick(x, y); }));

    hub_.AddLayer(&layer_);
    connect(&hub_, &ViewerHub::designated, this,
            [this](const azlink::Designation& d) { Designated(d); });
    connect(&hub_, &ViewerHub::languageChanged, this, [this] { ApplyLanguage(); });

    // The rotator outlives the windows: it reaches the console only while it exists.
    if (RotatorPort* p = port()) {
        const QPointer<AntennaConsole> self(this);
        p->failed = [self](RotatorPort::Problem problem, const QString& detail) {
            if (self && self->hubAlive_) self->ShowProblem(static_cast<int>(problem), detail);
        };
        p->headingChanged = [self](std::optional<double> h) {
            if (self && self->hubAlive_) self->ShowHeading(h);
        };
    }
    ApplyLanguage();
    ApplySettings();
}

AntennaConsole::~AntennaConsole() {
    layer_.SetChangedCallback(nullptr);
    if (RotatorPort* p = port()) {
        p->failed = nullptr;
        p->headingChanged = nullptr;
    }
}

TRotatorSettings* AntennaConsole::settingsDialog() const {
    return dialog_.data();
}

RotatorPort* AntennaConsole::port() const {
    return platform_.rotator();
}

void AntennaConsole::ApplyLanguage() {
    const azlink::RotatorTexts& t = Texts(hub_.app().LanguageCode);
    MenuAntenna->setTitle(t.MenuAntenna);
    MenuShortPath->setText(t.MenuShortPath);
    MenuLongPath->setText(t.MenuLongPath);
    MenuStop->setText(t.MenuStop);
    MenuPark->setText(t.MenuPark);
    MenuRotatorSettings->setText(t.MenuSettings);
    MenuRotator->setText(t.MenuRotator);
    StaticTextHeading->setAccessibleName(t.Heading);
    StaticTextHeading->setToolTip(t.Heading);
    LabelRotatorNotice->setAccessibleName(t.SettingsTitle);
}

void AntennaConsole::ApplySettings() {
    const ExtraSettings& e = hub_.app().extra;
    gate_.SetMinimum(e.TurnMin);
    layer_.SetBeamWidth(e.BeamWidth);
    layer_.SetOn(e.RotatorOn);
    RotatorPort* p = port();
    if (p) {
        p->setup(RotatorSetup{e.RotatorKind, e.RotatorAddress, e.RotatorName});
        p->watch(e.RotatorOn);
    }
    StaticTextHeading->setVisible(e.RotatorOn);
    if (!e.RotatorOn) {
        ShowHeading(std::nullopt);
        layer_.SetTarget(std::nullopt);
    }
    UpdateEnabled();
}

void AntennaConsole::UpdateEnabled() {
    const bool on = hub_.app().extra.RotatorOn;
    const bool target = on && hub_.lastDesignation() && BearingOf(*hub_.lastDesignation());
    MenuShortPath->setEnabled(target);
    MenuLongPath->setEnabled(target);
    MenuStop->setEnabled(on);
    MenuPark->setEnabled(on);
}

void AntennaConsole::SetRotatorOn(bool on) {
    MenuRotator->setChecked(on);
    if (hub_.app().extra.RotatorOn == on) return;
    hub_.app().extra.RotatorOn = on;
    // A new start: the next designation is sent whatever was sent before.
    gate_.Clear();
    ApplySettings();
}

void AntennaConsole::Designated(const azlink::Designation& d) {
    UpdateEnabled();
    if (!hub_.app().extra.RotatorOn || !azlink::TurnsAntenna(d.reason)) return;
    if (const auto az = BearingOf(d)) Turn(*az);
}

void AntennaConsole::Turn(int azimuth) {
    if (!gate_.Admit(azimuth)) return;
    layer_.SetTarget(azimuth);
    if (RotatorPort* p = port()) p->turn(azimuth);
}

void AntennaConsole::TurnShortPath() {
    TurnPath(false);
}

void AntennaConsole::TurnLongPath() {
    TurnPath(true);
}

void AntennaConsole::TurnPath(bool longPath) {
    const azlink::Designation* last = hub_.lastDesignation();
    if (!last || !hub_.app().extra.RotatorOn) return;
    const auto az = BearingOf(*last);
    if (!az) return;
    azlink::Designation d = *last;
    d.reason = azlink::DesignationReason::Command;
    // The last designation's bearing is of its own path: the other path is
    // the opposite bearing.
    d.bearing = std::to_string(last->longPath != longPath ? azlink::LongPath(*az) : *az);
    d.longPath = longPath;
    hub_.Designate(d);
}

void AntennaConsole::Stop() {
    if (!hub_.app().extra.RotatorOn) return;
    gate_.Clear();
    layer_.SetTarget(std::nullopt);
    if (RotatorPort* p = port()) p->stop();
}

void AntennaConsole::Park() {
    if (!hub_.app().extra.RotatorOn) return;
    const auto az = ParkAzimuthOf(hub_.app().extra.ParkAzimuth);
    gate_.Clear();
    layer_.SetTarget(az);
    if (RotatorPort* p = port()) p->park(az);
}

void AntennaConsole::MapRightClick(int x, int y) {
    const geo::MapFrame& frame = hub_.frame();
    const geo::PixelPolar polar = frame.PolarOfPixel(x, y);
    if (polar.r > frame.radius()) return;
    azlink::Designation d;
    d.reason = azlink::DesignationReason::LongPathClick;
    d.bearing = std::to_string(azlink::LongPath(geo::Round(polar.bearing)));
    d.longPath = true;
    if (const auto position = frame.PositionAt(x, y)) {
        d.lat = static_cast<double>(position->lat);
        d.lon = static_cast<double>(position->lon);
    }
    hub_.Designate(d);
}

void AntennaConsole::OpenSettings() {
    if (dialog_) {
        dialog_->raise();
        return;
    }
    QWidget* parent = clientArea_ ? clientArea_->window() : nullptr;
    dialog_ = new TRotatorSettings(parent, Texts(hub_.app().LanguageCode), hub_.app().extra);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &QDialog::accepted, this, [this] {
        if (!dialog_) return;
        ExtraSettings& e = hub_.app().extra;
        const ExtraSettings& v = dialog_->values();
        e.RotatorKind = v.RotatorKind;
        e.RotatorAddress = v.RotatorAddress;
        e.RotatorName = v.RotatorName;
        e.BeamWidth = v.BeamWidth;
        e.ParkAzimuth = v.ParkAzimuth;
        e.TurnMin = v.TurnMin;
        // Another rotator or address: the next target is sent anew.
        gate_.Clear();
        layer_.SetTarget(std::nullopt);
        ApplySettings();
    });
    dialog_->open();
}

void AntennaConsole::ShowHeading(std::optional<double> heading) {
    layer_.SetHeading(heading);
    if (!heading) {
        StaticTextHeading->clear();
        return;
    }
    const long long whole = std::llround(*heading) % 360;
    StaticTextHeading->setText(QString::number(whole) + QStringLiteral("\u00B0"));
}

void AntennaConsole::ShowProblem(int problem, const QString& detail) {
    const azlink::RotatorTexts& t = Texts(hub_.app().LanguageCode);
    const QString address = hub_.app().extra.RotatorAddress;
    QString text;
    switch (static_cast<RotatorPort::Problem>(problem)) {
    case RotatorPort::Problem::Unreachable:
        text = t.Unreachable.arg(address);
        break;
    case RotatorPort::Problem::NoAnswer:
        text = t.NoAnswer.arg(address);
        break;
    case RotatorPort::Problem::Error:
        text = t.Error.arg(address, detail);
        break;
    case RotatorPort::Problem::BadAddress:
        text = t.BadAddress.arg(address);
        break;
    case RotatorPort::Problem::NoListen:
        text = t.NoListen.arg(detail);
        break;
    case RotatorPort::Problem::NoPark:
        text = t.NoPark;
        break;
    }
    // A failed turn is tried again: the gate lets the same target through.
    gate_.Clear();
    LabelRotatorNotice->setText(QLatin1Char(' ') + text);
    LabelRotatorNotice->adjustSize();
    LabelRotatorNotice->resize(LabelRotatorNotice->width() + 8, 19);
    LabelRotatorNotice->show();
    LabelRotatorNotice->raise();
    TimerRotatorNotice->start();
}

} // namespace viewer
