#include "viewer/LocatorGridLayer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

namespace viewer {

namespace {

const QColor FieldLine(96, 32, 128, 210);
const QColor SquareLine(96, 32, 128, 80);
const QColor SubsquareLine(96, 32, 128, 45);
const QColor LabelColour(80, 20, 110, 200);
const QColor SubsquareLabel(80, 20, 110, 130);

bool SameFrame(const geo::MapFrame& a, const geo::MapFrame& b) {
    return a.centreLat() == b.centreLat() && a.centreLon() == b.centreLon() &&
           a.size() == b.size() && a.rimAngle() == b.rimAngle();
}

// Points closer than this to the chord of their neighbours are left out of
// the drawn lines: invisible at the frame's resolution, and a poster's page
// stays small (the traced lines have a point every two pixels).
constexpr double Tolerance = 0.2;

// The line with the points Douglas-Peucker keeps for the tolerance.
QPolygonF Simplified(const geo::Polyline& line) {
    const size_t n = line.size();
    std::vector<char> keep(n, 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<size_t, size_t>> spans{{0, n - 1}};
    while (!spans.empty()) {
        const auto [a, b] = spans.back();
        spans.pop_back();
        const double dx = line[b].x - line[a].x, dy = line[b].y - line[a].y;
        const double length = std::hypot(dx, dy);
        double worst = -1;
        size_t at = a;
        for (size_t i = a + 1; i < b; ++i) {
            const double ex = line[i].x - line[a].x, ey = line[i].y - line[a].y;
            const double d =
                length > 0 ? std::fabs(ex * dy - ey * dx) / length : std::hypot(ex, ey);
            if (d > worst) {
                worst = d;
                at = i;
            }
        }
        if (worst > Tolerance) {
            keep[at] = 1;
            spans.push_back({a, at});
            spans.push_back({at, b});
        }
    }
    QPolygonF poly;
    // Pixel (x, y) stands for the point at its centre.
    for (size_t i = 0; i < n; ++i)
        if (keep[i]) poly.append(QPointF(line[i].x + 0.5, line[i].y + 0.5));
    return poly;
}

std::vector<QPolygonF> Polygons(const std::vector<geo::Polyline>& lines) {
    std::vector<QPolygonF> out;
    out.reserve(lines.size());
    for (const geo::Polyline& line : lines)
        if (line.size() >= 2) out.push_back(Simplified(line));
    return out;
}

// The boxes of the names drawn so far, in buckets of a grid of cells.
class PlacedBoxes {
  public:
    explicit PlacedBoxes(double cell) : cell_(std::max(1.0, cell)) {}
    // Adds the box unless it meets one already placed.
    bool Place(const QRectF& box) {
        const int x0 = Cell(box.left()), x1 = Cell(box.right());
        const int y0 = Cell(box.top()), y1 = Cell(box.bottom());
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const auto it = cells_.find(Key(x, y));
                if (it == cells_.end()) continue;
                for (const QRectF& other : it->second)
                    if (other.intersects(box)) return false;
            }
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                cells_[Key(x, y)].push_back(box);
        return true;
    }

  private:
    int Cell(double v) const { return static_cast<int>(std::floor(v / cell_)); }
    static long long Key(int x, int y) {
        return (static_cast<long long>(x) << 32) ^ static_cast<unsigned int>(y);
    }
    double cell_;
    std::unordered_map<long long, std::vector<QRectF>> cells_;
};

} // namespace

struct LocatorGridLayer::Lines {
    geo::MapFrame frame;
    std::vector<QPolygonF> fields, squares, subsquares;
    std::vector<geo::GridLabel> labels;
};

LocatorGridLayer::LocatorGridLayer() = default;
LocatorGridLayer::~LocatorGridLayer() = default;

double LocatorGridLayer::FieldLineWidth(int size) {
    return std::clamp(size / 3200.0, 1.0, 1.5);
}

double LocatorGridLayer::SquareLineWidth(int size) {
    return 0.7 * FieldLineWidth(size);
}

int LocatorGridLayer::LabelPixelSize(int size) {
    return static_cast<int>(std::lround(geo::GridLabelPixels(size)));
}

void LocatorGridLayer::SetOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    Changed();
}

