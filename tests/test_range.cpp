// The range component (viewer/RangeComponent.h) with a hub of its own and
// the fake platform: the menu's items and texts in three languages and two
// units, Closer and Farther, the frame it sets, the picture it hands over
// (at the screen's resolution), RANGE= kept, and a failure to draw.
#include "FakePlatform.h"
#include "app/AppState.h"
#include "viewer/RangeComponent.h"
#include "viewer/ScaleBarLayer.h"
#include "viewer/ViewerHub.h"

#include <QMenu>
#include <QWidget>
#include <QtTest>

#include <stdexcept>

class TestRange : public QObject {
    Q_OBJECT

    struct Rig {
        FakePlatform platform;
        AppState app;
        viewer::ViewerHub hub{platform, app};
        QWidget window;
        QMenu options;
        double unit = 1.0;
        QList<QImage> shown;
        QList<geo::MapFrame> drawn;
        bool fail = false;
        bool sharpWorld = false;
        viewer::RangeComponent* range = nullptr;

        explicit Rig(double savedKm = 0, const QString& language = QStringLiteral("E")) {
            app.LanguageCode = language;
            app.extra.RangeKm = savedKm;
            hub.SetFrame(geo::MapFrame(48.85, 2.35));
            viewer::RangeComponent::Callbacks callbacks;
            callbacks.show = [this](const QImage& m) { shown.append(m); };
            callbacks.unitKm = [this] { return unit; };
            callbacks.wholeWorldSharp = [this] { return sharpWorld; };
            callbacks.draw = [this](const geo::MapFrame& f) {
                if (fail) throw std::runtime_error("no data here");
                drawn.append(f);
                QImage img(f.size(), f.size(), QImage::Format_RGB32);
                img.fill(Qt::blue);
                return img;
            };
            range = new viewer::RangeComponent(hub, &options, &window, std::move(callbacks));
        }
        QAction* action(const QString& name) { return options.findChild<QAction*>(name); }
    };

