#include "viewer/SpotLayer.h"

#include "live/Band.h"
#include "live/Labels.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace viewer {

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Placed {
    const live::Spot* spot;
    QPointF p;
    double bearing;
};

constexpr int FadeSteps = 12;

} // namespace

const QImage& SpotLayer::Sprite(const live::Spot& s, bool highlight, int step, double scale) {
    if (scale != spriteScale_) {
        sprites_.clear();
        spriteScale_ = scale;
    }
    const int band = live::BandIndex(s.band) + 1;
    const std::uint64_t key =
        (static_cast<std::uint64_t>(band) << 16) | (static_cast<std::uint64_t>(s.source) << 12) |
        (static_cast<std::uint64_t>(highlight) << 8) | static_cast<std::uint64_t>(step);
    const auto it = sprites_.find(key);
    if (it != sprites_.end()) return it->second;
    const double r = 3.5 * scale;
    const double m = highlight ? r * 1.35 : r;
    const double pen = (highlight ? 1.6 : 0.8) * scale;
    // Drawn at twice the resolution where the frame is small, for sharp edges.
    const double dpr = scale < 2 ? 2.0 : 1.0;
    const int side = static_cast<int>(std::ceil((2 * m * 1.25 + 2 * pen + 2) * dpr)) | 1;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(dpr);
    const double alpha = static_cast<double>(step) / FadeSteps;
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        DrawMarkerVector(p, s, QPointF(side / dpr / 2, side / dpr / 2), highlight, alpha, scale);
    }
    return sprites_.emplace(key, std::move(image)).first->second;
}

void SpotLayer::DrawMarkerVector(QPainter& painter, const live::Spot& s, QPointF c, bool highlight,
                                 double alpha, double scale) const {
    const double r = 3.5 * scale;
    const double m = highlight ? r * 1.35 : r;
    QColor fill = BandColour(s.band);
    fill.setAlphaF(static_cast<float>(alpha));
    QColor edge = highlight ? QColor(255, 255, 255) : QColor(0, 0, 0);
    edge.setAlphaF(static_cast<float>(alpha));
    painter.setPen(QPen(edge, (highlight ? 1.6 : 0.8) * scale));
    painter.setBrush(fill);
    switch (s.source) {
    case live::SpotSource::Cluster:
        painter.drawEllipse(c, m, m);
        break;
    case live::SpotSource::Ft8:
        painter.drawRect(QRectF(c.x() - m, c.y() - m, 2 * m, 2 * m));
        break;
    case live::SpotSource::Wspr: {
        const QPointF tri[3] = {QPointF(c.x(), c.y() - m * 1.2),
                                QPointF(c.x() + m, c.y() + m * 0.8),
                                QPointF(c.x() - m, c.y() + m * 0.8)};
        painter.drawPolygon(tri, 3);
        break;
    }
    }
}

void SpotLayer::SetOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    Changed();
}

void SpotLayer::SetChosen(const std::string& key) {
    if (chosen_ == key) return;
    chosen_ = key;
    Changed();
}

void SpotLayer::SetBeam(std::optional<double> heading, double width) {
    if (heading && !std::isfinite(*heading)) heading.reset();
    if (!std::isfinite(width)) width = 60;
    width = std::clamp(width, 1.0, 360.0);
    if (heading_ == heading && width_ == width) return;
    heading_ = heading;
    width_ = width;
    Changed();
}

QColor SpotLayer::BandColour(const std::string& band) {
    const int i = live::BandIndex(band);
    if (i < 0) return QColor(128, 128, 128);
    // Hues round the circle from long to short waves, alternating lightness
    // so neighbouring bands differ.
    const int n = live::BandCount();
    const int hue = (i * 300 / n) % 360;
    return QColor::fromHsv(hue, 230, i % 2 ? 200 : 255);
}

double SpotLayer::Fade(std::int64_t ageMs, std::int64_t maxAgeMs) {
    if (maxAgeMs <= 0 || ageMs <= 0) return 1.0;
    const double t = std::min(1.0, static_cast<double>(ageMs) / static_cast<double>(maxAgeMs));
    return 1.0 - 0.75 * t;
}

bool SpotLayer::InBeam(double bearing, double heading, double width) {
    double d = std::fmod(std::fabs(bearing - heading), 360.0);
    if (d > 180) d = 360 - d;
    return d <= width / 2 + 1e-9;
}

