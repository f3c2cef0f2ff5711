// Regional maps in the real viewer: a range read from korvanta.ini drawn at
// the first centre, the readouts, the click's position, the DX marker, the
// axes, circles and caption, the exports and a new centre, all at the
// regional frame. The same program runs again with QT_SCALE_FACTOR=2: the
// pictures are then drawn at the screen's pixels.
#include "FakePlatform.h"

#include "app/MapExport.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "geo/Position.h"
#include "viewer/ScaleBarLayer.h"
#include "viewer/UnitAzimut.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

// The first two numbers of a readout text ("Azimuth = 90° / Range = 250 km").
QList<int> Numbers(const QString& text) {
    QList<int> out;
    QString digits;
    for (QChar c : text + QLatin1Char(' ')) {
        if (c.isDigit()) {
            digits += c;
        } else if (!digits.isEmpty()) {
            out << digits.toInt();
            digits.clear();
        }
    }
    return out;
}

void MoveOver(QWidget* w, int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// One start of the program with RANGE= in its settings, the map centred on
// Paris by a new map as the generator sets it.
struct Run {
    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};

    explicit Run(const QString& range = QStringLiteral("500"), bool fillGaps = false,
                 bool wait = true) {
        platform.folder = dir.path();
        QDir::setCurrent(dir.path());
        QStringList lines = {"[KORVANTA]", "LANGUAGE=ENGLISH"};
        if (!range.isEmpty()) lines << "RANGE=" + range;
        QVERIFY2(settings::WriteSettingsFile(dir.path(), lines).isEmpty(), "korvanta.ini");
        program.app.SettingsExisted = true;
        CreateForms(program);
        program.app.extra.FillGaps = fillGaps;
        NewMap(48.85L, 2.35L);
        viewer()->show();
        // A range of the settings: the viewer opens on the whole world and
        // turns to the range once the data read in the background is in.
        if (!range.isEmpty() && wait && !WaitForRange()) qWarning("the regional map did not come");
    }
    ~Run() { DestroyForms(program); }

    bool WaitForRange() {
        return QTest::qWaitFor([this] { return !frame().wholeWorld(); }, 20000);
    }

    // A new map at a centre, as the generator hands it over.
    void NewMap(geo::Real lat, geo::Real lon) {
        program.app.pos.CentreLat = lat;
        program.app.pos.CentreLon = lon;
        program.app.pos.CentreText = geo::FormatPosition(lat, lon);
        viewer()->SetMap(viewer()->BlankMap());
    }
    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    const geo::MapFrame& frame() const { return viewer()->hub().frame(); }
    QAction* action(const char* name) const { return viewer()->findChild<QAction*>(name); }
    QImage shown() const { return viewer()->ImageAzimut->pixmap().toImage(); }
    double ratio() const { return viewer()->ImageAzimut->devicePixelRatioF(); }
    // A pixel of the shown picture at map pixel (x, y).
    QRgb shownAt(int x, int y) const {
        const QImage s = shown();
        const double r = s.devicePixelRatio();
        return s.pixel(static_cast<int>(x * r), static_cast<int>(y * r));
    }
    viewer::ScaleBarLayer* scaleBar() const {
        for (viewer::MapLayer* l : viewer()->hub().layers().layers())
            if (auto* bar = dynamic_cast<viewer::ScaleBarLayer*>(l)) return bar;
        return nullptr;
    }
    QPoint markerCentre() const { return viewer()->ImageDX->geometry().topLeft() + QPoint(14, 14); }
};

// The great-circle distance on the 40,000 km sphere of the readouts.
double Km(double lat1, double lon1, double lat2, double lon2) {
    const double rad = 3.14159265358979323846 / 180;
    const double h = std::pow(std::sin((lat2 - lat1) * rad / 2), 2) +
                     std::cos(lat1 * rad) * std::cos(lat2 * rad) *
                         std::pow(std::sin((lon2 - lon1) * rad / 2), 2);
    return 2 * std::asin(std::sqrt(h)) * 40000 / (2 * 3.14159265358979323846);
}

bool Red(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

} // namespace

class TestRangeViewer : public QObject {
    Q_OBJECT

  private slots:
    void savedRangeIsDrawnOnceTheDataIsIn() {
        Run run(QStringLiteral("500"), false, false);
        // Open at once on the whole world, the range ticked.
        QVERIFY(run.frame().wholeWorld());
        QVERIFY(run.action("MenuRange500")->isChecked());
        QVERIFY(!run.scaleBar()->active());
        QVERIFY(run.WaitForRange());
        QVERIFY(!run.frame().wholeWorld());
        QVERIFY(std::abs(run.frame().rangeKm() - 500) < 1e-6);
        QCOMPARE(run.frame().size(), geo::MapSize);
        QCOMPARE(run.frame().centreLat(), geo::Real(48.85L));
        QVERIFY(run.action("MenuRange500")->isChecked());
        // At the screen's own pixels.
        const QImage s = run.shown();
        QCOMPARE(s.width(), qRound(geo::MapSize * run.ratio()));
        QCOMPARE(s.devicePixelRatio(), run.ratio());
        QVERIFY(run.scaleBar() && run.scaleBar()->active());
        QCOMPARE(run.scaleBar()->Label(run.frame()), QStringLiteral("200 km"));
        // Back to the whole world: the classic map, no scale bar.
        run.action("MenuRangeWhole")->trigger();
        QVERIFY(run.frame().wholeWorld());
        QCOMPARE(run.shown().width(), geo::MapSize);
        QVERIFY(!run.scaleBar()->active());
        QCOMPARE(run.program.app.extra.RangeKm, 0.0);
    }

