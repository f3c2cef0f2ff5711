// The antenna console: the "Antenna" menu (turn to the short or long path,
// stop, park, the rotator's settings, "Turn the rotator"), the heading field,
// the map layer of the heading, beam and target, the right click that turns
// to the long path, and the rotator's notices.
//
// The antenna turns only on designations whose azlink::TurnsAntenna(reason)
// is true, and only through the turn gate (the same target, or one within
// TURNMIN degrees of the one under way, is not sent again). The rotator is
// reached through the platform's RotatorPort; nothing here waits.
#pragma once

#include "link/Designation.h"
#include "link/RotatorProtocol.h"
#include "viewer/AntennaLayer.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;
class QWidget;
class Platform;
class RotatorPort;
class TRotatorSettings;

namespace viewer {

class ViewerHub;

class AntennaConsole : public QObject {
    Q_OBJECT
  public:
    // `menuBar` receives the "Antenna" menu (before its last menu, the help
    // menu); `clientArea` the heading field and the notice (at the map's
    // coordinates); right clicks on `map` (may be null) turn to the long path.
    AntennaConsole(ViewerHub& hub, QMenuBar* menuBar, QWidget* clientArea, QWidget* map);
    ~AntennaConsole() override;

    // The commands of the menu.
    void TurnShortPath();
    void TurnLongPath();
    void Stop();
    void Park();
    void OpenSettings(); // window-modal, returns at once
    void SetRotatorOn(bool on);

    // A right click at a pixel of the map's frame.
    void MapRightClick(int x, int y);

    AntennaLayer& layer() { return layer_; }
    TRotatorSettings* settingsDialog() const;

    QMenu* MenuAntenna = nullptr;
    QAction* MenuShortPath = nullptr;
    QAction* MenuLongPath = nullptr;
    QAction* MenuStop = nullptr;
    QAction* MenuPark = nullptr;
    QAction* MenuRotatorSettings = nullptr;
    QAction* MenuRotator = nullptr;
    QLabel* StaticTextHeading = nullptr;
    QLabel* LabelRotatorNotice = nullptr;
    QTimer* TimerRotatorNotice = nullptr;

  private:
    // The last designation's place by the short or the long path.
    void TurnPath(bool longPath);
    void Designated(const azlink::Designation& d);
    void Turn(int azimuth);
    void ApplySettings();
    void ApplyLanguage();
    void UpdateEnabled();
    void ShowHeading(std::optional<double> heading);
    void ShowProblem(int problem, const QString& detail);
    RotatorPort* port() const;

    ViewerHub& hub_;
    // Kept apart from the hub: the viewer may delete its hub before the
    // console (its children go in the order they were made).
    Platform& platform_;
    QPointer<ViewerHub> hubAlive_;
    QPointer<QWidget> clientArea_;
    AntennaLayer layer_;
    azlink::TurnGate gate_;
    QPointer<TRotatorSettings> dialog_;
};

} // namespace viewer
