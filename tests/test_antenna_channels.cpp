// The three rotator channels with real sockets on 127.0.0.1: a real
// `rotctld -m 1`, a rotctld stand-in for the exact command lines and hostile
// answers, and UDP stand-ins for the PstRotator-style and N1MM-style channels.
#include "AntennaPeers.h"
#include "FakeRotctld.h"

#include "link/RotatorChannels.h"
#include "link/RotatorLink.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

struct Recorder {
    QList<RotatorPort::Problem> problems;
    QList<std::optional<double>> headings;
    void attach(RotatorPort& port) {
        port.failed = [this](RotatorPort::Problem p, const QString&) { problems.append(p); };
        port.headingChanged = [this](std::optional<double> h) { headings.append(h); };
    }
    std::optional<double> heading() const {
        return headings.isEmpty() ? std::nullopt : headings.last();
    }
};

} // namespace

class AntennaChannelsTest : public QObject {
    Q_OBJECT
  private slots:
    // The real dummy rotator: a turn is accepted, the heading poll follows the
    // antenna as it moves, stop and park are accepted.
    void realRotctldTurnsAndReportsItsHeading() {
        DummyRotctld rotctld;
        if (!rotctld.start()) QSKIP("rotctld (libhamlib-utils) is not installed");
        RotatorLink link(nullptr, 2000, 200);
        Recorder r;
        r.attach(link);
        QSignalSpy turned(&link, &RotatorLink::turned);
        QSignalSpy headings(&link, &RotatorLink::headingReported);
        link.setup({QStringLiteral("ROTCTLD"), rotctld.address(), {}});
        link.watch(true);
        link.turn(60);
        QTRY_COMPARE_WITH_TIMEOUT(turned.count(), 1, 10000);
        QCOMPARE(turned.first().first().toInt(), 60);
        // The dummy moves at a finite speed: several headings on the way.
        QTRY_VERIFY_WITH_TIMEOUT(r.heading() && std::abs(*r.heading() - 60) < 1, 30000);
        QVERIFY(headings.count() >= 2);
        link.turn(200);
        QTRY_COMPARE_WITH_TIMEOUT(turned.count(), 2, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(r.heading() && *r.heading() > 61, 10000);
        link.stop();
        link.park(std::nullopt);
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy(), 10000);
        QVERIFY(r.problems.isEmpty());
        link.watch(false);
        QCOMPARE(r.heading(), std::nullopt); // unknown while not watched
    }

