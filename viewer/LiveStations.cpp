#include "viewer/LiveStations.h"

#include "app/AppState.h"
#include "app/Platform.h"
#include "live/ClusterLine.h"
#include "live/Endpoint.h"
#include "live/Wsjtx.h"
#include "viewer/LiveTexts.h"
#include "viewer/SpotList.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace viewer {

LiveStations::LiveStations(ViewerHub& hub, QMenu* options, QWidget* window)
    : QObject(&hub), hub_(hub), window_(window) {
    LoadCountryFile();
    placer_.SetCentre(static_cast<double>(hub_.frame().centreLat()),
                      static_cast<double>(hub_.frame().centreLon()));
    layer_.SetStore(&store_);
    store_.SetMaxAgeMs(static_cast<std::int64_t>(hub_.app().extra.SpotAge) * 60000);
    layer_.SetMaxAgeMs(store_.maxAgeMs());
    hub_.AddLayer(&layer_);

    list_ = new SpotList(window);
    connect(list_, &SpotList::chosen, this, &LiveStations::Choose);
    connect(list_, &SpotList::closed, this, [this] { listAction_->setChecked(false); });
    connect(list_, &SpotList::filtersChanged, this, [this] {
        shownGeneration_ = ~0ull;
        Tick();
    });

    settingsAction_ = new QAction(this);
    settingsAction_->setObjectName(QStringLiteral("MenuLiveStations"));
    listAction_ = new QAction(this);
    listAction_->setObjectName(QStringLiteral("MenuSpotList"));
    listAction_->setCheckable(true);
    layerAction_ = new QAction(this);
    layerAction_->setObjectName(QStringLiteral("MenuSpotLayer"));
    layerAction_->setCheckable(true);
    layerAction_->setChecked(true);
    // After the viewer's added items (their one separator is the viewer's).
    if (options) {
        options->addAction(settingsAction_);
        options->addAction(listAction_);
        options->addAction(layerAction_);
    }
    connect(settingsAction_, &QAction::triggered, this, [this] {
        LiveStationsDialog dialog(settings(), LiveTextsFor(hub_.app().LanguageCode), window_);
        if (dialog.exec() == QDialog::Accepted) Apply(dialog.values());
    });
    connect(listAction_, &QAction::toggled, this, [this](bool on) {
        if (!list_) return;
        list_->setVisible(on);
        if (on) {
            shownGeneration_ = ~0ull;
            Tick();
        }
    });
    connect(layerAction_, &QAction::toggled, this, [this](bool on) { layer_.SetOn(on); });

    connect(&hub_, &ViewerHub::languageChanged, this, &LiveStations::Retranslate);
    connect(&hub_, &ViewerHub::frameChanged, this, [this] {
        placer_.SetCentre(static_cast<double>(hub_.frame().centreLat()),
                          static_cast<double>(hub_.frame().centreLon()));
        store_.Update([this](live::Spot& s) { placer_.Measure(s); });
        layer_.Refresh();
    });

    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &LiveStations::Tick);
    timer_->start();

    if (SpotFeeds* feeds = hub_.platform().spotFeeds()) {
        feeds->clusterLine = [this](const QByteArray& line) { TakeClusterLine(line); };
        feeds->datagram = [this](const QByteArray& d) { TakeDatagram(d); };
        feeds->clusterState = [this](bool up, const QString& detail) {
            clusterUp_ = up;
            clusterProblem_ = up ? QString() : detail;
            UpdateStatus();
        };
    }
    Retranslate();
    // The settings file may be read after the viewer is made: the sources
    // start from the event loop, unless settings were applied before.
    QTimer::singleShot(0, this, [this] {
        if (started_) return;
        store_.SetMaxAgeMs(static_cast<std::int64_t>(hub_.app().extra.SpotAge) * 60000);
        layer_.SetMaxAgeMs(store_.maxAgeMs());
        StartSources();
    });
}

LiveStations::~LiveStations() {
    if (SpotFeeds* feeds = hub_.platform().spotFeeds()) {
        feeds->stopCluster();
        feeds->stopUdp();
        feeds->clusterLine = nullptr;
        feeds->datagram = nullptr;
        feeds->clusterState = nullptr;
    }
    layer_.SetStore(nullptr);
    layer_.SetOn(false);
    delete list_.data();
}

void LiveStations::LoadCountryFile() {
    QString path = hub_.app().extra.CountryFile;
    if (path.isEmpty()) path = QStringLiteral("/usr/share/hamradio-files/cty.dat");
    if (!QFile::exists(path)) return;
    dx::CtyError error;
    cty_ = dx::CtyDatabase::Load(path.toStdString(), error);
    placer_.SetCountryFile(cty_ ? &*cty_ : nullptr);
}

std::int64_t LiveStations::Now() const {
    return hub_.platform().utcNow().toMSecsSinceEpoch();
}

LiveSettings LiveStations::settings() const {
    const ExtraSettings& e = hub_.app().extra;
    LiveSettings s;
    s.clusterOn = e.ClusterOn;
    s.cluster = e.Cluster;
    s.clusterCall = e.ClusterCall;
    s.wsjtxOn = e.WsjtxOn;
    s.wsjtx = e.Wsjtx;
    s.spotAge = e.SpotAge;
    return s;
}