    void readoutsAndClickFollowTheFrame_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("bearing");
        QTest::addColumn<int>("km");
        // 500 km to the rim, 300 px: 5/3 km a pixel.
        QTest::newRow("east 150 px") << 450 << 300 << 90 << 250;
        QTest::newRow("north 150 px") << 300 << 150 << 0 << 250;
        QTest::newRow("south-west") << 150 << 450 << 225 << 354;
        QTest::newRow("near the rim") << 300 << 3 << 0 << 495;
    }
    void readoutsAndClickFollowTheFrame() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, bearing);
        QFETCH(int, km);
        Run run;
        TFormAzimut* v = run.viewer();
        MoveOver(v->ImageAzimut, x, y);
        const QList<int> n = Numbers(v->StaticTextAzim->text());
        QCOMPARE(n.size(), 2);
        QVERIFY2(std::abs(n[0] - bearing) <= 1, qPrintable(v->StaticTextAzim->text()));
        QVERIFY2(std::abs(n[1] - km) <= 1, qPrintable(v->StaticTextAzim->text()));
        // The position field names the place under the pointer, whose
        // great-circle distance from the centre is the readout's.
        const auto at = run.frame().PositionAt(x, y);
        QVERIFY(at);
        const double d =
            Km(48.85, 2.35, static_cast<double>(at->lat), static_cast<double>(at->lon));
        QVERIFY2(std::abs(d - km) <= 2, qPrintable(QString::number(d)));
        QVERIFY(!v->StaticTextPosition->text().isEmpty());
        // A click designates that place.
        azlink::Designation last;
        QObject::connect(&v->hub(), &viewer::ViewerHub::designated,
                         [&last](const azlink::Designation& d) { last = d; });
        v->ImageAzimutClick();
        QVERIFY(last.lat && last.lon);
        QVERIFY(std::abs(*last.lat - static_cast<double>(at->lat)) < 1e-9);
    }

    void aNewRangeReadsThePointerAgain() {
        Run run;
        TFormAzimut* v = run.viewer();
        MoveOver(v->ImageAzimut, 450, 300);
        QCOMPARE(Numbers(v->StaticTextAzim->text()).value(1), 250);
        // Farther (1,000 km) without moving the mouse: the same pixel, twice as far.
        run.action("MenuRangeFarther")->trigger();
        QCOMPARE(Numbers(v->StaticTextAzim->text()).value(1), 500);
        QVERIFY(run.action("MenuRange1000")->isChecked());
        run.action("MenuRangeCloser")->trigger();
        run.action("MenuRangeCloser")->trigger();
        QCOMPARE(Numbers(v->StaticTextAzim->text()).value(1), 125);
    }

    void theMarkerFollowsTheRange() {
        Run run;
        TFormAzimut* v = run.viewer();
        auto request = [&](double lat, double lon) {
            azlink::Designation d;
            d.reason = azlink::DesignationReason::SpotChosen;
            d.lat = lat;
            d.lon = lon;
            v->hub().RequestDesignation(d);
        };
        // London, 344 km from Paris: inside the 500 km rim.
        request(51.507, -0.128);
        const auto london = run.frame().Project(51.507, -0.128);
        QVERIFY(london);
        QVERIFY(v->ImageDX->isVisibleTo(v));
        QVERIFY((run.markerCentre() - QPoint(qRound(london->p.x), qRound(london->p.y)))
                    .manhattanLength() <= 1);
        QVERIFY(v->TimerDX->isActive());
        // Closer (250 km): London lies beyond the rim; the readouts still tell.
        run.action("MenuRangeCloser")->trigger();
        QVERIFY(!v->ImageDX->isVisibleTo(v));
        QVERIFY(!v->ImageDX45->isVisibleTo(v));
        QVERIFY(!v->TimerDX->isActive());
        QCOMPARE(Numbers(v->StaticTextAzim->text()).value(1), 344);
        // Farther again: it comes back where the frame puts it.
        run.action("MenuRangeFarther")->trigger();
        QVERIFY(v->TimerDX->isActive());
        QVERIFY((run.markerCentre() - QPoint(qRound(london->p.x), qRound(london->p.y)))
                    .manhattanLength() <= 1);
        // Tokyo: beyond the rim at once; on the whole world at its classic place.
        request(35.68, 139.69);
        QVERIFY(!v->ImageDX->isVisibleTo(v));
        QVERIFY(!v->TimerDX->isActive());
        run.action("MenuRangeWhole")->trigger();
        QVERIFY(v->TimerDX->isActive());
        const auto tokyo = run.frame().Project(35.68, 139.69);
        QVERIFY(tokyo);
        QVERIFY((run.markerCentre() - QPoint(qRound(tokyo->p.x), qRound(tokyo->p.y)))
                    .manhattanLength() <= 2);
        // A pointer movement ends the marker for good: a range change keeps it away.
        MoveOver(v->ImageAzimut, 100, 100);
        run.action("MenuRange10000")->trigger();
        QVERIFY(!v->TimerDX->isActive());
        QVERIFY(!v->ImageDX->isVisibleTo(v));
    }

    void axesCirclesAndCaptionOnTheRegionalMap() {
        Run run;
        TFormAzimut* v = run.viewer();
        QVERIFY(!Red(run.shownAt(300, 50)));
        v->MenuAxesClick();
        QVERIFY(Red(run.shownAt(300, 50)));  // the north axis
        QVERIFY(Red(run.shownAt(500, 300))); // the east axis
        v->MenuDistancesClick();
        // The middle circle, 150 px out, at 30 degrees.
        bool red = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                red = red || Red(run.shownAt(375 + dx, 170 + dy));
        QVERIFY(red);
        // The caption's white box in the lower left corner.
        QCOMPARE(run.shownAt(4, 590), qRgb(255, 255, 255));
        // A new map at the same range: the drawings go with the old map.
        run.NewMap(43.3L, 5.37L); // Marseille
        QVERIFY(!Red(run.shownAt(300, 50)));
        QVERIFY(std::abs(run.frame().rangeKm() - 500) < 1e-6);
    }

    void newCentresKeepTheRange_data() {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::newRow("coast (Boston)") << 42.36 << -71.06;
        QTest::newRow("date line (Suva)") << -18.14 << 178.44;
        QTest::newRow("near a pole (Longyearbyen)") << 78.22 << 15.65;
        QTest::newRow("the pole itself") << 90.0 << 0.0;
    }
    void newCentresKeepTheRange() {
        QFETCH(double, lat);
        QFETCH(double, lon);
        Run run(QStringLiteral("2500"));
        const QImage before = run.shown();
        run.NewMap(static_cast<geo::Real>(lat), static_cast<geo::Real>(lon));
        QVERIFY(std::abs(run.frame().rangeKm() - 2500) < 1e-6);
        QCOMPARE(static_cast<double>(run.frame().centreLon()), lon);
        QVERIFY(run.shown() != before);
        // Showing the window again (the activation refresh) keeps it.
        run.viewer()->hide();
        run.viewer()->show();
        QVERIFY(std::abs(run.frame().rangeKm() - 2500) < 1e-6);
    }

    void exportsAreTheRegionalMap() {
        Run run;
        TFormAzimut* v = run.viewer();
        const QString small = run.dir.filePath("r600.png");
        const QString large = run.dir.filePath("r1200.png");
        QVERIFY(v->ExportTo({false, 600, poster::Paper::A4}, small));
        QVERIFY(v->ExportTo({false, 1200, poster::Paper::A4}, large));
        const QImage a = QImage(small).convertToFormat(QImage::Format_RGB32);
        const QImage b = QImage(large).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(a.size(), QSize(600, 600));
        QCOMPARE(b.size(), QSize(1200, 1200));
        // The upper half (the scale bar is at the bottom) is the regional map
        // of the frame at each size.
        const QImage map600 = mapexport::ToImage(mapexport::FrameMap(run.frame()))
                                  .convertToFormat(QImage::Format_RGB32);
        const QImage map1200 = mapexport::ToImage(mapexport::FrameMap(run.frame().Resized(1200)))
                                   .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(a.copy(0, 0, 600, 300), map600.copy(0, 0, 600, 300));
        QCOMPARE(b.copy(0, 0, 1200, 600), map1200.copy(0, 0, 1200, 600));
        // The scale bar is in both (white on the black corner).
        auto anyWhite = [](const QImage& img, QRect r) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (img.pixel(x, y) == qRgb(255, 255, 255)) return true;
            return false;
        };
        QVERIFY(anyWhite(a, QRect(15, 540, 100, 35)));
        QVERIFY(anyWhite(b, QRect(30, 1080, 200, 70)));
    }

    void wholeWorldGapFreeIsSharpOnDenseScreens() {
        Run run(QString(), true);
        QVERIFY(run.frame().wholeWorld());
        const QImage s = run.shown();
        if (run.ratio() > 1) {
            // Drawn again at the screen's pixels, the caption on it.
            QCOMPARE(s.width(), qRound(geo::MapSize * run.ratio()));
            QCOMPARE(run.shownAt(4, 590), qRgb(255, 255, 255));
        } else {
            QCOMPARE(s.width(), geo::MapSize);
            QCOMPARE(s, run.viewer()->mapPicture().convertToFormat(s.format()));
        }
        // A classic map (not gap-free) is shown as it is.
        run.program.app.extra.FillGaps = false;
        run.NewMap(10.0L, 20.0L);
        QCOMPARE(run.shown().width(), geo::MapSize);
    }
};

QTEST_MAIN(TestRangeViewer)
#include "test_range_viewer.moc"
