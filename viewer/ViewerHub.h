// What the viewer shares with its components (the antenna console, the live
// stations, the regional maps, the exports, the overlays): the platform, the
// application state, the map's frame, the ordered layers drawn over the map
// and the designations. Components receive the hub (and the widgets or menus
// they attach to) when the viewer creates them; they never include the
// viewer's header.
//
// Designations: the viewer calls Designate() for every bearing it shows, with
// the reason; `designated` reaches every consumer (the local azimuth server
// publishes by azlink::Publishes, the antenna turns by azlink::TurnsAntenna).
// A component that chooses a target itself (a spot chosen in a list) calls
// RequestDesignation(): the viewer shows it (readouts, marker) and then
// designates it.
#pragma once

#include "geo/MapFrame.h"
#include "link/Designation.h"
#include "viewer/MapLayer.h"

#include <QObject>
#include <QString>

class Platform;
struct AppState;

namespace viewer {

class ViewerHub : public QObject {
    Q_OBJECT
  public:
    ViewerHub(Platform& platform, AppState& app, QObject* parent = nullptr)
        : QObject(parent), platform_(platform), app_(app) {}

    Platform& platform() const { return platform_; }
    AppState& app() const { return app_; }

    // The frame of the map on screen (centre, size, range).
    const geo::MapFrame& frame() const { return frame_; }
    void SetFrame(const geo::MapFrame& frame) {
        frame_ = frame;
        emit frameChanged();
    }

    // The layers over the map, bottom to top, painted on screen and into
    // every export at the export's own frame.
    MapLayerList& layers() { return layers_; }
    // Adds a layer on top and repaints the screen whenever it changes.
    void AddLayer(MapLayer* layer) {
        layers_.Add(layer);
        layer->SetChangedCallback([this] { emit layersChanged(); });
        emit layersChanged();
    }

    // The last designation (none before the first).
    const azlink::Designation* lastDesignation() const {
        return haveDesignation_ ? &last_ : nullptr;
    }
    void Designate(const azlink::Designation& d) {
        last_ = d;
        haveDesignation_ = true;
        emit designated(d);
    }
    void RequestDesignation(const azlink::Designation& d) { emit designationRequested(d); }

    // The language routine has run (texts are to be set again).
    void LanguageApplied() { emit languageChanged(); }

  signals:
    void frameChanged();
    void layersChanged();
    void designated(const azlink::Designation& d);
    void designationRequested(const azlink::Designation& d);
    void languageChanged();

  private:
    Platform& platform_;
    AppState& app_;
    geo::MapFrame frame_;
    MapLayerList layers_;
    azlink::Designation last_;
    bool haveDesignation_ = false;
};

} // namespace viewer
