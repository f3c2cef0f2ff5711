// The antenna console with a hub of its own and the fake platform: which
// designations turn the antenna, the gate, the commands of the Antenna menu,
// the heading field and the map layer, the settings dialog, and the heading
// of each real channel (rotctld -m 1, PST and N1MM stand-ins) reaching the
// field and the needle.
#include "AntennaPeers.h"
#include "FakePlatform.h"

#include "app/AppState.h"
#include "dialogs/RotatorSettings.h"
#include "link/RotatorChannels.h"
#include "viewer/AntennaConsole.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QtTest>

#include <memory>

using azlink::DesignationReason;

namespace {

azlink::Designation Made(DesignationReason reason, const char* bearing, bool longPath = false) {
    azlink::Designation d;
    d.reason = reason;
    d.bearing = bearing;
    d.longPath = longPath;
    return d;
}

// A window like the viewer's: a menu bar with a help menu, a client area
// with a 600-pixel map.
struct Host {
    FakePlatform platform;
    AppState app;
    QMainWindow window;
    QWidget* client = nullptr;
    QLabel* map = nullptr;
    std::unique_ptr<viewer::ViewerHub> hub;
    viewer::AntennaConsole* console = nullptr;
    explicit Host(bool on = true) {
        app.LanguageCode = QStringLiteral("E");
        app.extra.RotatorOn = on;
        window.menuBar()->addMenu(QStringLiteral("&File"));
        window.menuBar()->addMenu(QStringLiteral("?"));
        client = new QWidget;
        client->setFixedSize(934, 652);
        window.setCentralWidget(client);
        map = new QLabel(client);
        map->setGeometry(0, 0, 600, 600);
        hub = std::make_unique<viewer::ViewerHub>(platform, app);
    }
    void build() {
        console = new viewer::AntennaConsole(*hub, window.menuBar(), client, map);
        window.show();
    }
    QStringList& commands() { return platform.recordingRotator.commands; }
    QString field() const { return console->StaticTextHeading->text(); }
};

} // namespace

class AntennaConsoleTest : public QObject {
    Q_OBJECT
  private slots:
    void designationsTurnOnlyByTheirReason_data() {
        QTest::addColumn<int>("reason");
        QTest::addColumn<QStringList>("expected");
        const QStringList one{"turn 76"};
        QTest::newRow("pointer click") << int(DesignationReason::PointerClick) << one;
        QTest::newRow("long-path click") << int(DesignationReason::LongPathClick) << one;
        QTest::newRow("Enter in CALL") << int(DesignationReason::CallEnter) << one;
        QTest::newRow("row chosen") << int(DesignationReason::ListRowChosen) << one;
        QTest::newRow("spot chosen") << int(DesignationReason::SpotChosen) << one;
        QTest::newRow("command") << int(DesignationReason::Command) << one;
        QTest::newRow("typing") << int(DesignationReason::LookupTyping) << QStringList();
        QTest::newRow("row moved") << int(DesignationReason::ListRowMoved) << QStringList();
        QTest::newRow("activation") << int(DesignationReason::ActivationRefresh) << QStringList();
    }
    void designationsTurnOnlyByTheirReason() {
        QFETCH(int, reason);
        QFETCH(QStringList, expected);
        Host h;
        h.build();
        h.hub->Designate(Made(DesignationReason(reason), "76"));
        QCOMPARE(h.commands(), expected);
        // Twice the same target: sent once.
        h.hub->Designate(Made(DesignationReason(reason), "76"));
        QCOMPARE(h.commands(), expected);
    }

    void typingACallSendsNothingUntilEnter() {
        Host h;
        h.build();
        for (const char* b : {"80", "77", "76", "71", "76"})
            h.hub->Designate(Made(DesignationReason::LookupTyping, b));
        QCOMPARE(h.commands(), QStringList());
        h.hub->Designate(Made(DesignationReason::CallEnter, "76"));
        QCOMPARE(h.commands(), QStringList{"turn 76"});
    }

    void gateAndTurnMinimum_data() {
        QTest::addColumn<double>("turnMin");
        QTest::addColumn<QStringList>("bearings");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("2 degrees") << 2.0 << QStringList{"100", "101", "102", "103", "103"}
                                   << QStringList{"turn 100", "turn 103"};
        QTest::newRow("off") << 0.0 << QStringList{"100", "101", "101", "100"}
                             << QStringList{"turn 100", "turn 101", "turn 100"};
        QTest::newRow("across north")
            << 2.0 << QStringList{"359", "1", "3"} << QStringList{"turn 359", "turn 3"};
    }
    void gateAndTurnMinimum() {
        QFETCH(double, turnMin);
        QFETCH(QStringList, bearings);
        QFETCH(QStringList, expected);
        Host h;
        h.app.extra.TurnMin = turnMin;
        h.build();
        for (const QString& b : bearings)
            h.hub->Designate(Made(DesignationReason::PointerClick, b.toLatin1().constData()));
        QCOMPARE(h.commands(), expected);
    }

