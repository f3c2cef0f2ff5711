// The live stations' network ends and korvanta-spots against a cluster
// stand-in and a UDP sender written here, all on loopback.
#include "ClusterStandIn.h"

#include "live/ClusterClient.h"
#include "live/UdpListener.h"
#include "live/Wsjtx.h"

#include <QProcess>
#include <QUdpSocket>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// A free UDP port of the loopback (bound and let go).
quint16 FreeUdpPort() {
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

const QByteArray SpotLines =
    "Hello N0CALL, this is NODE\r\n"
    "N0CALL de NODE  8-Dec-2026 1302Z dxspider >\r\n"
    "DX de G4XYZ:     14025.0  K1ABC        cq test                        1302Z\a\a\r\n"
    "WWV de W0MU <18Z> :   SFI=150, A=5, K=1\r\n"
    "To ALL de G4XYZ: hello all\r\n"
    "DX de W3OA-#:    7029.0  EA6AB        CW 12 dB 27 WPM CQ             1658Z\r\n";

} // namespace

class LiveNetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QProcess> spots(const QStringList& args) {
        auto p = std::make_unique<QProcess>();
        p->start(KORVANTA_SPOTS_TOOL, args);
        return p;
    }
    static bool finished(QProcess& p, int ms = 20000) {
        return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, ms);
    }

  private slots:
    void clientLogsInAndReadsLines() {
        ClusterStandIn node;
        // A megabyte without a line end between two spots, and binary junk.
        node.afterLogin = SpotLines + QByteArray(1 << 20, 'x') + "\r\n" +
                          QByteArray("\x00\xff\x01\x02", 4) +
                          "\r\nDX de K3LR: 144174.0 EA8TL JN18>FN42 ES 2359Z\r\n";
        live::ClusterClient client;
        QList<QByteArray> lines;
        connect(&client, &live::ClusterClient::lineReceived, this,
                [&](const QByteArray& l) { lines << l; });
        live::ClusterClient::Options o;
        o.host = "127.0.0.1";
        o.port = node.port();
        o.call = "N0CALL";
        client.Start(o);
        QTRY_VERIFY_WITH_TIMEOUT(lines.size() >= 10, 10000);
        QCOMPARE(node.call, QByteArray("N0CALL"));
        QVERIFY(client.loggedIn());
        QCOMPARE(lines[0], QByteArray("Welcome to the stand-in node"));
        QVERIFY(lines.contains(
            "DX de G4XYZ:     14025.0  K1ABC        cq test                        1302Z\a\a"));
        for (const QByteArray& l : lines)
            QVERIFY(l.size() <= live::ClusterClient::MaxLineBytes);
        QCOMPARE(lines.last(), QByteArray("DX de K3LR: 144174.0 EA8TL JN18>FN42 ES 2359Z"));
    }

    void clientLogsInAfterAPromptLine() {
        ClusterStandIn node;
        node.prompt = "Please enter your call:\r\n";
        node.afterLogin = "DX de G4XYZ: 14025.0 K1ABC cq 1302Z\r\n";
        live::ClusterClient client;
        QList<QByteArray> lines;
        connect(&client, &live::ClusterClient::lineReceived, this,
                [&](const QByteArray& l) { lines << l; });
        live::ClusterClient::Options o;
        o.host = "127.0.0.1";
        o.port = node.port();
        o.call = "N0CALL";
        client.Start(o);
        QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 3, 10000);
        QCOMPARE(node.call, QByteArray("N0CALL"));
    }

    void clientReconnectsWithBackOff() {
        ClusterStandIn node;
        node.closeAfterLogin = true;
        live::ClusterClient client;
        int closes = 0;
        connect(&client, &live::ClusterClient::closedByNode, this, [&] { ++closes; });
        live::ClusterClient::Options o;
        o.host = "127.0.0.1";
        o.port = node.port();
        o.call = "N0CALL";
        o.firstRetryMs = 50;
        o.maxRetryMs = 200;
        client.Start(o);
        QTRY_VERIFY_WITH_TIMEOUT(node.connections >= 3, 10000);
        QVERIFY(closes >= 2);
        client.Stop();
        QCOMPARE(client.retryDelayMs(), 0);
    }

    void clientDropsASilentNode() {
        // The node logs the client in and then says nothing, whatever it is sent.
        ClusterStandIn node;
        live::ClusterClient client;
        QString problem;
        connect(&client, &live::ClusterClient::failed, this,
                [&](const QString& p) { problem = p; });
        live::ClusterClient::Options o;
        o.host = "127.0.0.1";
        o.port = node.port();
        o.call = "N0CALL";
        o.keepAliveMs = 100;
        o.silenceLimitMs = 400;
        o.firstRetryMs = 50;
        client.Start(o);
        QTRY_VERIFY_WITH_TIMEOUT(problem.contains("silent"), 10000);
        // It tries again.
        QTRY_VERIFY_WITH_TIMEOUT(node.connections >= 2, 10000);
        client.Stop();
    }

    void clientFloodStaysBounded() {
        ClusterStandIn node;
        QByteArray flood;
        for (int i = 0; i < 100000; ++i)
            flood += "DX de G4XYZ: 14025.0 K" + QByteArray::number(i) + "AB flood 1200Z\r\n";
        node.afterLogin = flood;
        live::ClusterClient client;
        int count = 0;
        connect(&client, &live::ClusterClient::lineReceived, this,
                [&](const QByteArray&) { ++count; });
        live::ClusterClient::Options o;
        o.host = "127.0.0.1";
        o.port = node.port();
        o.call = "N0CALL";
        client.Start(o);
        QTRY_VERIFY_WITH_TIMEOUT(count >= 100001, 30000);
    }

    void clientReportsAnUnreachableNode() {
        quint16 closedPort;
        {
            QTcpServer s;
            s.listen(QHostAddress::LocalHost, 0);
            closedPort = s.serverPort();
        }
        live::ClusterClient client;
        QString problem;
        connect(&client, &live::ClusterClient::failed, this,
                [&](const QString& p) { problem = p; });
        live::ClusterClient::Options o;
        o.host = "127.0.0.1";
        o.port = closedPort;
        o.reconnect = false;
        client.Start(o);
        QTRY_VERIFY_WITH_TIMEOUT(!problem.isEmpty(), 10000);
    }

    void listenerHandsDatagramsUp() {
        live::UdpListener listener;
        const quint16 port = FreeUdpPort();
        QString error;
        QVERIFY2(listener.Start(live::UdpEndpoint{"127.0.0.1", port, false}, &error),
                 qPrintable(error));
        // A second listener shares the port.
        live::UdpListener second;
        QVERIFY2(second.Start(live::UdpEndpoint{"127.0.0.1", port, false}, &error),
                 qPrintable(error));
        // Unicast datagrams reach one of the sharing sockets.
        QList<QByteArray> got;
        connect(&listener, &live::UdpListener::datagramReceived, this,
                [&](const QByteArray& d) { got << d; });
        connect(&second, &live::UdpListener::datagramReceived, this,
                [&](const QByteArray& d) { got << d; });
        QUdpSocket sender;
        const QByteArray hb = Bytes(live::WsjtxWriter::Heartbeat("WSJT-X"));
        sender.writeDatagram(hb, QHostAddress::LocalHost, port);
        sender.writeDatagram(QByteArray(3000, '\xAD'), QHostAddress::LocalHost, port);
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 2, 10000);
        QCOMPARE(got[0], hb);
    }

    void spotsToolPrintsClusterSpotsAndEndsWhenTheNodeCloses() {
        ClusterStandIn node;
        node.afterLogin = SpotLines;
        auto p = spots({"--cluster", QStringLiteral("127.0.0.1:%1").arg(node.port()), "--login",
                        "n0call", "--from", "JN18", "--cty",
                        KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat"});
        QTRY_VERIFY_WITH_TIMEOUT(node.loggedIn, 20000);
        QCOMPARE(node.call, QByteArray("N0CALL"));
        QTest::qWait(300);
        node.close();
        QVERIFY(finished(*p));
        QCOMPARE(p->exitCode(), 0);
        const QList<QByteArray> lines = p->readAllStandardOutput().split('\n');
        QCOMPARE(lines.size(), 3); // two spots and the empty end
        const QList<QByteArray> f = lines[0].split('\t');
        QCOMPARE(f.size(), 12);
        QCOMPARE(f[1], QByteArray("cluster"));
        QCOMPARE(f[2], QByteArray("G4XYZ"));
        QCOMPARE(f[3], QByteArray("14025.0"));
        QCOMPARE(f[4], QByteArray("20m"));
        QCOMPARE(f[5], QByteArray("K1ABC"));
        QCOMPARE(f[6], QByteArray("United States"));
        QCOMPARE(f[7], QByteArray("37.60"));
        QCOMPARE(f[8], QByteArray("-91.87"));
        QVERIFY(f[9].toInt() > 270 && f[9].toInt() < 330); // north-west from Paris
        QVERIFY(f[10].toInt() > 7000 && f[10].toInt() < 8500);
        QCOMPARE(f[11], QByteArray("cq test"));
        const QList<QByteArray> g = lines[1].split('\t');
        QCOMPARE(g[5], QByteArray("EA6AB"));
        QCOMPARE(g[6], QByteArray("Balearic Islands"));
        QCOMPARE(g[4], QByteArray("40m"));
    }

    void spotsToolPrintsDecodesUntilItsTimeIsUp() {
        const quint16 port = FreeUdpPort();
        auto p = spots({"--wsjtx", QString::number(port), "--for", "3", "--cty",
                        KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat"});
        QVERIFY(p->waitForStarted(10000));
        QUdpSocket sender;
        QByteArray out;
        // Sends until the tool listens and answers, then lets its time run out.
        QVERIFY(QTest::qWaitFor(
            [&] {
                sender.writeDatagram(Bytes(live::WsjtxWriter::Status("WSJT-X", 14074000, "FT8")),
                                     QHostAddress::LocalHost, port);
                sender.writeDatagram(QByteArray("\xAD\xBC\xCB\xDA garbage"),
                                     QHostAddress::LocalHost, port);
                sender.writeDatagram(
                    Bytes(live::WsjtxWriter::Decode("WSJT-X", "CQ K1ABC FN42", -7, 1200)),
                    QHostAddress::LocalHost, port);
                QTest::qWait(100);
                out += p->readAllStandardOutput();
                return out.contains("K1ABC");
            },
            10000));
        QVERIFY(finished(*p));
        QCOMPARE(p->exitCode(), 0);
        const QList<QByteArray> f = out.split('\n')[0].split('\t');
        QCOMPARE(f.size(), 12);
        QCOMPARE(f[1], QByteArray("ft8"));
        QCOMPARE(f[2], QByteArray("WSJT-X"));
        QCOMPARE(f[3], QByteArray("14075.2"));
        QCOMPARE(f[5], QByteArray("K1ABC"));
        QCOMPARE(f[7], QByteArray("42.50")); // the locator's square
        QCOMPARE(f[8], QByteArray("-71.00"));
        QCOMPARE(f[9], QByteArray("")); // no --from: no bearing
        QCOMPARE(f[11], QByteArray("CQ K1ABC FN42"));
    }

    void spotsToolExitStatus() {
        quint16 closedPort;
        {
            QTcpServer s;
            s.listen(QHostAddress::LocalHost, 0);
            closedPort = s.serverPort();
        }
        const struct {
            QStringList args;
            int code;
        } cases[] = {
            {{"--cluster", QStringLiteral("127.0.0.1:%1").arg(closedPort), "--login", "N0CALL"}, 3},
            {{}, 2},
            {{"--cluster", "nohostport", "--login", "N0CALL"}, 2},
            {{"--cluster", "127.0.0.1:7300"}, 2},
            {{"--login", "N0CALL"}, 2},
            {{"--wsjtx", "99999"}, 2},
            {{"--wsjtx", "2237", "--from", "ZZ99"}, 2},
            {{"--wsjtx", "2237", "--for", "soon"}, 2},
            {{"--wsjtx", "2237", "--cty", "/nonexistent/cty.dat"}, 2},
            {{"--bogus"}, 2},
            {{"--help"}, 0},
        };
        for (const auto& c : cases) {
            auto p = spots(c.args);
            QVERIFY(finished(*p));
            QVERIFY2(p->exitCode() == c.code,
                     qPrintable(c.args.join(' ') + " -> " + QString::number(p->exitCode())));
        }
    }
};

QTEST_GUILESS_MAIN(LiveNetTest)
#include "test_live_net.moc"
