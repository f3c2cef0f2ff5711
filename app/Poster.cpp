#include "app/Poster.h"

#include "app/ExportTexts.h"
#include "app/MapExport.h"
#include "geo/Inverse.h"
#include "geo/RegionalMap.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <cmath>

namespace poster {

std::optional<Paper> PaperFromName(const QString& name) {
    for (Paper p : {Paper::A4, Paper::A3, Paper::Letter, Paper::Tabloid})
        if (name.compare(PaperName(p), Qt::CaseInsensitive) == 0) return p;
    return std::nullopt;
}

QString PaperName(Paper paper) {
    switch (paper) {
    case Paper::A4:
        return QStringLiteral("A4");
    case Paper::A3:
        return QStringLiteral("A3");
    case Paper::Letter:
        return QStringLiteral("Letter");
    case Paper::Tabloid:
        return QStringLiteral("Tabloid");
    }
    return {};
}

QPageSize PageSizeOf(Paper paper) {
    switch (paper) {
    case Paper::A4:
        return QPageSize(QPageSize::A4);
    case Paper::A3:
        return QPageSize(QPageSize::A3);
    case Paper::Letter:
        return QPageSize(QPageSize::Letter);
    case Paper::Tabloid:
        return QPageSize(QPageSize::Tabloid);
    }
    return QPageSize(QPageSize::A4);
}

Content ContentFor(geo::Real lat, geo::Real lon, const QString& languageCode, geo::Real unitFactor,
                   const std::function<void(int, int)>& progress) {
    return ContentFor(geo::MapFrame(lat, lon, PosterMapSize), languageCode, unitFactor, progress);
}

Content ContentFor(const geo::MapFrame& frame, const QString& languageCode, geo::Real unitFactor,
                   const std::function<void(int, int)>& progress) {
    const geo::Real lat = frame.centreLat();
    const geo::Real lon = frame.centreLon();
    Content c;
    c.map = mapexport::ToImage(frame.wholeWorld()
                                   ? mapexport::GapFreeMap(lat, lon, frame.size(), progress)
                                   : mapexport::FrameMap(frame));
    c.frame = frame;
    c.centreText = QString::fromStdString(geo::FormatPosition(lat, lon));
    c.locator = QString::fromStdString(geo::EncodeLocator(lat, lon));
    c.languageCode = languageCode;
    c.unitFactor = unitFactor;
    return c;
}

namespace {

QFont PosterFont(double pixels, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

} // namespace

QRectF BearingLabelBox(const QPointF& centre, double rim, int bearing, const QSizeF& size,
                       double gap) {
    const double pi = 3.14159265358979323846;
    const double a = bearing * pi / 180;
    const double sx = std::sin(a);
    const double sy = -std::cos(a);
    // Every point p of the box then has p . (sx, sy) >= rim + gap: the box
    // lies beyond the tangent to that circle, so no corner dips into the rim.
    const double r = rim + gap + std::abs(sx) * size.width() / 2 + std::abs(sy) * size.height() / 2;
    const QPointF at = centre + QPointF(sx * r, sy * r);
    return QRectF(at.x() - size.width() / 2, at.y() - size.height() / 2, size.width(),
                  size.height());
}

void Paint(QPainter& p, const QRectF& page, double k, const Content& c) {
    const QString lang = c.languageCode;
    const bool miles = c.unitFactor != 1;
    const QString unit = miles ? QStringLiteral(" miles") : QStringLiteral(" km");
    const double margin = 28 * k;
    const QRectF inner = page.adjusted(margin, margin, -margin, -margin);

    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    p.setPen(Qt::black);

    // Title and centre line.
    // The title names the locator, the line below it the position.
    const QString title = ExportTr(ExportText::PosterTitle, lang).arg(c.locator);
    p.setFont(PosterFont(16 * k, true));
    const double titleHeight = QFontMetricsF(p.font()).height();
    p.drawText(QRectF(inner.left(), inner.top(), inner.width(), titleHeight), Qt::AlignCenter,
               title);
    p.setFont(PosterFont(10 * k));
    const double lineHeight = QFontMetricsF(p.font()).height();
    const QString centreLine = ExportTr(ExportText::PosterCentre, lang).arg(c.centreText);
    p.drawText(QRectF(inner.left(), inner.top() + titleHeight + 4 * k, inner.width(), lineHeight),
               Qt::AlignCenter, centreLine);

    // Footer: the scale and the program.
    double step = miles ? 2000 : 2500; // circle step in the unit
    const double rangeKm = c.frame.rangeKm();
    const double rimDistance = rangeKm / static_cast<double>(c.unitFactor);
    // A regional map: about four to eight circles of a round length.
    if (!c.frame.wholeWorld())
        step = geo::NiceScaleLength(1.0, static_cast<double>(c.unitFactor), rangeKm / 4);
    const QString scale = ExportTr(ExportText::PosterScale, lang)
                              .arg(QString::number(step, 'f', 0) + unit,
                                   QString::number(std::round(rimDistance), 'f', 0) + unit);
    p.setFont(PosterFont(8 * k));
    const double footHeight = QFontMetricsF(p.font()).height();
    p.drawText(QRectF(inner.left(), inner.bottom() - footHeight, inner.width(), footHeight),
               Qt::AlignLeft | Qt::AlignVCenter, scale);
    p.drawText(QRectF(inner.left(), inner.bottom() - footHeight, inner.width(), footHeight),
               Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Korvanta") +
                   (c.version.isEmpty() ? QString() : QStringLiteral(" V") + c.version) +
                   QStringLiteral(" — Tovak"));

    // The map square between them, with room for the bearing labels (the
    // widest of them and a gap on either side).
    const QFont labelFont = PosterFont(9 * k, true);
    const QFontMetricsF labelMetrics(labelFont);
    const double labelGap = 3 * k;
    const double labelRoom =
        std::max(20 * k, labelMetrics.horizontalAdvance(QStringLiteral("330") + QChar(0x00B0)) +
                             2 * labelGap);
    const double top = inner.top() + titleHeight + 4 * k + lineHeight + 8 * k + labelRoom;
    const double bottom = inner.bottom() - footHeight - 6 * k - labelRoom;
    const double side = std::max(10.0, std::min(inner.width() - 2 * labelRoom, bottom - top));
    const QRectF mapRect(page.center().x() - side / 2, top + (bottom - top - side) / 2, side, side);
    const int n = std::max(1, c.map.width());
    const double px = side / n; // one picture pixel
    const QPointF centre = mapRect.topLeft() + QPointF(n / 2 + 0.5, n / 2 + 0.5) * px;
    const double rim = n / 2.0 * px; // the antipode

    // The picture, clipped to its disc (the paper stays white outside).
    QPainterPath disc;
    disc.addEllipse(centre, rim + 0.5 * px, rim + 0.5 * px);
    p.save();
    p.setClipPath(disc);
    p.drawImage(mapRect, c.map);
    if (c.layers && c.layers->anyActive()) {
        // Frame pixels onto picture pixels: the layers draw vectors (and the
        // grey line its raster) at the poster's own frame.
        const geo::MapFrame frame = c.frame.Resized(n);
        p.translate(mapRect.topLeft());
        p.scale(px, px);
        c.layers->Paint(p, frame);
    }
    p.restore();

    // Axes every 30 degrees and the distance circles, red as on screen.
    QPen red(QColor(255, 0, 0), 0.6 * k);
    p.setPen(red);
    p.setBrush(Qt::NoBrush);
    const double pi = 3.14159265358979323846;
    for (int b = 0; b < 180; b += 30) {
        const double a = b * pi / 180;
        const QPointF d(std::sin(a) * rim, -std::cos(a) * rim);
        p.drawLine(centre - d, centre + d);
    }
    p.setFont(PosterFont(7 * k));
    for (double dist = step; dist < rimDistance - step / 4; dist += step) {
        const double r = dist / rimDistance * rim;
        p.setPen(red);
        p.drawEllipse(centre, r, r);
        const QString label = QString::number(dist, 'f', 0) + unit;
        const QFontMetricsF fm(p.font());
        const QRectF box(centre.x() + 2 * k, centre.y() - r - fm.height() - 1 * k,
                         fm.horizontalAdvance(label) + 2 * k, fm.height());
        p.fillRect(box, QColor(255, 255, 255, 200));
        p.setPen(QColor(160, 0, 0));
        p.drawText(box, Qt::AlignCenter, label);
    }
    // The rim.
    p.setPen(QPen(Qt::black, 1.0 * k));
    p.drawEllipse(centre, rim, rim);

    // Bearing labels outside the rim, every 30 degrees.
    p.setPen(Qt::black);
    p.setFont(labelFont);
    for (int b = 0; b < 360; b += 30) {
        const QString label = QString::number(b) + QChar(0x00B0);
        const QSizeF size(labelMetrics.horizontalAdvance(label), labelMetrics.height());
        p.drawText(BearingLabelBox(centre, rim, b, size, labelGap), Qt::AlignCenter, label);
    }
    p.restore();
}

QString WritePdf(const QString& path, Paper paper, const Content& content) {
    // The whole document is made in memory first, then written through the
    // one safe file writer: every write checked, the data on the disk before
    // the rename, the old file left as it was on any failure (a full disk).
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly)) return QStringLiteral("the PDF cannot be started");
        QPdfWriter writer(&buffer);
        writer.setPageSize(PageSizeOf(paper));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        constexpr int Dpi = 600;
        writer.setResolution(Dpi);
        writer.setCreator(QStringLiteral("Korvanta"));
        writer.setTitle(
            ExportTr(ExportText::PosterTitle, content.languageCode).arg(content.locator));
        QPainter painter;
        if (!painter.begin(&writer)) return QStringLiteral("the PDF cannot be started");
        Paint(painter, QRectF(0, 0, writer.width(), writer.height()), Dpi / 72.0, content);
        if (!painter.end()) return QStringLiteral("the PDF cannot be finished");
    }
    return mapexport::WriteFile(path, bytes);
}

} // namespace poster
