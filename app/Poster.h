// The poster: a large gap-free map with its axes, distance circles labelled
// in the user's unit, bearing labels every 30 degrees, the centre text and
// locator and a title line, all drawn as vectors over the map picture. One
// painter for the PDF export, printing and korvanta-render --pdf.
#pragma once

#include "geo/Position.h"

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

// Draws over the map picture before the vectors (the live overlays): the
// painter is clipped to the map's disc, `mapRect` is where the whole square
// picture lies in the painter's coordinates (picture pixel (x, y) covers
// mapRect.topLeft() + (x, y) * mapRect.width() / picture width).
using OverlayFn = std::function<void(QPainter& painter, const QRectF& mapRect)>;

struct Content {
    QImage map;               // the square map picture (its disc is what is shown)
    QString centreText;       // "48°51' N / 2°22' E"
    QString locator;          // "JN18EU"
    QString languageCode;     // "E", "F" or "S"
    geo::Real unitFactor = 1; // kilometres per unit: 1 or 1.609344
    QString version;          // "2.2.1"
    OverlayFn overlay;        // may be empty
    double rangeKm = 20000;   // kilometres from the centre to the rim
};

// The content for a centre: the gap-free PosterMapSize map, the position
// text and the locator.
Content ContentFor(geo::Real lat, geo::Real lon, const QString& languageCode, geo::Real unitFactor,
                   const std::function<void(int done, int rows)>& progress = {});

// Paints the poster into `page`, given in the painter's device units, with
// `unitsPerPoint` device units to a typographic point (resolution / 72).
void Paint(QPainter& painter, const QRectF& page, double unitsPerPoint, const Content& content);

// Writes the poster as a one-page PDF through a temporary file renamed over
// `path` once complete. Returns an empty text on success, else the reason.
QString WritePdf(const QString& path, Paper paper, const Content& content);

} // namespace poster
