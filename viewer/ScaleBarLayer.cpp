#include "viewer/ScaleBarLayer.h"

#include "geo/RegionalMap.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace viewer {

namespace {

// The longest bar, as a share of the map's side: it stays in the corner
// outside the disc.
constexpr double MaxShare = 0.2;

} // namespace

void ScaleBarLayer::SetUnit(double unitKm) {
    const double u = unitKm > 1.5 ? 1.609344 : 1.0;
    if (u == unitKm_) return;
    unitKm_ = u;
    Changed();
}

void ScaleBarLayer::SetOn(bool on) {
    if (on == on_) return;
    on_ = on;
    Changed();
}

double ScaleBarLayer::BarPixels(const geo::MapFrame& frame) const {
    if (frame.wholeWorld()) return 0;
    const double units = geo::NiceScaleLength(frame.kmPerPixel(), unitKm_, MaxShare * frame.size());
    return units * unitKm_ / frame.kmPerPixel();
}

QString ScaleBarLayer::Label(const geo::MapFrame& frame) const {
    if (frame.wholeWorld()) return {};
    const double units = geo::NiceScaleLength(frame.kmPerPixel(), unitKm_, MaxShare * frame.size());
    return QString::number(units, 'g', 6) +
           (unitKm_ == 1.0 ? QStringLiteral(" km") : QStringLiteral(" mi"));
}

void ScaleBarLayer::Paint(QPainter& p, const geo::MapFrame& frame) {
    const double length = BarPixels(frame);
    if (length <= 0) return;
    const double n = frame.size();
    const double x0 = 0.025 * n;
    const double y0 = 0.955 * n;
    const double tick = 0.012 * n;
    const double width = std::max(1.0, n / 300.0);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipping(false);
    // White on the black corner, with a dark edge should it touch the map.
    QPainterPath bar;
    bar.moveTo(x0, y0 - tick);
    bar.lineTo(x0, y0);
    bar.lineTo(x0 + length, y0);
    bar.lineTo(x0 + length, y0 - tick);
    for (int k = 1; k < 4 && length > 0; ++k) {
        bar.moveTo(x0 + length * k / 4, y0);
        bar.lineTo(x0 + length * k / 4, y0 - tick / 2);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 3 * width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(bar);
    p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(bar);
    QFont font = p.font();
    font.setPixelSize(std::max(8, static_cast<int>(n / 45)));
    p.setFont(font);
    const QFontMetricsF fm(font);
    const QString text = Label(frame);
    p.setPen(Qt::white);
    p.drawText(QPointF(x0, y0 - tick - fm.descent() - width), text);
    p.restore();
}

} // namespace viewer
