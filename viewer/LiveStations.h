// The live stations component of the viewer: DX cluster spots and FT8
// decodes placed on the map (SpotLayer), listed (SpotList) and one click
// from the antenna (a chosen spot is a SpotChosen designation). It adds its
// items to the Options menu ("Live stations...", the list, the layer),
// reads and writes its settings in AppState::extra, and reaches the network
// only through the platform's SpotFeeds.
//
// Created by the viewer with the hub and the menu and window it attaches
// to; it never includes the viewer's header.
#pragma once

#include "dialogs/LiveStationsDialog.h"
#include "dxlists/CtyDat.h"
#include "live/Placement.h"
#include "live/SpotFeed.h"
#include "live/SpotStore.h"
#include "viewer/SpotLayer.h"
#include "viewer/SpotList.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace viewer {

class ViewerHub;

class LiveStations : public QObject {
    Q_OBJECT
  public:
    LiveStations(ViewerHub& hub, QMenu* options, QWidget* window);
    ~LiveStations() override;

    // The antenna's heading and beam width (from the antenna console).
    void SetBeam(std::optional<double> heading, double width) { layer_.SetBeam(heading, width); }

    // Applies new settings: stores them in AppState::extra and restarts the
    // sources that changed.
    void Apply(const LiveSettings& s);
    LiveSettings settings() const;
    // Chooses the spot of that key (as a click in the list does).
    void Choose(const QString& key);

    // What arrives from the feeds (public for the tests' fakes).
    void TakeClusterLine(const QByteArray& line);
    void TakeDatagram(const QByteArray& datagram);

    SpotLayer& layer() { return layer_; }
    const live::SpotStore& store() const { return store_; }
    SpotList* list() const { return list_.data(); }
    QAction* settingsAction() const { return settingsAction_; }
    QAction* listAction() const { return listAction_; }
    QAction* layerAction() const { return layerAction_; }
    QString status() const { return status_; }
    // Once a second: ages out, repaints, refreshes the list (tests call it).
    void Tick();

  private:
    void Retranslate();
    void StartSources();
    void Add(live::Spot spot);
    void LoadCountryFile();
    void UpdateStatus();
    std::int64_t Now() const;

    ViewerHub& hub_;
    QPointer<QWidget> window_;
    live::SpotStore store_;
    std::optional<dx::CtyDatabase> cty_;
    live::Placer placer_;
    live::WsjtxSpotter wsjtx_;
    SpotLayer layer_;
    QPointer<SpotList> list_; // a child of the window, which may go first
    QAction* settingsAction_ = nullptr;
    QAction* listAction_ = nullptr;
    QAction* layerAction_ = nullptr;
    QTimer* timer_ = nullptr;
    std::string chosen_;
    std::uint64_t shownGeneration_ = ~0ull;
    std::int64_t lastListMs_ = 0;
    bool started_ = false;
    bool clusterUp_ = false;
    QString clusterProblem_;
    QString udpProblem_;
    QString status_;
};

} // namespace viewer
