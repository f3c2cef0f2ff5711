// The live stations component with a hub of its own and a fake platform:
// spots from a loopback cluster stand-in and a UDP sender through the real
// network ends, the layer, the list, choosing a spot, the settings.
#include "ClusterStandIn.h"
#include "FakePlatform.h"

#include "app/AppState.h"
#include "dialogs/LiveStationsDialog.h"
#include "live/LiveFeeds.h"
#include "live/Wsjtx.h"
#include "viewer/LiveStations.h"
#include "viewer/LiveTexts.h"
#include "viewer/SpotLayer.h"
#include "viewer/SpotList.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTreeWidget>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

namespace {

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// Counts the pixels that differ from white.
int Inked(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) ++n;
    return n;
}

} // namespace

class LiveViewerTest : public QObject {
    Q_OBJECT

    struct Rig {
        FakePlatform platform;
        AppState app;
        viewer::ViewerHub hub{platform, app};
        QWidget window;
        QMenu options;
        live::LiveFeeds feeds;
        std::unique_ptr<viewer::LiveStations> live;
        QList<azlink::Designation> requests;

        explicit Rig(bool realFeeds) {
            app.extra.CountryFile = KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat";
            app.LanguageCode = QStringLiteral("E");
            if (realFeeds) platform.spotFeedsPort = &feeds;
            feeds.SetRetry(50, 200);
            hub.SetFrame(geo::MapFrame(48.85L, 2.35L, 600));
            QObject::connect(&hub, &viewer::ViewerHub::designationRequested, &hub,
                             [this](const azlink::Designation& d) { requests << d; });
            live = std::make_unique<viewer::LiveStations>(hub, &options, &window);
        }
    };

