// The map layers at every frame: the locator grid's lines stay thin and its
// names sharp from the 600-pixel map to the 4800-pixel export, the grey line
// shades the same places at every size (a large frame band by band), the
// poster carries the grid as vectors, and korvanta-render draws both
// overlays at every size and on the poster.
#include "app/Poster.h"
#include "geo/Inverse.h"
#include "geo/MapFrame.h"
#include "geo/Position.h"
#include "geo/Sun.h"
#include "viewer/LocatorGridLayer.h"
#include "viewer/MapOverlays.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <optional>
#include <vector>

namespace {

const geo::LatLon Paris{48.85L, 2.35L};

// How far a pixel is from white (0: white; about 420: the grid's full colour).
int Darkness(QRgb c) {
    return (255 - qRed(c)) + (255 - qGreen(c)) + (255 - qBlue(c));
}

QImage White(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// The pixels across a nearly vertical line through (x, y) that the line
// darkens, looking `reach` pixels to either side.
int WidthAcross(const QImage& img, double x, double y, int reach) {
    const int row = static_cast<int>(std::floor(y + 0.5));
    int from = -1, to = -1;
    for (int dx = -reach; dx <= reach; ++dx) {
        const int col = static_cast<int>(std::floor(x + 0.5)) + dx;
        if (col < 0 || col >= img.width()) continue;
        if (Darkness(img.pixel(col, row)) > 60) {
            if (from < 0) from = col;
            to = col;
        }
    }
    return from < 0 ? 0 : to - from + 1;
}

// The images a PDF carries: width x height of each image object.
std::vector<QSize> PdfImages(const QByteArray& pdf) {
    std::vector<QSize> out;
    static const QRegularExpression image(
        QStringLiteral(R"(/Subtype\s*/Image[^>]*?/Width\s+(\d+)[^>]*?/Height\s+(\d+))"));
    auto it = image.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        const auto m = it.next();
        out.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
    }
    return out;
}

} // namespace