    void rotctldCommandLinesAreExact() {
        FakeRotctld fake;
        QVERIFY(fake.listen());
        RotatorLink link;
        link.setup(
            {QStringLiteral("ROTCTLD"), QStringLiteral("127.0.0.1:%1").arg(fake.port()), {}});
        link.turn(237);
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy(), 10000);
        link.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy(), 10000);
        link.park(std::nullopt);
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy(), 10000);
        link.park(90);
        QTRY_VERIFY_WITH_TIMEOUT(!link.busy(), 10000);
        QCOMPARE(fake.commands, QByteArray("P 237 0\nS\nK\nP 90 0\n"));
        // The poll: "p", answered with azimuth and elevation.
        Recorder r;
        r.attach(link);
        fake.answer = "123.000000\n0.000000\n";
        link.watch(true);
        QTRY_COMPARE_WITH_TIMEOUT(r.heading(), std::optional<double>(123), 10000);
        QVERIFY(fake.commands.endsWith("p\n"));
    }

    // Garbage, a huge line and silence: every call returns at once, the event
    // loop keeps running, and a failure is told once.
    void hostileRotctldNeverBlocks_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("garbage") << QByteArray("\x01\x02 nonsense\nRPRT x\n-inf\n");
        QTest::newRow("huge line") << QByteArray(100000, 'A');
        QTest::newRow("silence") << QByteArray();
        QTest::newRow("nul bytes") << QByteArray(5000, '\0');
    }
    void hostileRotctldNeverBlocks() {
        QFETCH(QByteArray, answer);
        FakeRotctld fake;
        fake.answer = answer;
        QVERIFY(fake.listen());
        RotatorLink link(nullptr, 500, 100);
        Recorder r;
        r.attach(link);
        link.setup(
            {QStringLiteral("ROTCTLD"), QStringLiteral("127.0.0.1:%1").arg(fake.port()), {}});
        QElapsedTimer t;
        t.start();
        link.watch(true);
        for (int i = 0; i < 20; ++i)
            link.turn(i * 10);
        QVERIFY(t.elapsed() < 200);
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(!r.problems.isEmpty(), 10000);
        QTest::qWait(1200);
        QVERIFY(ticks > 20);            // the loop kept running
        QCOMPARE(r.problems.size(), 1); // told once, tried again quietly
        QCOMPARE(r.heading(), std::nullopt);
    }

    void pstDatagramsAreExactAndTheAnswerIsHeard() {
        UdpStandIn pst;
        QVERIFY(pst.bindPair());
        PstRotatorLink link(nullptr, 100, 3);
        Recorder r;
        r.attach(link);
        link.setup({QStringLiteral("PST"), pst.address(), {}});
        link.turn(123);
        link.turn(360);
        link.stop();
        link.park(std::nullopt);
        link.park(90);
        QTRY_COMPARE_WITH_TIMEOUT(pst.got.size(), 5, 5000);
        QCOMPARE(pst.got, QList<QByteArray>(
                              {"<PST><AZIMUTH>123</AZIMUTH></PST>",
                               "<PST><AZIMUTH>0</AZIMUTH></PST>", "<PST><STOP>1</STOP></PST>",
                               "<PST><PARK>1</PARK></PST>", "<PST><AZIMUTH>90</AZIMUTH></PST>"}));
        pst.got.clear();
        link.watch(true);
        QTRY_VERIFY_WITH_TIMEOUT(pst.got.contains("<PST>AZ?</PST>"), 5000);
        // Garbage first, then the answer, on port + 1.
        pst.sendTo(pst.port() + 1, QByteArray(3000, 'x'));
        pst.sendTo(pst.port() + 1, "AZ:nan\r");
        pst.sendTo(pst.port() + 1, "AZ:245\r");
        QTRY_COMPARE_WITH_TIMEOUT(r.heading(), std::optional<double>(245), 5000);
        QVERIFY(r.problems.isEmpty());
        // Then silence: "no answer" once, the heading unknown.
        QTRY_COMPARE_WITH_TIMEOUT(r.problems.size(), 1, 5000);
        QCOMPARE(r.problems.first(), RotatorPort::Problem::NoAnswer);
        QCOMPARE(r.heading(), std::nullopt);
        QTest::qWait(600);
        QCOMPARE(r.problems.size(), 1);
    }

    void n1mmDatagramsAreExactAndTheBroadcastIsHeard() {
        UdpStandIn rotor;
        QVERIFY(rotor.bind());
        UdpStandIn broadcaster;
        QVERIFY(broadcaster.bind());
        const quint16 headingPort = FreeTcpPort();
        N1mmRotatorLink link(nullptr, headingPort);
        Recorder r;
        r.attach(link);
        link.setup({QStringLiteral("N1MM"), rotor.address(), QStringLiteral("Tower")});
        link.turn(55);
        link.stop();
        QTRY_COMPARE_WITH_TIMEOUT(rotor.got.size(), 2, 5000);
        QCOMPARE(rotor.got.at(0),
                 QByteArray("<N1MMRotor><rotor>Tower</rotor><goazi>55.0</goazi><offset>0.0</offset>"
                            "<bidirectional>0</bidirectional><freqband>14</freqband></N1MMRotor>"));
        QCOMPARE(rotor.got.at(1), QByteArray("<N1MMRotor><stop><rotor>Tower</rotor><freqband>14"
                                             "</freqband></stop></N1MMRotor>"));
        link.park(std::nullopt); // no park of its own: told, nothing sent
        QCOMPARE(r.problems, QList<RotatorPort::Problem>{RotatorPort::Problem::NoPark});
        link.watch(true);
        // Another program may listen on the same port (the rotor program
        // broadcasts; a unicast test datagram reaches only one of them).
        {
            QUdpSocket other;
            QVERIFY(other.bind(QHostAddress::AnyIPv4, headingPort,
                               QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
        }
        broadcaster.sendTo(headingPort, "Other @ 100");
        broadcaster.sendTo(headingPort, "garbage");
        broadcaster.sendTo(headingPort, "Tower @ 3595");
        QTRY_COMPARE_WITH_TIMEOUT(r.heading(), std::optional<double>(359.5), 5000);
        QCOMPARE(r.headings.size(), 1);
        QTest::qWait(200);
        QCOMPARE(rotor.got.size(), 2); // listens only
    }

    void switchChoosesTheChannelAndItsDefaultPort() {
        RotatorSwitch sw(nullptr, FreeTcpPort());
        sw.setup({QStringLiteral("PST"), QStringLiteral("127.0.0.1"), {}});
        auto* pst = qobject_cast<PstRotatorLink*>(sw.channelObject());
        QVERIFY(pst);
        QCOMPARE(pst->peer().port(), quint16(12000));
        sw.setup({QStringLiteral("N1MM"), QStringLiteral("127.0.0.1"), QStringLiteral("X")});
        auto* n1mm = qobject_cast<N1mmRotatorLink*>(sw.channelObject());
        QVERIFY(n1mm);
        QCOMPARE(n1mm->peer().port(), quint16(12040));
        sw.setup({QStringLiteral("bogus"), QStringLiteral("127.0.0.1"), {}});
        QVERIFY(qobject_cast<RotatorLink*>(sw.channelObject()));
        // A bad address is told, never sent.
        QList<RotatorPort::Problem> problems;
        sw.failed = [&](RotatorPort::Problem p, const QString&) { problems.append(p); };
        sw.setup({QStringLiteral("PST"), QStringLiteral("no such:host:1"), {}});
        sw.turn(10);
        QCOMPARE(problems, QList<RotatorPort::Problem>{RotatorPort::Problem::BadAddress});
    }
};

QTEST_MAIN(AntennaChannelsTest)
#include "test_antenna_channels.moc"