  private slots:
    void clusterSpotsThroughTheComponent() {
        ClusterStandIn node;
        node.afterLogin = "Hello\r\nDX de G4XYZ:     14025.0  K1ABC        cq test   1302Z\a\a\r\n"
                          "WWV de W0MU <18Z> : SFI=150\r\n"
                          "DX de W3OA-#:    7029.0  EA6AB        CW 12 dB       1658Z\r\n";
        Rig rig(true);
        LiveSettings s = rig.live->settings();
        s.clusterOn = true;
        s.cluster = QStringLiteral("127.0.0.1:%1").arg(node.port());
        s.clusterCall = QStringLiteral("N0CALL");
        rig.live->Apply(s);
        QCOMPARE(rig.app.extra.Cluster, s.cluster);
        QTRY_COMPARE_WITH_TIMEOUT(rig.live->store().size(), std::size_t(2), 10000);
        QCOMPARE(node.call, QByteArray("N0CALL"));
        const live::Spot* k = rig.live->store().Find("K1ABC", "20m");
        QVERIFY(k);
        QCOMPARE(k->entity, std::string("United States"));
        QVERIFY(k->bearing > 270 && k->bearing < 330);
        QCOMPARE(rig.live->status(), viewer::LiveTextsFor("E").ClusterUp);
        // The node goes away: the status says so, the client tries again.
        node.close();
        QTRY_VERIFY_WITH_TIMEOUT(rig.live->status() != viewer::LiveTextsFor("E").ClusterUp, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(node.connections >= 2, 10000);
    }

    void decodesThroughTheComponent() {
        Rig rig(true);
        LiveSettings s = rig.live->settings();
        s.wsjtxOn = true;
        quint16 port;
        {
            QUdpSocket probe;
            probe.bind(QHostAddress::LocalHost, 0);
            port = probe.localPort();
        }
        s.wsjtx = QString::number(port);
        rig.live->Apply(s);
        QUdpSocket sender;
        sender.writeDatagram(Bytes(live::WsjtxWriter::Status("WSJT-X", 7074000, "FT8")),
                             QHostAddress::LocalHost, port);
        sender.writeDatagram(QByteArray(70000, 'x').left(1000), QHostAddress::LocalHost, port);
        sender.writeDatagram(
            Bytes(live::WsjtxWriter::Decode("WSJT-X", "CQ DX JA1XYZ PM95", -15, 800)),
            QHostAddress::LocalHost, port);
        QTRY_COMPARE_WITH_TIMEOUT(rig.live->store().size(), std::size_t(1), 10000);
        const live::Spot& j = rig.live->store().spots().front();
        QCOMPARE(j.call, std::string("JA1XYZ"));
        QCOMPARE(j.band, std::string("40m"));
        QCOMPARE(j.positionSource, live::PositionSource::Locator);
        QCOMPARE(rig.app.extra.WsjtxOn, true);
    }

    void listChoosesASpot() {
        Rig rig(false);
        rig.live->TakeClusterLine("DX de G4XYZ: 14025.0 K1ABC cq 1302Z");
        rig.live->TakeClusterLine("DX de G4XYZ: 21025.0 EA6AB up 1303Z");
        rig.live->TakeClusterLine("DX de G4XYZ: 21025.0 QQ1QQ nowhere 1303Z");
        rig.live->TakeDatagram(Bytes(live::WsjtxWriter::Decode("A", "CQ K1ABC FN42", -1, 100)));
        QCOMPARE(rig.live->store().size(), std::size_t(4));
        rig.live->listAction()->setChecked(true);
        rig.live->Tick();
        QTreeWidget* table = rig.live->list()->findChild<QTreeWidget*>("SpotTable");
        QVERIFY(table);
        QCOMPARE(table->topLevelItemCount(), 4);
        // Sorted by distance: EA6AB (Balearic Islands) is the nearest to Paris.
        table->sortByColumn(viewer::SpotList::Distance, Qt::AscendingOrder);
        QTreeWidgetItem* nearest = nullptr;
        for (int i = 0; i < table->topLevelItemCount(); ++i)
            if (!table->topLevelItem(i)->text(viewer::SpotList::Distance).isEmpty()) {
                nearest = table->topLevelItem(i);
                break;
            }
        QVERIFY(nearest);
        QCOMPARE(nearest->text(viewer::SpotList::Call), QStringLiteral("EA6AB"));
        QCOMPARE(nearest->text(viewer::SpotList::Entity), QStringLiteral("Balearic Islands"));
        // Enter chooses it.
        table->setCurrentItem(nearest);
        rig.live->list()->show();
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(rig.requests.size(), 1);
        QCOMPARE(rig.requests[0].reason, azlink::DesignationReason::SpotChosen);
        QVERIFY(azlink::TurnsAntenna(rig.requests[0].reason));
        const int bearing = std::stoi(rig.requests[0].bearing);
        QVERIFY(bearing > 150 && bearing < 180);
        QCOMPARE(*rig.requests[0].lat, 39.6);
        QCOMPARE(rig.live->layer().chosen(), std::string("EA6AB\t15m"));
        // A spot with no place cannot be chosen: a beep, no designation.
        rig.live->Choose(QStringLiteral("QQ1QQ\t15m"));
        QCOMPARE(rig.requests.size(), 1);
        QCOMPARE(rig.platform.beeps, 1);
        // Filters: the band, then the source.
        auto* band = rig.live->list()->findChild<QComboBox*>("SpotBandFilter");
        band->setCurrentIndex(band->findData(QStringLiteral("15m")));
        QCOMPARE(table->topLevelItemCount(), 2);
        band->setCurrentIndex(0);
        auto* source = rig.live->list()->findChild<QComboBox*>("SpotSourceFilter");
        source->setCurrentIndex(source->findData(static_cast<int>(live::SpotSource::Ft8)));
        QCOMPARE(table->topLevelItemCount(), 1);
        QCOMPARE(table->topLevelItem(0)->text(viewer::SpotList::Source), QStringLiteral("FT8"));
    }

    void spotsAgeOutAndTheLanguageChanges() {
        Rig rig(false);
        rig.live->TakeClusterLine("DX de G4XYZ: 14025.0 K1ABC cq 1302Z");
        QCOMPARE(rig.live->store().size(), std::size_t(1));
        rig.platform.utc = rig.platform.utc.addSecs(31 * 60);
        rig.live->Tick();
        QCOMPARE(rig.live->store().size(), std::size_t(0));
        rig.app.LanguageCode = QStringLiteral("F");
        rig.hub.LanguageApplied();
        QCOMPARE(rig.live->settingsAction()->text(), QStringLiteral("Stations en &direct\u2026"));
        QVERIFY(rig.options.actions().contains(rig.live->settingsAction()));
    }

    void layerDrawsMarkersAndLabelsForAnyFrame() {
        Rig rig(false);
        rig.live->TakeClusterLine("DX de G4XYZ: 14025.0 K1ABC cq 1302Z");
        rig.live->TakeClusterLine("DX de G4XYZ: 14025.0 EA6AB cq 1302Z");
        QVERIFY(rig.hub.layers().anyActive());
        QImage screen(600, 600, QImage::Format_RGB32);
        screen.fill(Qt::white);
        {
            QPainter p(&screen);
            rig.hub.layers().Paint(p, rig.hub.frame());
        }
        QCOMPARE(rig.live->layer().labelsDrawn(), 2);
        const int inkSmall = Inked(screen);
        QVERIFY(inkSmall > 50);
        // An export four times as large draws the same at its own resolution.
        QImage big(2400, 2400, QImage::Format_RGB32);
        big.fill(Qt::white);
        {
            QPainter p(&big);
            rig.hub.layers().Paint(p, rig.hub.frame().Resized(2400));
        }
        QVERIFY(Inked(big) > inkSmall * 8);
        // The layer switched off draws nothing.
        rig.live->layerAction()->setChecked(false);
        QVERIFY(!rig.hub.layers().anyActive());
    }

    void labelsNeverOverlap() {
        // Thirty spots on one locator square: one marker place, one label.
        Rig rig(false);
        for (int i = 0; i < 30; ++i)
            rig.live->TakeDatagram(Bytes(live::WsjtxWriter::Decode(
                "A", "CQ K" + std::to_string(i) + "AB FN42", -1, static_cast<std::uint32_t>(i))));
        QCOMPARE(rig.live->store().size(), std::size_t(30));
        QImage screen(600, 600, QImage::Format_RGB32);
        QPainter p(&screen);
        rig.live->layer().Paint(p, rig.hub.frame());
        QCOMPARE(rig.live->layer().labelsDrawn(), 1);
    }

    void beamAndFadeRules() {
        const struct {
            double bearing, heading, width;
            bool in;
        } beam[] = {{10, 0, 60, true},   {30, 0, 60, true},    {30.5, 0, 60, false},
                    {350, 10, 60, true}, {320, 10, 60, false}, {180, 0, 360, true},
                    {181, 1, 1, false},  {0.4, 0, 1, true}};
        for (const auto& c : beam)
            QVERIFY2(
                viewer::SpotLayer::InBeam(c.bearing, c.heading, c.width) == c.in,
                qPrintable(QStringLiteral("%1 %2 %3").arg(c.bearing).arg(c.heading).arg(c.width)));
        QCOMPARE(viewer::SpotLayer::Fade(0, 1000), 1.0);
        QCOMPARE(viewer::SpotLayer::Fade(500, 1000), 0.625);
        QCOMPARE(viewer::SpotLayer::Fade(5000, 1000), 0.25);
        QVERIFY(viewer::SpotLayer::BandColour("20m") != viewer::SpotLayer::BandColour("40m"));
        QVERIFY(viewer::SpotLayer::BandColour("17m") != viewer::SpotLayer::BandColour("15m"));
    }

    void settingsAreChecked() {
        const viewer::LiveTexts& t = viewer::LiveTextsFor("E");
        const struct {
            LiveSettings s;
            QString problem;
        } cases[] = {
            {LiveSettings{}, QString()},
            {LiveSettings{true, "dxc.example.org:7300", "N0CALL", false, "2237", 30}, QString()},
            {LiveSettings{true, "dxc.example.org", "N0CALL", false, "2237", 30},
             t.BadCluster.arg("dxc.example.org")},
            {LiveSettings{true, "dxc.example.org:7300", " ", false, "2237", 30}, t.NoCall},
            {LiveSettings{false, "junk", "", true, "239.255.0.1:2237", 30}, QString()},
            {LiveSettings{false, "", "", true, "99999", 30}, t.BadWsjtx.arg("99999")},
        };
        for (const auto& c : cases)
            QCOMPARE(LiveSettingsProblem(c.s, t), c.problem);
        // The dialog keeps itself open on a bad value and says why.
        LiveSettings bad;
        bad.clusterOn = true;
        bad.cluster = "nohost";
        LiveStationsDialog dialog(bad, t);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.findChild<QLabel*>("LiveProblem")->text(), t.BadCluster.arg("nohost"));
        QVERIFY(!dialog.findChild<QLineEdit*>("LiveCluster")->accessibleName().isEmpty());
    }
};

QTEST_MAIN(LiveViewerTest)
#include "test_live_viewer.moc"