class LayersTest : public QObject {
    Q_OBJECT
  private slots:
    void gridLinesStayThinAtEverySize_data() {
        QTest::addColumn<int>("size");
        for (int size : {600, 1200, 2400, 4800})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void gridLinesStayThinAtEverySize() {
        QFETCH(int, size);
        // The export's own painting: the grid layer at the picture's frame.
        const QImage map =
            viewer::MapWithOverlays(White(size), Paris.lat, Paris.lon, std::nullopt, true);
        const geo::MapFrame frame(Paris.lat, Paris.lon, size);
        // The field boundary at 0 degrees of longitude runs nearly north-south
        // south of Paris; between 22 and 25 N it lies over 2500 km from the
        // centre (no square lines there), clear of the parallel at 20 N and
        // 10 degrees from the nearest field names.
        for (double lat : {22.0, 23.5, 25.0}) {
            const auto at = frame.Project(lat, 0.0);
            QVERIFY(at);
            const int width = WidthAcross(map, at->p.x, at->p.y, 6);
            QVERIFY2(width >= 1 && width <= 3,
                     qPrintable(QStringLiteral("%1 px wide at %2 N").arg(width).arg(lat)));
        }
        // Outside the disc the export stays as it was.
        QCOMPARE(map.pixel(1, 1), QColor(Qt::white).rgb());
    }

    void namesGrowSlowerThanTheMap() {
        // 10 px at 600, sharp and readable at 4800 without filling the fields.
        QCOMPARE(viewer::LocatorGridLayer::LabelPixelSize(600), 10);
        QCOMPARE(viewer::LocatorGridLayer::LabelPixelSize(2400), 20);
        QCOMPARE(viewer::LocatorGridLayer::LabelPixelSize(4800), 28);
        QCOMPARE(viewer::LocatorGridLayer::FieldLineWidth(600), 1.0);
        QCOMPARE(viewer::LocatorGridLayer::FieldLineWidth(4800), 1.5);
    }

    // The grid's names on regional and whole-world frames: none cut by the
    // rim, none touching another, each naming the place under its middle.
    void gridNamesStayWholeAndApart_data() {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("km");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("squares");
        QTest::newRow("whole world") << 48.854166 << 2.375 << 0.0 << 600 << 0;
        QTest::newRow("250 km") << 48.854166 << 2.375 << 250.0 << 600 << 5;
        QTest::newRow("100 km, 4800 px") << 48.854166 << 2.375 << 100.0 << 4800 << 1;
        QTest::newRow("date line, 500 km, 2400 px") << -18.14 << 179.95 << 500.0 << 2400 << 10;
    }
    void gridNamesStayWholeAndApart() {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(double, km);
        QFETCH(int, size);
        QFETCH(int, squares);
        const geo::MapFrame frame = geo::MapFrame::WithRangeKm(lat, lon, size, km);
        const auto names = viewer::LocatorGridLayer::NamesFor(frame);
        QVERIFY(!names.empty());
        const double r = frame.radius();
        int squareNames = 0;
        for (size_t i = 0; i < names.size(); ++i) {
            const QRectF& b = names[i].box;
            for (const QPointF& c : {b.topLeft(), b.topRight(), b.bottomLeft(), b.bottomRight()})
                QVERIFY2(std::hypot(c.x() - r, c.y() - r) <= r, qPrintable(names[i].text));
            for (size_t j = 0; j < i; ++j)
                QVERIFY2(!names[j].box.intersects(b),
                         qPrintable(names[i].text + QStringLiteral(" / ") + names[j].text));
            const auto at = frame.PositionAt(b.center().x() - 0.5, b.center().y() - 0.5);
            QVERIFY(at);
            const QString loc = QString::fromStdString(geo::EncodeLocator(at->lat, at->lon));
            const QString want = names[i].level == 2   ? loc.mid(4, 2)
                                 : names[i].level == 1 ? loc.left(4)
                                                       : loc.left(2);
            QCOMPARE(names[i].text, want);
            squareNames += names[i].level == 1;
        }
        QVERIFY2(squareNames >= squares, qPrintable(QString::number(squareNames)));
        if (squares == 0) QCOMPARE(squareNames, 0);
    }

    void greyLineShadesTheSamePlacesAtEverySize_data() {
        QTest::addColumn<int>("size");
        // 600 and 1200 are kept between paints; 3000 and 4800 are shaded in bands.
        for (int size : {600, 1200, 3000, 4800})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void greyLineShadesTheSamePlacesAtEverySize() {
        QFETCH(int, size);
        const geo::UnixSeconds t = geo::UnixTime(2026, 12, 21, 18);
        const QImage map = viewer::MapWithOverlays(White(size), Paris.lat, Paris.lon, t, false);
        const geo::MapFrame frame(Paris.lat, Paris.lon, size);
        const geo::SunPosition sun = geo::SunAt(t);
        const auto sunAt = frame.Project(sun.subsolarLat, sun.subsolarLon);
        int samples = 0, wrong = 0;
        for (int j = 1; j < 40; ++j)
            for (int i = 1; i < 40; ++i) {
                const int x = i * size / 40, y = j * size / 40;
                const auto p = frame.PositionAt(x, y);
                if (!p) continue;
                if (sunAt && std::hypot(x - sunAt->p.x, y - sunAt->p.y) < size / 20.0) continue;
                const geo::Daylight d =
                    geo::DaylightAt(sun, static_cast<double>(p->lat), static_cast<double>(p->lon));
                ++samples;
                if ((Darkness(map.pixel(x, y)) > 0) != (d != geo::Daylight::Day)) ++wrong;
            }
        QVERIFY(samples > 1000);
        // A sample on the terminator itself may fall either way.
        QVERIFY2(wrong <= 3, qPrintable(QString::number(wrong)));
    }

    void thePostersGridIsVector() {
        // The poster with the grid: no picture but the map's; with the grey
        // line: one more, the shading, at the frame's own size.
        QTemporaryDir dir;
        poster::Content content;
        content.map = White(1200);
        content.centreText = QStringLiteral("48°51' N / 2°21' E");
        content.locator = QStringLiteral("JN18EU");
        content.languageCode = QStringLiteral("E");
        viewer::MapOverlays overlays(1200);
        overlays.SetCentre(Paris.lat, Paris.lon);
        content.layers = &overlays.layers();
        content.frame = overlays.frame();
        const struct {
            bool greyLine, grid;
            int images; // at least, with the grey line
        } cases[] = {{false, false, 1}, {false, true, 1}, {true, true, 2}};
        qint64 plainSize = 0;
        for (const auto& c : cases) {
            overlays.SetGreyLine(c.greyLine);
            overlays.SetTime(geo::UnixTime(2026, 6, 21, 18));
            overlays.SetLocatorGrid(c.grid);
            const QString path = dir.filePath(QStringLiteral("poster.pdf"));
            QVERIFY(poster::WritePdf(path, poster::Paper::A4, content).isEmpty());
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray pdf = f.readAll();
            const std::vector<QSize> images = PdfImages(pdf);
            // The map, and with the grey line its shading (and its soft mask),
            // each at the frame's size; the grid adds no picture.
            if (c.greyLine)
                QVERIFY(static_cast<int>(images.size()) >= c.images);
            else
                QCOMPARE(static_cast<int>(images.size()), c.images);
            for (const QSize& s : images)
                QCOMPARE(s, QSize(1200, 1200));
            if (!c.greyLine && !c.grid) plainSize = pdf.size();
            // The grid's lines and names are drawn: the page grows.
            if (c.grid && !c.greyLine) QVERIFY(pdf.size() > plainSize + 2000);
        }
    }

    void renderDrawsTheOverlaysAtEverySizeAndOnThePoster_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        const QString grey = QStringLiteral("--greyline=2026-06-21T18:00Z");
        QTest::newRow("fill 1200 grid")
            << QStringList{"--fill", "--size", "1200", "--grid"} << QStringLiteral("a.png");
        QTest::newRow("fill 300 both")
            << QStringList{"--fill", "--size", "300", "--grid", grey} << QStringLiteral("b.png");
        QTest::newRow("poster both")
            << QStringList{"--pdf", "--size", "600", "--grid", grey} << QStringLiteral("c.pdf");
    }
    void renderDrawsTheOverlaysAtEverySizeAndOnThePoster() {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QString out = dir.filePath(file);
        QProcess render;
        render.start(QStringLiteral(KORVANTA_RENDER),
                     QStringList{"--locator", "JN18EU", "-o", out} + args);
        QVERIFY(render.waitForFinished(120000));
        QCOMPARE(render.exitCode(), 0);
        QVERIFY(QFile::exists(out));
        if (file.endsWith(QLatin1String(".png"))) {
            const QImage img(out);
            QCOMPARE(img.width(), args.at(args.indexOf(QStringLiteral("--size")) + 1).toInt());
        }
    }
};

QTEST_MAIN(LayersTest)
#include "test_layers.moc"