std::unique_ptr<LocatorGridLayer::Lines> LocatorGridLayer::Compute(const geo::MapFrame& frame) {
    const geo::LocatorGridLines g = geo::BuildLocatorGrid(frame);
    auto lines = std::make_unique<Lines>();
    lines->frame = frame;
    lines->fields = Polygons(g.fields);
    lines->squares = Polygons(g.squares);
    lines->subsquares = Polygons(g.subsquares);
    lines->labels = g.labels;
    return lines;
}

void LocatorGridLayer::Paint(QPainter& painter, const geo::MapFrame& frame) {
    if (!on_) return;
    if (frame.size() > KeptUpTo) {
        Draw(painter, frame, *Compute(frame));
        return;
    }
    if (!kept_ || !SameFrame(kept_->frame, frame)) {
        kept_ = Compute(frame);
        ++computations_;
    }
    Draw(painter, frame, *kept_);
}

QFont LocatorGridLayer::LabelFont(int size) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(LabelPixelSize(size));
    font.setBold(true);
    return font;
}

std::vector<LocatorGridLayer::PlacedName>
LocatorGridLayer::PlaceNames(const std::vector<geo::GridLabel>& labels, const geo::MapFrame& frame,
                             const QFontMetricsF& fm) {
    std::vector<PlacedName> out;
    const double r = frame.radius();
    // Fields first, then squares, then sub-squares: a name that would touch
    // one already drawn is left out (the field's name sits on the corner of
    // four squares, a square's on the corner of four sub-squares).
    PlacedBoxes placed(4 * fm.height());
    for (const geo::GridLabel& l : labels) {
        const QString text = QString::fromStdString(l.text);
        const double w = fm.horizontalAdvance(text);
        const QRectF box(l.at.x + 0.5 - w / 2, l.at.y + 0.5 - fm.height() / 2, w, fm.height());
        // The layer is clipped to the disc: a name the rim would cut is left out.
        const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomLeft(),
                                   box.bottomRight()};
        const bool onDisc =
            std::all_of(std::begin(corners), std::end(corners),
                        [r](const QPointF& c) { return std::hypot(c.x() - r, c.y() - r) <= r; });
        if (!onDisc || !placed.Place(box.adjusted(-2, -1, 2, 1))) continue;
        out.push_back({text, box, l.level});
    }
    return out;
}

std::vector<LocatorGridLayer::PlacedName> LocatorGridLayer::NamesFor(const geo::MapFrame& frame) {
    return PlaceNames(geo::BuildLocatorGrid(frame).labels, frame,
                      QFontMetricsF(LabelFont(frame.size())));
}

void LocatorGridLayer::Draw(QPainter& p, const geo::MapFrame& frame, const Lines& lines) {
    const int size = frame.size();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(SubsquareLine, SquareLineWidth(size)));
    for (const QPolygonF& poly : lines.subsquares)
        p.drawPolyline(poly);
    p.setPen(QPen(SquareLine, SquareLineWidth(size)));
    for (const QPolygonF& poly : lines.squares)
        p.drawPolyline(poly);
    p.setPen(QPen(FieldLine, FieldLineWidth(size)));
    for (const QPolygonF& poly : lines.fields)
        p.drawPolyline(poly);
    const QFont font = LabelFont(size);
    p.setFont(font);
    for (const PlacedName& n : PlaceNames(lines.labels, frame, QFontMetricsF(font))) {
        p.setPen(n.level == 2 ? SubsquareLabel : LabelColour);
        p.drawText(n.box, Qt::AlignCenter, n.text);
    }
    p.restore();
}

} // namespace viewer
