// The poster: a large gap-free map with its axes, distance circles labelled
// in the user's unit, bearing labels every 30 degrees, the centre text and
// locator and a title line, all drawn as vectors over the map picture. One
// painter for the PDF export, printing and korvanta-render --pdf.
#pragma once

#include "geo/MapFrame.h"
#include "geo/Position.h"
#include "viewer/MapLayer.h"

#include <QImage>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace poster {

enum class Paper { A4, A3, Letter, Tabloid };

// "A4", "A3", "Letter", "Tabloid" in any case.
std::optional<Paper> PaperFromName(const QString& name);
QString PaperName(Paper paper);
QPageSize PageSizeOf(Paper paper);

// Size in pixels of the map picture a poster carries.
inline constexpr int PosterMapSize = 2400;

struct Content {
    QImage map;               // the square map picture (its disc is what is shown)
    QString centreText;       // "48°51' N / 2°22' E"
    QString locator;          // "JN18EU"
    QString languageCode;     // "E", "F" or "S"
    geo::Real unitFactor = 1; // kilometres per unit: 1 or 1.609344
    QString version;          // "2.2.1"
    // Painted over the map picture before the vectors (the live overlays),
    // at `frame` (the map's centre and range, the picture's size; its range
    // also gives the scale line and, on a regional map, the circles): one frame
    // pixel covers one picture pixel, clipped to the disc. May be empty.
    const viewer::MapLayerList* layers = nullptr;
    geo::MapFrame frame;
};

// The content for a centre: the gap-free PosterMapSize map, its whole-world
// frame, the position text and the locator.
Content ContentFor(geo::Real lat, geo::Real lon, const QString& languageCode, geo::Real unitFactor,
                   const std::function<void(int done, int rows)>& progress = {});
// The same for any frame: its map (regional maps from the vector data) at the
// frame's size. Throws std::exception when a regional map cannot be drawn.
Content ContentFor(const geo::MapFrame& frame, const QString& languageCode, geo::Real unitFactor,
                   const std::function<void(int done, int rows)>& progress = {});

// Where a bearing label of `size` lies: on the ray of `bearing` (degrees from
// north, clockwise) from `centre`, with the whole box outside the circle of
// radius rim + gap, its nearest side `gap` beyond the rim.
QRectF BearingLabelBox(const QPointF& centre, double rim, int bearing, const QSizeF& size,
                       double gap);

// Paints the poster into `page`, given in the painter's device units, with
// `unitsPerPoint` device units to a typographic point (resolution / 72).
void Paint(QPainter& painter, const QRectF& page, double unitsPerPoint, const Content& content);

// Writes the poster as a one-page PDF through a temporary file renamed over
// `path` once complete. Returns an empty text on success, else the reason.
QString WritePdf(const QString& path, Paper paper, const Content& content);

} // namespace poster