  private slots:
    void menuItemsAndTexts_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<double>("unit");
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("closer");
        QTest::newRow("English, km") << "E" << 1.0 << "&Whole world"
                                     << "10,000 km"
                                     << "&Closer";
        QTest::newRow("French, km")
            << "F" << 1.0 << "&Monde entier" << QString::fromUtf8("10\u202F000 km") << "Plus &près";
        QTest::newRow("Spanish, miles") << "S" << 1.609344 << "&Mundo entero"
                                        << "10.000 mi"
                                        << "Más &cerca";
    }
    void menuItemsAndTexts() {
        QFETCH(QString, language);
        QFETCH(double, unit);
        QFETCH(QString, whole);
        QFETCH(QString, first);
        QFETCH(QString, closer);
        Rig r(0, language);
        r.unit = unit;
        r.range->Retranslate();
        QCOMPARE(r.action("MenuRangeWhole")->text(), whole);
        QVERIFY(r.action("MenuRangeWhole")->isChecked());
        QCOMPARE(r.action("MenuRange10000")->text(), first);
        QCOMPARE(r.action("MenuRange100")->text(), unit == 1.0 ? "100 km" : "100 mi");
        QCOMPARE(r.action("MenuRangeCloser")->text(), closer);
        QCOMPARE(r.action("MenuRangeCloser")->shortcut(), QKeySequence(QKeySequence::ZoomIn));
        QCOMPARE(r.action("MenuRangeFarther")->shortcut(), QKeySequence(QKeySequence::ZoomOut));
        for (const char* name : {"MenuRangeWhole", "MenuRange500", "MenuRangeCloser"})
            QVERIFY(!r.action(name)->property("accessibleName").toString().isEmpty());
        QVERIFY(r.shown.isEmpty()); // nothing drawn at the start on the whole world
    }

    void choosingARangeSetsTheFrameAndDraws_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<double>("unit");
        QTest::addColumn<double>("km");
        QTest::newRow("500 km") << "MenuRange500" << 1.0 << 500.0;
        QTest::newRow("100 km") << "MenuRange100" << 1.0 << 100.0;
        QTest::newRow("10,000 km") << "MenuRange10000" << 1.0 << 10000.0;
        QTest::newRow("250 miles") << "MenuRange250" << 1.609344 << 402.336;
    }
    void choosingARangeSetsTheFrameAndDraws() {
        QFETCH(QString, item);
        QFETCH(double, unit);
        QFETCH(double, km);
        Rig r;
        r.unit = unit;
        r.action(item)->trigger();
        QCOMPARE(r.app.extra.RangeKm, km);
        QVERIFY(qAbs(r.hub.frame().rangeKm() - km) < 1e-6);
        QCOMPARE(r.hub.frame().size(), 600);
        QCOMPARE(r.hub.frame().centreLat(), geo::Real(48.85));
        QCOMPARE(r.shown.size(), 1);
        QCOMPARE(r.shown.last().width(), qRound(600 * r.window.devicePixelRatioF()));
        QVERIFY(r.action(item)->isChecked());
        QVERIFY(!r.action("MenuRangeWhole")->isChecked());
        // The scale bar is a layer of the hub, in the viewer's unit.
        QCOMPARE(r.hub.layers().layers().size(), size_t(1));
        auto* bar = dynamic_cast<viewer::ScaleBarLayer*>(r.hub.layers().layers().front());
        QVERIFY(bar);
        QCOMPARE(bar->unitKm(), unit == 1.0 ? 1.0 : 1.609344);
        QVERIFY(bar->BarPixels(r.hub.frame()) > 0);
        QVERIFY(bar->Label(r.hub.frame()).endsWith(unit == 1.0 ? " km" : " mi"));
        // Back to the whole world: the viewer's own map again.
        r.action("MenuRangeWhole")->trigger();
        QVERIFY(r.shown.last().isNull());
        QVERIFY(r.hub.frame().wholeWorld());
        QCOMPARE(r.app.extra.RangeKm, 0.0);
    }

    void closerAndFarther() {
        Rig r;
        const QList<double> closer = {10000, 5000, 2500, 1000, 500, 250, 100, 100};
        for (double km : closer) {
            r.action("MenuRangeCloser")->trigger();
            QCOMPARE(r.range->rangeKm(), km);
        }
        const QList<double> farther = {250, 500, 1000, 2500, 5000, 10000, 0, 0};
        for (double km : farther) {
            r.action("MenuRangeFarther")->trigger();
            QCOMPARE(r.range->rangeKm(), km);
        }
        // From a range of the settings between two items.
        QCOMPARE(viewer::CloserRangeKm(700, 1.0), 500.0);
        QCOMPARE(viewer::FartherRangeKm(700, 1.0), 1000.0);
        QCOMPARE(viewer::CloserRangeKm(0, 1.609344), 16093.44);
    }

    void savedRangeAndNewCentre() {
        Rig r(2500);
        QCOMPARE(r.range->rangeKm(), 2500.0);
        QVERIFY(r.action("MenuRange2500")->isChecked());
        // Nothing is drawn at the start: the first centre the viewer sets is.
        QCOMPARE(r.shown.size(), 0);
        QVERIFY(r.hub.frame().wholeWorld());
        r.range->Refresh();
        QCOMPARE(r.shown.size(), 1);
        QVERIFY(qAbs(r.hub.frame().rangeKm() - 2500) < 1e-6);
        // Nothing more while nothing changes.
        r.range->Refresh();
        QCOMPARE(r.shown.size(), 1);
        // The viewer moves to a new centre (its whole-world frame): drawn again.
        r.hub.SetFrame(geo::MapFrame(-18.1, 179.9));
        QCOMPARE(r.shown.size(), 2);
        QCOMPARE(r.hub.frame().centreLon(), geo::Real(179.9));
        QVERIFY(qAbs(r.hub.frame().rangeKm() - 2500) < 1e-6);
        QCOMPARE(r.drawn.last().centreLat(), geo::Real(-18.1));
    }

    void failureToDrawIsToldAndLeavesTheWholeWorld() {
        Rig r;
        r.fail = true;
        r.action("MenuRange500")->trigger();
        QCOMPARE(r.platform.boxes.size(), 1);
        QCOMPARE(r.platform.lastText(), QStringLiteral("no data here"));
        QVERIFY(r.hub.frame().wholeWorld());
        QCOMPARE(r.app.extra.RangeKm, 0.0);
        QVERIFY(r.action("MenuRangeWhole")->isChecked());
    }
};

QTEST_MAIN(TestRange)
#include "test_range.moc"