void LiveStations::Apply(const LiveSettings& s) {
    const LiveSettings before = settings();
    ExtraSettings& e = hub_.app().extra;
    e.ClusterOn = s.clusterOn;
    e.Cluster = s.cluster;
    e.ClusterCall = s.clusterCall;
    e.WsjtxOn = s.wsjtxOn;
    e.Wsjtx = s.wsjtx;
    e.SpotAge = std::clamp(s.spotAge, 1, 1440);
    store_.SetMaxAgeMs(static_cast<std::int64_t>(e.SpotAge) * 60000);
    layer_.SetMaxAgeMs(store_.maxAgeMs());
    if (!(before == settings())) StartSources();
    Tick();
}

void LiveStations::StartSources() {
    started_ = true;
    SpotFeeds* feeds = hub_.platform().spotFeeds();
    if (!feeds) return;
    const ExtraSettings& e = hub_.app().extra;
    feeds->stopCluster();
    feeds->stopUdp();
    clusterUp_ = false;
    clusterProblem_.clear();
    udpProblem_.clear();
    if (e.ClusterOn) {
        const auto hp = live::ParseHostPort(e.Cluster.toStdString());
        if (hp && !e.ClusterCall.isEmpty())
            feeds->startCluster(QString::fromStdString(hp->host), hp->port, e.ClusterCall);
        else
            clusterProblem_ = LiveTextsFor(hub_.app().LanguageCode).BadCluster.arg(e.Cluster);
    }
    if (e.WsjtxOn) {
        QString error;
        if (!feeds->startUdp(e.Wsjtx, &error)) udpProblem_ = error;
    }
    UpdateStatus();
}

void LiveStations::UpdateStatus() {
    const LiveTexts& t = LiveTextsFor(hub_.app().LanguageCode);
    const ExtraSettings& e = hub_.app().extra;
    QStringList parts;
    if (e.ClusterOn) {
        if (clusterUp_)
            parts << t.ClusterUp;
        else if (!clusterProblem_.isEmpty())
            parts << t.ClusterDown.arg(clusterProblem_);
        else
            parts << t.ClusterDown.arg(e.Cluster);
    }
    if (e.WsjtxOn && !udpProblem_.isEmpty()) parts << t.UdpDown.arg(udpProblem_);
    if (!e.ClusterOn && !e.WsjtxOn) parts << t.Idle;
    status_ = parts.join(QStringLiteral(" \u2014 "));
    if (list_) list_->SetStatus(status_);
}

void LiveStations::Retranslate() {
    const LiveTexts& t = LiveTextsFor(hub_.app().LanguageCode);
    settingsAction_->setText(t.MenuSettings);
    listAction_->setText(t.MenuList);
    layerAction_->setText(t.MenuLayer);
    if (list_) list_->SetTexts(t);
    shownGeneration_ = ~0ull;
    UpdateStatus();
}

void LiveStations::Add(live::Spot spot) {
    placer_.Place(spot);
    store_.Add(std::move(spot));
    layer_.Refresh();
}

void LiveStations::TakeClusterLine(const QByteArray& line) {
    const live::ClusterLine r = live::ReadClusterLine(
        std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    if (r.kind == live::ClusterLineKind::Spot) Add(live::SpotFromCluster(r.spot, Now()));
}

void LiveStations::TakeDatagram(const QByteArray& d) {
    live::WsjtxMessage m;
    if (live::ReadWsjtx(reinterpret_cast<const std::uint8_t*>(d.constData()),
                        static_cast<std::size_t>(d.size()), m) != live::WsjtxResult::Ok)
        return;
    if (auto s = wsjtx_.Take(m, Now())) Add(std::move(*s));
}

void LiveStations::Tick() {
    const std::int64_t now = Now();
    store_.Expire(now);
    layer_.SetNow(now);
    layer_.Refresh();
    if (!list_ || !list_->isVisible()) return;
    // The list is rebuilt when spots changed, and every half minute for the ages.
    if (store_.generation() == shownGeneration_ && now - lastListMs_ < 30000) return;
    shownGeneration_ = store_.generation();
    lastListMs_ = now;
    list_->Show(store_, now, chosen_);
}

void LiveStations::Choose(const QString& key) {
    const std::string k = key.toStdString();
    const live::Spot* spot = nullptr;
    for (const live::Spot& s : store_.spots())
        if (live::SpotKey(s) == k) spot = &s;
    if (!spot || spot->positionSource == live::PositionSource::None) {
        hub_.platform().beep();
        return;
    }
    chosen_ = k;
    layer_.SetChosen(k);
    azlink::Designation d;
    d.reason = azlink::DesignationReason::SpotChosen;
    d.bearing = std::to_string(std::lround(spot->bearing) % 360);
    d.lat = spot->lat;
    d.lon = spot->lon;
    hub_.RequestDesignation(d);
}

} // namespace viewer