    void menuCommandsAndShortcuts() {
        Host h;
        h.app.extra.ParkAzimuth = QStringLiteral("90");
        h.build();
        viewer::AntennaConsole& c = *h.console;
        QCOMPARE(c.MenuAntenna->objectName(), QString("MenuAntenna"));
        QCOMPARE(c.MenuAntenna->title(), QString("&Antenna"));
        const QList<QAction*> bar = h.window.menuBar()->actions();
        QCOMPARE(bar.indexOf(c.MenuAntenna->menuAction()), 1); // before the help menu
        struct Item {
            QAction* a;
            const char* caption;
            QKeySequence key;
        };
        for (const Item& i :
             {Item{c.MenuShortPath, "Turn to the short path", QKeySequence("Ctrl+J")},
              Item{c.MenuLongPath, "Turn to the long path", QKeySequence("Ctrl+L")},
              Item{c.MenuStop, "Stop the rotator", QKeySequence("Ctrl+K")},
              Item{c.MenuPark, "Park the antenna", QKeySequence()},
              Item{c.MenuRotatorSettings, "Rotator settings…", QKeySequence()},
              Item{c.MenuRotator, "Turn the rotator", QKeySequence()}}) {
            QCOMPARE(i.a->text().remove('&'), QString::fromUtf8(i.caption));
            QCOMPARE(i.a->shortcut(), i.key);
        }
        QVERIFY(!c.MenuShortPath->isEnabled()); // nothing designated yet
        h.hub->Designate(Made(DesignationReason::PointerClick, "76"));
        QVERIFY(c.MenuShortPath->isEnabled());
        // The long path of the last designation, then back to the short path.
        h.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        QTest::keyClick(&h.window, Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(&h.window, Qt::Key_L, Qt::ControlModifier); // the same target
        QTest::keyClick(&h.window, Qt::Key_J, Qt::ControlModifier);
        QTest::keyClick(&h.window, Qt::Key_K, Qt::ControlModifier);
        c.MenuPark->trigger();
        QCOMPARE(h.commands(), QStringList({"turn 76", "turn 256", "turn 76", "stop", "park 90"}));
        QCOMPARE(c.layer().target(), std::optional<int>(90));
        h.app.extra.ParkAzimuth.clear();
        c.MenuPark->trigger();
        QCOMPARE(h.commands().last(), QString("park"));
        // Off: the commands do nothing and are greyed out.
        c.MenuRotator->trigger();
        QVERIFY(!h.app.extra.RotatorOn && !h.platform.recordingRotator.watching);
        QVERIFY(!c.MenuStop->isEnabled());
        h.hub->Designate(Made(DesignationReason::PointerClick, "10"));
        QCOMPARE(h.commands().size(), 6);
    }

    void rightClickTurnsToTheLongPath() {
        Host h;
        h.build();
        QTest::mouseClick(h.map, Qt::RightButton, {}, QPoint(400, 200)); // 45 degrees
        QCOMPARE(h.commands(), QStringList{"turn 225"});
        const azlink::Designation* d = h.hub->lastDesignation();
        QVERIFY(d && d->longPath && d->reason == DesignationReason::LongPathClick);
        QTest::mouseClick(h.map, Qt::RightButton, {}, QPoint(2, 2)); // outside the disc
        QCOMPARE(h.commands().size(), 1);
    }

    void headingReachesTheFieldAndTheLayer() {
        Host h;
        h.build();
        QCOMPARE(h.console->StaticTextHeading->accessibleName(), QString("Antenna heading"));
        QVERIFY(h.console->StaticTextHeading->isVisible());
        QCOMPARE(h.field(), QString());
        h.platform.recordingRotator.headingChanged(123.4);
        QCOMPARE(h.field(), QString("123°"));
        QCOMPARE(h.console->layer().heading(), std::optional<double>(123.4));
        h.platform.recordingRotator.headingChanged(359.6);
        QCOMPARE(h.field(), QString("0°"));
        h.platform.recordingRotator.headingChanged(std::nullopt);
        QCOMPARE(h.field(), QString());
        QVERIFY(!h.console->layer().heading());
        // Failures: a notice, no box, above the centre caption's strip.
        h.platform.recordingRotator.failed(RotatorPort::Problem::Error, "-1");
        QVERIFY(h.console->LabelRotatorNotice->isVisible());
        QVERIFY(h.console->LabelRotatorNotice->geometry().bottom() < 585);
        QVERIFY(h.platform.boxes.isEmpty());
    }

    // Needle solid, target dashed, beam hatched: told apart without colour.
    void layerDrawsNeedleBeamAndDashedTarget() {
        viewer::AntennaLayer layer;
        layer.SetOn(true);
        layer.SetHeading(90);
        layer.SetTarget(180);
        layer.SetBeamWidth(40);
        QImage img(600, 600, QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        layer.Paint(p, geo::MapFrame());
        p.end();
        auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 80; };
        int needle = 0, target = 0, beam = 0;
        for (int r = 20; r < 250; ++r) {
            needle += dark(300 + r, 300);
            target += dark(300, 300 + r);
            beam += qGray(img.pixel(300 + r, 300 - r / 5)) < 250 ? 1 : 0; // inside the wedge
        }
        QVERIFY(needle > 220);                   // solid
        QVERIFY(target > 60 && target < 200);    // dashed
        QVERIFY(beam > 10 && beam < needle / 2); // hatched
        // The whole layer scales with the export.
        QImage big(2400, 2400, QImage::Format_ARGB32);
        big.fill(Qt::white);
        QPainter bp(&big);
        layer.Paint(bp, geo::MapFrame().Resized(2400));
        bp.end();
        QVERIFY(qGray(big.pixel(1200 + 800, 1200)) < 80);
    }

    void settingsDialogChecksAndStores() {
        Host h;
        h.build();
        h.console->OpenSettings();
        TRotatorSettings* d = h.console->settingsDialog();
        QVERIFY(d);
        d->ComboKind->setCurrentIndex(1); // PST: the default port follows
        QCOMPARE(d->EditAddress->text(), QString("localhost:12000"));
        d->EditAddress->setText("bad host:x");
        d->accept();
        QVERIFY(d->isVisible() && d->LabelProblem->isVisible());
        d->EditAddress->setText("192.0.2.7");
        d->EditPark->setText("400");
        d->accept();
        QVERIFY(d->isVisible());
        d->EditPark->setText("180");
        d->accept();
        QCOMPARE(h.app.extra.RotatorKind, QString("PST"));
        QCOMPARE(h.app.extra.RotatorAddress, QString("192.0.2.7:12000"));
        QCOMPARE(h.app.extra.ParkAzimuth, QString("180"));
        QCOMPARE(h.platform.recordingRotator.current.kind, QString("PST"));
        QVERIFY(h.commands().isEmpty()); // a return from a dialog sends nothing
    }

    // Each real channel's heading reaches the field and the needle.
    void realChannelsHeading_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("rotctld -m 1") << "ROTCTLD";
        QTest::newRow("PST") << "PST";
        QTest::newRow("N1MM") << "N1MM";
    }
    void realChannelsHeading() {
        QFETCH(QString, kind);
        DummyRotctld rotctld;
        UdpStandIn peer;
        const quint16 broadcastPort = FreeTcpPort();
        RotatorSwitch sw(nullptr, broadcastPort);
        Host h;
        h.platform.rotatorPort = &sw;
        h.app.extra.RotatorKind = kind;
        h.app.extra.RotatorName = QStringLiteral("Tower");
        if (kind == "ROTCTLD") {
            if (!rotctld.start()) QSKIP("rotctld (libhamlib-utils) is not installed");
            h.app.extra.RotatorAddress = rotctld.address();
        } else {
            QVERIFY(peer.bindPair());
            h.app.extra.RotatorAddress = peer.address();
        }
        h.build();
        h.hub->Designate(Made(DesignationReason::CallEnter, "40"));
        if (kind == "ROTCTLD") {
            QTRY_COMPARE_WITH_TIMEOUT(h.field(), QString("40°"), 30000);
        } else if (kind == "PST") {
            QTRY_VERIFY_WITH_TIMEOUT(peer.got.contains("<PST>AZ?</PST>"), 5000);
            QVERIFY(peer.got.contains("<PST><AZIMUTH>40</AZIMUTH></PST>"));
            peer.sendTo(peer.port() + 1, "AZ:40\r");
            QTRY_COMPARE_WITH_TIMEOUT(h.field(), QString("40°"), 5000);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(!peer.got.isEmpty(), 5000);
            QVERIFY(peer.got.first().contains("<goazi>40.0</goazi>"));
            peer.sendTo(broadcastPort, "Tower @ 400");
            QTRY_COMPARE_WITH_TIMEOUT(h.field(), QString("40°"), 5000);
        }
        QCOMPARE(h.console->layer().heading().value_or(-1), 40.0);
        QVERIFY(h.console->layer().active());
        delete h.console; // detaches from the switch before it goes
    }
};

QTEST_MAIN(AntennaConsoleTest)
#include "test_antenna_console.moc"
