#include "viewer/MapPicture.h"

#if __has_include("resources/Resources.h")
#include "resources/Resources.h"
#define KORVANTA_HAVE_RESOURCES 1
#endif

#include <QBitmap>
#include <QPainter>
#include <QPolygon>

namespace viewer {

QImage FromPalette(const geo::PaletteImage& p) {
    QImage img(p.width, p.height, QImage::Format_RGB32);
    for (int y = 0; y < p.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < p.width; ++x)
            line[x] = 0xFF000000u | geo::Palette[p.at(x, y) & 0x0F];
    }
    return img;
}

geo::PaletteImage ToPalette(const QImage& source) {
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    geo::PaletteImage p(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            p.set(x, y, geo::NearestPaletteIndex(line[x] & 0xFFFFFFu));
    }
    return p;
}

void ReduceToPalette(QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const uint32_t rgb = line[x] & 0xFFFFFFu;
            line[x] = 0xFF000000u | geo::Palette[geo::NearestPaletteIndex(rgb)];
        }
    }
}

namespace {

// Fallback marker figures (black on white) while the resource pictures are missing.
QPixmap DrawnMarker(bool turned) {
    QImage img(29, 29, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    const QPoint c(14, 14);
    for (int q = 0; q < 4; ++q) {
        p.save();
        p.translate(c);
        p.rotate(q * 90 + (turned ? 0 : 45));
        const QPoint tip(0, -4);
        QPolygon head;
        head << tip << QPoint(-5, -11) << QPoint(5, -11);
        p.drawPolygon(head);
        if (turned) p.drawRect(-2, -14, 4, 3);
        p.restore();
    }
    p.drawLine(12, 14, 16, 14);
    p.drawLine(14, 12, 14, 16);
    p.end();
    QPixmap pix = QPixmap::fromImage(img);
    pix.setMask(pix.createMaskFromColor(Qt::white));
    return pix;
}

} // namespace

QPixmap MarkerPicture(bool turned) {
#ifdef KORVANTA_HAVE_RESOURCES
    QImage img(turned ? QString::fromLatin1(res::Dx45MarkerPath)
                      : QString::fromLatin1(res::DxMarkerPath));
    if (!img.isNull()) {
        QPixmap pix = QPixmap::fromImage(img.convertToFormat(QImage::Format_RGB32));
        pix.setMask(pix.createMaskFromColor(Qt::white));
        return pix;
    }
#endif
    return DrawnMarker(turned);
}

QImage BlankTemplate() {
#ifdef KORVANTA_HAVE_RESOURCES
    QImage img(QString::fromLatin1(res::BackgroundPath));
    if (!img.isNull() && img.width() == geo::MapSize && img.height() == geo::MapSize) {
        img = img.convertToFormat(QImage::Format_RGB32);
        ReduceToPalette(img);
        return img;
    }
#endif
    return FromPalette(geo::BlankBackground());
}

} // namespace viewer