void SpotLayer::Paint(QPainter& painter, const geo::MapFrame& frame) {
    labelsDrawn_ = 0;
    if (!active()) return;
    const double scale = frame.size() / 600.0;
    const double r = 3.5 * scale;
    const double R = frame.radius();

    std::vector<Placed> placed;
    placed.reserve(store_->size());
    const Placed* chosen = nullptr;
    // Newest first: the store keeps them oldest first.
    for (auto it = store_->spots().rbegin(); it != store_->spots().rend(); ++it) {
        const live::Spot& s = *it;
        if (s.positionSource == live::PositionSource::None) continue;
        const auto pr = frame.Project(s.lat, s.lon);
        if (!pr) continue;
        const double dx = pr->p.x - R, dy = R - pr->p.y;
        double b = std::atan2(dx, dy) * 180 / Pi;
        if (b < 0) b += 360;
        placed.push_back({&s, QPointF(pr->p.x, pr->p.y), b});
    }
    if (!chosen_.empty())
        for (const Placed& p : placed)
            if (live::SpotKey(*p.spot) == chosen_) chosen = &p;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // On raster devices (screen, PNG) the markers are copied from sprites;
    // on vector devices (PDF posters, printers) they stay vectors.
    const bool raster =
        painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    // Markers, oldest first so the newest lie on top.
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        const live::Spot& s = *it->spot;
        double alpha = Fade(nowMs_ - s.receivedMs, maxAgeMs_);
        bool highlight = false;
        if (heading_) {
            highlight = InBeam(it->bearing, *heading_, width_);
            if (!highlight) alpha *= 0.35;
        }
        if (!raster) {
            DrawMarkerVector(painter, s, it->p, highlight, alpha, scale);
            continue;
        }
        const int step = std::clamp(static_cast<int>(std::lround(alpha * FadeSteps)), 1, FadeSteps);
        const QImage& sprite = Sprite(s, highlight, step, scale);
        const double half = sprite.width() / sprite.devicePixelRatio() / 2;
        painter.drawImage(QPointF(it->p.x() - half, it->p.y() - half), sprite);
    }
    if (chosen) {
        painter.setPen(QPen(QColor(255, 0, 0), 2 * scale));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(chosen->p, r * 2.2, r * 2.2);
    }

    if (labels_) {
        QFont font;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(10 * scale))));
        painter.setFont(font);
        const QFontMetricsF fm(font);
        // The chosen spot first, then the newest.
        std::vector<const Placed*> order;
        order.reserve(placed.size());
        if (chosen) order.push_back(chosen);
        for (const Placed& p : placed)
            if (&p != chosen) order.push_back(&p);
        std::vector<live::LabelBox> boxes;
        boxes.reserve(order.size());
        const double h = fm.height();
        if (widthsPixelSize_ != font.pixelSize() || widths_.size() > 20000) {
            widths_.clear();
            widthsPixelSize_ = font.pixelSize();
        }
        for (const Placed* p : order) {
            auto found = widths_.find(p->spot->call);
            if (found == widths_.end())
                found = widths_
                            .emplace(p->spot->call,
                                     fm.horizontalAdvance(QString::fromStdString(p->spot->call)))
                            .first;
            const double w = found->second;
            boxes.push_back({p->p.x() + r + 1.5 * scale, p->p.y() - h / 2, w, h});
        }
        const std::vector<int> kept = live::DeclutterLabels(boxes, 64 * scale);
        const double ascent = fm.ascent();
        for (int k : kept) {
            const Placed* p = order[static_cast<std::size_t>(k)];
            const live::Spot& s = *p->spot;
            double alpha = Fade(nowMs_ - s.receivedMs, maxAgeMs_);
            if (heading_ && !InBeam(p->bearing, *heading_, width_)) alpha *= 0.35;
            const live::LabelBox& b = boxes[static_cast<std::size_t>(k)];
            const QString text = QString::fromStdString(s.call);
            // A light halo keeps the call readable on any map colour.
            QColor halo(255, 255, 255);
            halo.setAlphaF(static_cast<float>(alpha * 0.8));
            painter.setPen(Qt::NoPen);
            painter.setBrush(halo);
            painter.drawRect(QRectF(b.x - 1, b.y, b.w + 2, b.h));
            QColor ink(0, 0, 0);
            ink.setAlphaF(static_cast<float>(alpha));
            painter.setPen(ink);
            painter.drawText(QPointF(b.x, b.y + ascent), text);
            ++labelsDrawn_;
        }
    }
    painter.restore();
}

} // namespace viewer
