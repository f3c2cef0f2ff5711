// The live stations inside the real viewer: their layer is one of the
// viewer's hub layers, and a spot chosen in the list (a designation request)
// is shown as a DX row is (readouts, marker) and designated with the
// request's reason, which the local azimuth server publishes.
#include "FakePlatform.h"

#include "app/Program.h"
#include "app/Settings.h"
#include "link/Designation.h"
#include "viewer/LiveStations.h"
#include "viewer/SpotLayer.h"
#include "viewer/UnitAzimut.h"
#include "viewer/ViewerHub.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using azlink::DesignationReason;

namespace {

// One start of the program with the country-file excerpt, the map centred
// on Paris, every designation recorded.
struct Run {
    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};
    std::vector<azlink::Designation> designations;
    std::vector<azlink::Designation> requests;

    Run() {
        platform.folder = dir.path();
        QDir::setCurrent(dir.path());
        const QString cty = dir.filePath("cty.dat");
        QFile::copy(QStringLiteral(KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat"), cty);
        const QStringList lines = {"[KORVANTA]", "LANGUAGE=ENGLISH", "CTYFILE=" + cty};
        QVERIFY2(settings::WriteSettingsFile(dir.path(), lines).isEmpty(), "korvanta.ini");
        program.app.SettingsExisted = true;
        CreateForms(program);
        // A map centred on Paris, as a new map sets the hub's frame.
        program.app.pos.CentreLat = 48.85L;
        program.app.pos.CentreLon = 2.35L;
        viewer()->hub().SetFrame(geo::MapFrame(48.85L, 2.35L, geo::MapSize));
        viewer()->show();
        QObject::connect(&viewer()->hub(), &viewer::ViewerHub::designated,
                         [this](const azlink::Designation& d) { designations.push_back(d); });
        QObject::connect(&viewer()->hub(), &viewer::ViewerHub::designationRequested,
                         [this](const azlink::Designation& d) { requests.push_back(d); });
    }
    ~Run() { DestroyForms(program); }

    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
};

// The first number of a readout text ("Azimuth: 164°  ...").
int FirstNumber(const QString& text) {
    QString digits;
    for (QChar c : text) {
        if (c.isDigit())
            digits += c;
        else if (!digits.isEmpty())
            break;
    }
    return digits.toInt();
}

} // namespace

class TestLiveInViewer : public QObject {
    Q_OBJECT
  private slots:
    void theLayerIsTheViewers() {
        Run run;
        viewer::LiveStations* live = run.viewer()->LiveStations;
        QVERIFY(live);
        const auto& layers = run.viewer()->hub().layers().layers();
        QCOMPARE(std::count(layers.begin(), layers.end(), &live->layer()), 1);
        // The component follows the viewer's frame: a spot is placed from it.
        live->TakeClusterLine("DX de G4XYZ: 21025.0 EA6AB up 1303Z");
        QVERIFY(live->layer().active());
        QVERIFY(run.viewer()->hub().layers().anyActive());
        const live::Spot* s = live->store().Find("EA6AB", "15m");
        QVERIFY(s);
        QVERIFY(s->bearing > 150 && s->bearing < 180);
    }

    void aChosenSpotIsShownAndDesignated_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("lat");
        QTest::addColumn<int>("lowBearing");
        QTest::addColumn<int>("highBearing");
        QTest::newRow("Balearic Islands") << QByteArray("DX de G4XYZ: 21025.0 EA6AB up 1303Z")
                                          << QStringLiteral("EA6AB\t15m") << 39.6 << 150 << 180;
        QTest::newRow("United States") << QByteArray("DX de G4XYZ: 14025.0 K1ABC cq 1302Z")
                                       << QStringLiteral("K1ABC\t20m") << 37.6 << 270 << 330;
    }

    void aChosenSpotIsShownAndDesignated() {
        QFETCH(QByteArray, line);
        QFETCH(QString, key);
        QFETCH(double, lat);
        QFETCH(int, lowBearing);
        QFETCH(int, highBearing);
        Run run;
        viewer::LiveStations* live = run.viewer()->LiveStations;
        live->TakeClusterLine(line);
        const QStringList publishedBefore = run.platform.recordingServer.published;
        live->Choose(key);
        QCOMPARE(run.requests.size(), std::size_t(1));
        QCOMPARE(run.designations.size(), std::size_t(1));
        const azlink::Designation& d = run.designations.front();
        QCOMPARE(d.reason, DesignationReason::SpotChosen);
        QVERIFY(d.lat && d.lon);
        QCOMPARE(*d.lat, *run.requests.front().lat);
        QCOMPARE(*d.lon, *run.requests.front().lon);
        QVERIFY(std::abs(*d.lat - lat) < 0.01);
        const int bearing = std::stoi(d.bearing);
        QVERIFY2(bearing >= lowBearing && bearing <= highBearing, d.bearing.c_str());
        // The component's bearing and the viewer's agree (within rounding).
        QVERIFY(std::abs(bearing - std::stoi(run.requests.front().bearing)) <= 1);
        // Shown as a DX row: the readout, the marker, the point.
        QCOMPARE(FirstNumber(run.viewer()->StaticTextAzim->text()), bearing);
        // The list's distance is the readout's.
        const QString readout = run.viewer()->StaticTextAzim->text();
        const QString afterBearing = readout.mid(readout.indexOf(QLatin1Char('/')));
        const live::Spot* spot =
            live->store().Find(key.section(QLatin1Char('\t'), 0, 0).toStdString(),
                               key.section(QLatin1Char('\t'), 1).toStdString());
        QVERIFY(spot);
        QCOMPARE(FirstNumber(afterBearing), static_cast<int>(std::lround(spot->km)));
        QCOMPARE(run.viewer()->DxAzimText, run.viewer()->StaticTextAzim->text());
        QVERIFY(!run.viewer()->ImageDX->isHidden());
        QVERIFY(std::abs(static_cast<double>(run.program.app.pos.PointLat) - lat) < 0.01);
        // Published as azlink::Publishes says.
        QVERIFY(azlink::Publishes(DesignationReason::SpotChosen));
        QCOMPARE(run.platform.recordingServer.published,
                 publishedBefore + QStringList{QString::fromStdString(d.bearing)});
        QCOMPARE(run.viewer()->hub().lastDesignation()->reason, DesignationReason::SpotChosen);
    }

    void aRequestWithoutAPlaceIsIgnored() {
        Run run;
        azlink::Designation d;
        d.reason = DesignationReason::SpotChosen;
        d.bearing = "90";
        run.viewer()->hub().RequestDesignation(d);
        QVERIFY(run.designations.empty());
        QVERIFY(run.viewer()->ImageDX->isHidden());
        // A spot without a place never makes a request at all.
        run.viewer()->LiveStations->TakeClusterLine("DX de G4XYZ: 21025.0 QQ1QQ nowhere 1303Z");
        run.viewer()->LiveStations->Choose(QStringLiteral("QQ1QQ\t15m"));
        QCOMPARE(run.requests.size(), std::size_t(1));
        QVERIFY(run.designations.empty());
    }
};

QTEST_MAIN(TestLiveInViewer)
#include "test_live_inviewer.moc"
