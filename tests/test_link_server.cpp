// The azimuth server against real local-socket clients: the protocol, the
// value, the pushes, the limits against hostile clients, the socket's place.
#include "LinkClient.h"

#include "link/AzimuthServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>

namespace {

azlink::SocketPlace PlaceIn(const QTemporaryDir& dir, const char* service = "korvanta") {
    azlink::SocketPlace p;
    p.folder = dir.path().toStdString();
    p.path = p.folder + "/" + service + ".sock";
    return p;
}

} // namespace

class LinkServerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<AzimuthServer> server;

    QString path() const { return server->socketPath(); }

  private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        ::chmod(dir->path().toLocal8Bit().constData(), 0700);
        server = std::make_unique<AzimuthServer>();
        QCOMPARE(server->listenAt(PlaceIn(*dir)), QString());
    }
    void cleanup() {
        server.reset();
        dir.reset();
    }

    void protocol_data() {
        QTest::addColumn<QString>("published"); // before the client speaks
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("opens");
        QTest::addColumn<int>("closes");
        QTest::addColumn<bool>("serverCloses");
        const QByteArray c = "CONNECT Data\n";
        QTest::newRow("connect") << "" << c << QByteArray("OK\n") << 1 << 0 << false;
        QTest::newRow("connect, CR before LF")
            << "" << QByteArray("CONNECT Data\r\n") << QByteArray("OK\n") << 1 << 0 << false;
        QTest::newRow("other topic") << "" << QByteArray("CONNECT System\n")
                                     << QByteArray("ERROR unknown topic\n") << 0 << 0 << false;
        QTest::newRow("second connect")
            << "" << c + c << QByteArray("OK\nERROR already connected\n") << 1 << 0 << false;
        QTest::newRow("request before anything published")
            << "" << c + "REQUEST Azimuth CF_TEXT\n"
            << Bytes("OK\nDATA 1\n\0", 11) << 1 << 0 << false;
        QTest::newRow("request 237") << "237" << c + "REQUEST Azimuth CF_TEXT\n"
                                     << Bytes("OK\nDATA 6\n237\r\n\0", 16) << 1 << 0 << false;
        QTest::newRow("other format") << "237" << c + "REQUEST Azimuth CF_UNICODETEXT\n"
                                      << QByteArray("OK\nNODATA\n") << 1 << 0 << false;
        QTest::newRow("other item") << "237" << c + "REQUEST Elevation CF_TEXT\n"
                                    << QByteArray("OK\nNODATA\n") << 1 << 0 << false;
        QTest::newRow("advise") << "" << c + "ADVISE Azimuth CF_TEXT\n"
                                << QByteArray("OK\nOK\n") << 1 << 0 << false;
        QTest::newRow("advise, other format") << "" << c + "ADVISE Azimuth CF_BITMAP\n"
                                              << QByteArray("OK\nNODATA\n") << 1 << 0 << false;
        QTest::newRow("unadvise") << "" << c + "UNADVISE Azimuth\n"
                                  << QByteArray("OK\nOK\n") << 1 << 0 << false;
        QTest::newRow("poke") << "237" << c + "POKE Azimuth 90\nREQUEST Azimuth CF_TEXT\n"
                              << Bytes("OK\nNOTPROCESSED\nDATA 6\n237\r\n\0", 29) << 1 << 0
                              << false;
        QTest::newRow("execute") << "" << c + "EXECUTE [quit]\n"
                                 << QByteArray("OK\nNOTPROCESSED\n") << 1 << 0 << false;
        QTest::newRow("disconnect") << "" << c + "DISCONNECT\n"
                                    << QByteArray("OK\nOK\n") << 1 << 1 << true;
        QTest::newRow("request before connect")
            << "" << QByteArray("REQUEST Azimuth CF_TEXT\n") << QByteArray("ERROR not connected\n")
            << 0 << 0 << false;
        QTest::newRow("poke before connect")
            << "" << QByteArray("POKE Azimuth 1\n") << QByteArray("ERROR not connected\n") << 0 << 0
            << false;
        QTest::newRow("unknown command")
            << "" << c + "HELLO\n"
            << QByteArray("OK\nERROR unknown command\n") << 1 << 0 << false;
        // WATCH: the pushes without a conversation (the program may close).
        const QByteArray watch = "WATCH Azimuth CF_TEXT\n";
        QTest::newRow("watch") << "" << watch << QByteArray("OK\n") << 0 << 0 << false;
        QTest::newRow("watch, other format") << "" << QByteArray("WATCH Azimuth CF_BITMAP\n")
                                             << QByteArray("NODATA\n") << 0 << 0 << false;
        QTest::newRow("watch, wrong words")
            << "" << QByteArray("WATCH Azimuth\n")
            << QByteArray("ERROR usage: WATCH <item> <format>\n") << 0 << 0 << false;
        QTest::newRow("watch in a conversation")
            << "" << c + watch << QByteArray("OK\nERROR already connected\n") << 1 << 0 << false;
        QTest::newRow("connect while watching")
            << "" << watch + c << QByteArray("OK\nERROR watching\n") << 0 << 0 << false;
        QTest::newRow("request while watching")
            << "237" << watch + "REQUEST Azimuth CF_TEXT\n"
            << QByteArray("OK\nERROR watching\n") << 0 << 0 << false;
        QTest::newRow("disconnect while watching") << "" << watch + "DISCONNECT\n"
                                                   << QByteArray("OK\nOK\n") << 0 << 0 << true;
        QTest::newRow("disconnect before anything")
            << "" << QByteArray("DISCONNECT\n") << QByteArray("ERROR not connected\n") << 0 << 0
            << false;
        QTest::newRow("not ASCII") << "" << QByteArray("CONNECT D\xc3\xa4ta\n")
                                   << QByteArray("ERROR not plain ASCII\n") << 0 << 0 << false;
    }
    void protocol() {
        QFETCH(QString, published);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(int, opens);
        QFETCH(int, closes);
        QFETCH(bool, serverCloses);
        if (!published.isEmpty()) server->publish(published);
        QSignalSpy opened(server.get(), &AzimuthServer::conversationOpened);
        QSignalSpy closed(server.get(), &AzimuthServer::conversationClosed);
        LinkClient client;
        QVERIFY(client.connectTo(path()));
        QCOMPARE(client.ask(request, answer.size()), answer);
        if (serverCloses) QVERIFY(client.closedByServer());
        QCOMPARE(opened.count(), opens);
        QCOMPARE(closed.count(), closes);
        QCOMPARE(server->openConversations(), opens - closes);
    }

    void pushesGoToAdvisingClientsOnly() {
        LinkClient advising, asking;
        QVERIFY(advising.connectTo(path()));
        QVERIFY(asking.connectTo(path()));
        QCOMPARE(advising.ask("CONNECT Data\nADVISE Azimuth CF_TEXT\n", 6), QByteArray("OK\nOK\n"));
        QCOMPARE(asking.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        advising.received.clear();
        asking.received.clear();
        server->publish("237");
        QVERIFY(advising.waitFor(15));
        QCOMPARE(advising.received, Bytes("ADVISE 6\n237\r\n\0", 15));
        // After UNADVISE the next push does not come: the next bytes are the
        // answer to a request sent after the publication.
        QCOMPARE(advising.ask("UNADVISE Azimuth\n", 3), QByteArray("OK\n"));
        server->publish("91");
        QCOMPARE(advising.ask("REQUEST Azimuth CF_TEXT\n", 12), Bytes("DATA 5\n91\r\n\0", 12));
        QCOMPARE(asking.ask("REQUEST Azimuth CF_TEXT\n", 12), Bytes("DATA 5\n91\r\n\0", 12));
    }

    // A watching connection gets every push, counts as no conversation, and
    // its drop closes none.
    void watchersGetPushesWithoutAConversation() {
        QSignalSpy opened(server.get(), &AzimuthServer::conversationOpened);
        QSignalSpy closed(server.get(), &AzimuthServer::conversationClosed);
        auto watcher = std::make_unique<LinkClient>();
        QVERIFY(watcher->connectTo(path()));
        QCOMPARE(watcher->ask("WATCH Azimuth CF_TEXT\n", 3), QByteArray("OK\n"));
        QCOMPARE(server->advisingClients(), 1);
        QCOMPARE(server->openConversations(), 0);
        watcher->received.clear();
        server->publish("237");
        QVERIFY(watcher->waitFor(15));
        QCOMPARE(watcher->received, Bytes("ADVISE 6\n237\r\n\0", 15));
        watcher.reset();
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), 0, 20000);
        QCOMPARE(opened.count(), 0);
        QCOMPARE(closed.count(), 0);
    }

    void droppedConnectionCountsAsItsClose() {
        QSignalSpy closed(server.get(), &AzimuthServer::conversationClosed);
        LinkClient a, never;
        QVERIFY(a.connectTo(path()));
        QVERIFY(never.connectTo(path()));
        QCOMPARE(a.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        a.socket->abort();
        never.socket->abort(); // no conversation was open: no close
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), 0, 10000);
        QCOMPARE(closed.count(), 1);
    }

    void oversizedLineClosesTheConnection() {
        QSignalSpy closed(server.get(), &AzimuthServer::conversationClosed);
        LinkClient bad, good;
        QVERIFY(bad.connectTo(path()));
        QVERIFY(good.connectTo(path()));
        QCOMPARE(bad.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        QCOMPARE(good.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        bad.send("REQUEST " + QByteArray(300, 'A') + "\n");
        QVERIFY(bad.closedByServer());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(good.ask("REQUEST Azimuth CF_TEXT\n", 8), Bytes("DATA 1\n\0", 8));
    }

    void floodThatReadsNothingIsClosed() {
        server->publish("45");
        LinkClient flood, good;
        QVERIFY(flood.connectTo(path()));
        QVERIFY(good.connectTo(path()));
        QObject::disconnect(flood.socket.get(), &QLocalSocket::readyRead, nullptr, nullptr);
        flood.socket->setReadBufferSize(1); // it reads nothing of the answers
        QByteArray lines = "CONNECT Data\n";
        const QByteArray request = "REQUEST Azimuth CF_TEXT\nPOKE Azimuth 1\n";
        while (lines.size() < 4 * 1024 * 1024)
            lines += request;
        flood.send(lines);
        QVERIFY(flood.closedByServer());
        QCOMPARE(server->openConversations(), 0);
        // The value is as published and the others are served.
        QCOMPARE(good.ask("CONNECT Data\nREQUEST Azimuth CF_TEXT\n", 15),
                 Bytes("OK\nDATA 5\n45\r\n\0", 15));
    }

    void thirtyThirdConnectionIsBusy() {
        std::vector<std::unique_ptr<LinkClient>> clients;
        for (int i = 0; i < azlink::MaxConnections; ++i) {
            clients.push_back(std::make_unique<LinkClient>());
            QVERIFY(clients.back()->connectTo(path()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), azlink::MaxConnections, 10000);
        LinkClient extra;
        QVERIFY(extra.connectTo(path()));
        QVERIFY(extra.waitFor(11));
        QCOMPARE(extra.received, QByteArray("ERROR busy\n"));
        QVERIFY(extra.closedByServer());
        QCOMPARE(server->connectionCount(), azlink::MaxConnections);
        QCOMPARE(clients.back()->ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        // A place freed is taken again.
        clients.front()->socket->abort();
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), azlink::MaxConnections - 1, 10000);
        LinkClient next;
        QVERIFY(next.connectTo(path()));
        QCOMPARE(next.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
    }

    void staleSocketFileIsReplaced() {
        const azlink::SocketPlace place = PlaceIn(*dir, "stale");
        // A socket bound and left behind, as by a run that crashed.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", place.path.c_str());
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
        QVERIFY(QFile::exists(QString::fromStdString(place.path)));
        AzimuthServer again;
        QCOMPARE(again.listenAt(place), QString());
        LinkClient client;
        QVERIFY(client.connectTo(again.socketPath()));
        QCOMPARE(client.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        struct stat st {};
        QCOMPARE(::stat(place.path.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 077, 0u); // the user's alone
    }

    void secondInstanceLeavesTheFirstAlone() {
        LinkClient client;
        QVERIFY(client.connectTo(path()));
        QCOMPARE(client.ask("CONNECT Data\nADVISE Azimuth CF_TEXT\n", 6), QByteArray("OK\nOK\n"));
        AzimuthServer second;
        const QString why = second.listenAt(PlaceIn(*dir));
        QVERIFY2(why.contains("another instance"), qPrintable(why));
        QVERIFY(!second.isListening());
        QVERIFY(server->isListening());
        client.received.clear();
        server->publish("12");
        QVERIFY(client.waitFor(14));
        QCOMPARE(client.received, Bytes("ADVISE 5\n12\r\n\0", 14));
    }

    void fileThatIsNoSocketIsLeftAlone() {
        const azlink::SocketPlace place = PlaceIn(*dir, "plain");
        QFile f(QString::fromStdString(place.path));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("notes");
        f.close();
        AzimuthServer s;
        QVERIFY(!s.listenAt(place).isEmpty());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("notes"));
    }

    void connectionsWithoutAConversationAreClosedInTime() {
        server->setOpenDeadline(300);
        // Every place taken by clients that never say CONNECT ...
        std::vector<std::unique_ptr<LinkClient>> idle;
        for (int i = 0; i < azlink::MaxConnections; ++i) {
            idle.push_back(std::make_unique<LinkClient>());
            QVERIFY(idle.back()->connectTo(path()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), azlink::MaxConnections, 10000);
        // ... and one that opens its conversation in time, then waits.
        idle.front()->socket->abort();
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), azlink::MaxConnections - 1, 10000);
        LinkClient talking;
        QVERIFY(talking.connectTo(path()));
        QCOMPARE(talking.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
        // The idle ones are closed; the conversation stays.
        for (std::size_t i = 1; i < idle.size(); ++i)
            QVERIFY(idle[i]->closedByServer());
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), 1, 10000);
        QTest::qWait(500);
        QCOMPARE(server->connectionCount(), 1);
        QCOMPARE(talking.ask("REQUEST Azimuth CF_TEXT\n", 4).left(4), QByteArray("DATA"));
        // A new client gets a place.
        LinkClient next;
        QVERIFY(next.connectTo(path()));
        QCOMPARE(next.ask("CONNECT Data\n", 3), QByteArray("OK\n"));
    }

    void folderOfSomeoneElseOrOpenToOthersIsRefused() {
        azlink::SocketPlace place;
        place.folder = (dir->path() + "/k-1000").toStdString();
        place.path = place.folder + "/korvanta.sock";
        place.createFolder = true;
        QVERIFY(::mkdir(place.folder.c_str(), 0755) == 0);
        AzimuthServer open;
        QVERIFY(open.listenAt(place).contains("open to other users"));
        QVERIFY(!QFile::exists(QString::fromStdString(place.path)));
        if (::geteuid() != 0)
            QSKIP("changing a folder's owner needs root; the rule is tested alone");
        ::chmod(place.folder.c_str(), 0700);
        QCOMPARE(::chown(place.folder.c_str(), 65534, 65534), 0);
        AzimuthServer foreign;
        QVERIFY(foreign.listenAt(place).contains("belongs to another user"));
        QVERIFY(!foreign.isListening());
    }
};

QTEST_GUILESS_MAIN(LinkServerTest)
#include "test_link_server.moc"
