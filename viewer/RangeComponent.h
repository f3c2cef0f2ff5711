// The regional maps in the viewer: Options > "Range" ("Whole world", then
// 10,000 down to 100 km, in miles when miles are chosen) with "Closer"
// (Ctrl++) and "Farther" (Ctrl+-). A range change draws the map of the
// hub's centre at that range (at the screen's resolution) and hands it to
// the viewer through a callback, then sets the hub's frame so that the
// readouts, the markers and the layers follow; the choice is kept in
// AppState::extra.RangeKm (RANGE=, 0 the whole world). A new centre in the
// hub's frame is drawn again at the range in force. For a range read from the
// settings the data is read on a pool thread from the start: the viewer opens
// at once on the whole world and turns to the range when the data is in
// (about a second later). On a screen
// finer than one pixel per map pixel the whole-world gap-free map is drawn
// again at the screen's resolution too. The component adds the scale bar
// layer (viewer/ScaleBarLayer.h) to the hub, on while a range is in force,
// in the viewer's unit.
#pragma once

#include "geo/MapFrame.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace viewer {

class ViewerHub;
class ScaleBarLayer;

struct RangeTexts {
    QString Range;
    QString WholeWorld;
    QString Closer;
    QString Farther;
    QString NoData; // the title of the message when the map cannot be drawn
};
// The texts for LanguageCode "E", "F" or "S"; English for another code.
const RangeTexts& RangeTextsFor(const QString& code);

// The ranges of the menu in the unit in force (kilometres or miles), after
// "Whole world".
inline constexpr std::array<double, 7> MenuRanges = {10000, 5000, 2500, 1000, 500, 250, 100};
// The next range closer or farther than `km` (0: the whole world) among the
// menu's, for `unitKm` kilometres per unit: the whole world, then 10,000 and
// down; none closer than the last, none farther than the whole world.
double CloserRangeKm(double km, double unitKm);
double FartherRangeKm(double km, double unitKm);
// "10,000 km", "2,500 mi": the menu's text of a range in the unit, its
// digits grouped as the language (LanguageCode) writes them.
QString RangeLabel(double units, double unitKm, const QString& code = QStringLiteral("E"));

class RangeComponent : public QObject {
    Q_OBJECT
  public:
    struct Callbacks {
        // Shows a picture of the map (its device pixel ratio set) instead of
        // the viewer's own, or the viewer's own again for a null picture.
        std::function<void(const QImage& map)> show;
        // Kilometres per unit of the viewer: 1 or 1.609344.
        std::function<double()> unitKm;
        // Whether the viewer's whole-world map is a gap-free one, which is
        // then drawn again at the screen's resolution when that is finer.
        std::function<bool()> wholeWorldSharp;
        // Draws the map of a frame (mapexport::FrameMap by default; the tests
        // may pass another). Throws std::exception with the reason.
        std::function<QImage(const geo::MapFrame& frame)> draw;
    };

    RangeComponent(ViewerHub& hub, QMenu* options, QWidget* mapWidget, Callbacks callbacks);
    ~RangeComponent() override;

    double rangeKm() const { return rangeKm_; }
    // Chooses a range (kilometres, 0 the whole world), draws and sets the frame.
    void SetRangeKm(double km);
    // Sets the texts and the units of the items again (language or unit change).
    void Retranslate();
    // Draws and shows again what the hub's centre, the range, the viewer's
    // map and the screen call for, when that differs from what is shown.
    void Refresh();
    // The map of the hub's frame drawn at `size` pixels (for an export).
    QImage Draw(int size) const;

    QMenu* menu() const { return menu_; }

  private:
    void OnFrameChanged();
    double unit() const;

    ViewerHub& hub_;
    QWidget* mapWidget_;
    Callbacks callbacks_;
    QMenu* menu_ = nullptr;
    QAction* whole_ = nullptr;
    std::vector<QAction*> ranges_;
    QAction* closer_ = nullptr;
    QAction* farther_ = nullptr;
    std::unique_ptr<ScaleBarLayer> scaleBar_;
    double rangeKm_ = 0;
    // What the picture handed over shows (none: the viewer's own map).
    struct Shown {
        geo::Real lat = 0, lon = 0;
        double rangeKm = 0;
        int pixels = 0;
        bool operator==(const Shown&) const = default;
    };
    std::optional<Shown> shown_;
    bool applying_ = false;
    bool reading_ = false; // the data is being read for a range of the settings
};

} // namespace viewer
