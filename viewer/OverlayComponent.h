// The viewer's live overlays as a component: the grey line and the locator
// grid (two layers added to the hub), the overlay widget that paints the
// hub's layers over the map, the position under the cursor, the two Options
// items and the grey line's minute timer. The grey line follows the
// platform's UTC clock: at once on show and on a clock-mode change, then once
// a minute while shown.
#pragma once

#include "viewer/MapOverlays.h"

#include <QObject>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QWidget;
class TOverlayAzimut;

namespace viewer {

class ViewerHub;

class OverlayComponent : public QObject {
    Q_OBJECT
  public:
    // What the component attaches to in the viewer.
    struct Attach {
        QWidget* area = nullptr;            // the scrolled client area
        QWidget* map = nullptr;             // the map picture (ImageAzimut)
        QWidget* stackUnder = nullptr;      // the first control above the overlay
        QLabel* readoutLike = nullptr;      // the readout whose look the position takes
        QMenu* options = nullptr;           // Options
        QAction* lastClassicItem = nullptr; // the last item before the added ones
    };
    OverlayComponent(ViewerHub& hub, const Attach& attach, QObject* parent);

    // The show refresh: the items from the settings, the grey line, the timer.
    void Show();
    // The grey line's moment and the items' state into the layers.
    void Update();
    // The minute timer's tick: stops while the window is hidden.
    void TimerTick();
    void MenuGreyLineClick();
    void MenuLocatorGridClick();
    // The position readout of a map pixel (empty outside the disc).
    void MouseMove(int X, int Y);

    MapOverlays& overlays() { return overlays_; }
    TOverlayAzimut* widget() const { return widget_; }
    QLabel* position() const { return position_; }
    QAction* menuGreyLine() const { return menuGreyLine_; }
    QAction* menuLocatorGrid() const { return menuLocatorGrid_; }
    QTimer* timer() const { return timer_; }

  private:
    void ApplyLanguage();

    ViewerHub& hub_;
    QWidget* map_;
    MapOverlays overlays_;
    TOverlayAzimut* widget_ = nullptr;
    QLabel* position_ = nullptr;
    QAction* menuGreyLine_ = nullptr;
    QAction* menuLocatorGrid_ = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace viewer
