// korvanta-link against a running server: get, follow (also turning a
// rotator), and its exit status without a server.
#include "FakeRotctld.h"

#include "link/AzimuthServer.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

class LinkToolTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> runtime;
    std::unique_ptr<AzimuthServer> server;

    // The tool, with the test's runtime folder and a service of its own.
    std::unique_ptr<QProcess> tool(const QStringList& args) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime->path());
        p->setProcessEnvironment(env);
        p->start(KORVANTA_LINK_TOOL, QStringList{"--service", "ktest"} + args);
        return p;
    }
    // Waits for the end while the server keeps serving.
    static bool finished(QProcess& p) {
        return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 20000);
    }

  private slots:
    void init() {
        runtime = std::make_unique<QTemporaryDir>();
        ::chmod(runtime->path().toLocal8Bit().constData(), 0700);
        server = std::make_unique<AzimuthServer>();
        azlink::SocketPlace place;
        place.folder = runtime->path().toStdString();
        place.path = place.folder + "/ktest.sock";
        QCOMPARE(server->listenAt(place), QString());
    }
    void cleanup() {
        server.reset();
        runtime.reset();
    }

    void getPrintsTheValueOrNothing() {
        auto empty = tool({"get"});
        QVERIFY(finished(*empty));
        QCOMPARE(empty->exitCode(), 0);
        QCOMPARE(empty->readAllStandardOutput(), QByteArray());
        server->publish("237");
        auto value = tool({"get"});
        QVERIFY(finished(*value));
        QCOMPARE(value->exitCode(), 0);
        QCOMPARE(value->readAllStandardOutput(), QByteArray("237\n"));
        QCOMPARE(server->openConversations(), 0); // it said DISCONNECT
    }

    void followPrintsEachValueUntilTheServerGoes() {
        auto follow = tool({"follow"});
        QTRY_COMPARE_WITH_TIMEOUT(server->advisingClients(), 1, 20000);
        server->publish("10");
        server->publish("360");
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += follow->readAllStandardOutput()) == "10\n360\n", 20000);
        server.reset();
        QVERIFY(finished(*follow));
        QCOMPARE(follow->exitStatus(), QProcess::NormalExit);
        QCOMPARE(follow->exitCode(), 0);
    }

    // follow holds a conversation (the program refuses to close meanwhile);
    // follow --watch only subscribes, and ends when the program does.
    void followHoldsAConversationUnlessWatching_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("conversations");
        QTest::newRow("follow") << QStringList{"follow"} << 1;
        QTest::newRow("follow --watch") << QStringList{"follow", "--watch"} << 0;
        QTest::newRow("--watch before follow") << QStringList{"--watch", "follow"} << 0;
    }
    void followHoldsAConversationUnlessWatching() {
        QFETCH(QStringList, args);
        QFETCH(int, conversations);
        auto follow = tool(args);
        QTRY_COMPARE_WITH_TIMEOUT(server->advisingClients(), 1, 20000);
        QCOMPARE(server->openConversations(), conversations);
        server->publish("45");
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += follow->readAllStandardOutput()) == "45\n", 20000);
        server.reset();
        QVERIFY(finished(*follow));
        QCOMPARE(follow->exitCode(), 0);
    }

    void followTurnsTheRotator() {
        FakeRotctld rotator;
        QVERIFY(rotator.listen());
        auto follow =
            tool({"follow", "--rotctld", QStringLiteral("127.0.0.1:%1").arg(rotator.port())});
        QTRY_COMPARE_WITH_TIMEOUT(server->advisingClients(), 1, 20000);
        server->publish("360");
        QTRY_COMPARE_WITH_TIMEOUT(rotator.commands, QByteArray("P 0 0\n"), 20000);
        server->publish("45");
        QTRY_COMPARE_WITH_TIMEOUT(rotator.commands, QByteArray("P 0 0\nP 45 0\n"), 20000);
        server.reset();
        QVERIFY(finished(*follow));
        QCOMPARE(follow->exitCode(), 0);
    }

    void noServerIsExitThreeWithOneLine() {
        server.reset();
        for (const char* command : {"get", "follow"}) {
            auto p = tool({command});
            QVERIFY(finished(*p));
            QCOMPARE(p->exitCode(), 3);
            const QByteArray err = p->readAllStandardError();
            QCOMPARE(err.count('\n'), 1);
            QVERIFY(err.contains("no Korvanta server"));
            QCOMPARE(p->readAllStandardOutput(), QByteArray());
        }
    }

    void busyServerIsToldAsBusy() {
        std::vector<std::unique_ptr<QLocalSocket>> holders;
        for (int i = 0; i < azlink::MaxConnections; ++i) {
            holders.push_back(std::make_unique<QLocalSocket>());
            holders.back()->connectToServer(server->socketPath());
        }
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), azlink::MaxConnections, 20000);
        for (const char* command : {"get", "follow"}) {
            auto p = tool({command});
            QVERIFY(finished(*p));
            QCOMPARE(p->exitCode(), 5);
            const QByteArray err = p->readAllStandardError();
            QVERIFY2(err.contains("busy"), err.constData());
            QCOMPARE(err.count('\n'), 1);
            QCOMPARE(p->readAllStandardOutput(), QByteArray());
        }
    }

    // Without XDG_RUNTIME_DIR the socket lies in <TMPDIR>/<service>-<uid>/:
    // a folder there that is not the user's private one is not read from,
    // whatever socket it holds.
    void foreignSocketFolderIsRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("open to others") << "open"
                                        << "open to other users";
        QTest::newRow("a link to a private folder") << "link"
                                                    << "not a folder";
        QTest::newRow("another user's") << "foreign"
                                        << "belongs to another user";
    }
    void foreignSocketFolderIsRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if (kind == "foreign" && ::geteuid() != 0) QSKIP("changing a folder's owner needs root");
        QTemporaryDir temp;
        const QString folder = temp.path() + QStringLiteral("/ktest-%1").arg(::getuid());
        QString serve = folder; // where the stranger's server listens
        if (kind == "link") {
            serve = temp.path() + "/elsewhere";
            QVERIFY(QDir().mkdir(serve));
            ::chmod(serve.toLocal8Bit().constData(), 0700);
            QVERIFY(QFile::link(serve, folder));
        } else {
            QVERIFY(QDir().mkdir(folder));
            ::chmod(folder.toLocal8Bit().constData(), kind == "open" ? 0755 : 0700);
        }
        QLocalServer stranger;
        QVERIFY(stranger.listen(serve + "/ktest.sock"));
        int answered = 0;
        connect(&stranger, &QLocalServer::newConnection, this, [&] {
            QLocalSocket* s = stranger.nextPendingConnection();
            s->write("OK\nDATA 3\n123OK\n");
            ++answered;
        });
        if (kind == "foreign") QCOMPARE(::chown(folder.toLocal8Bit().constData(), 65534, 65534), 0);

        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        env.insert("TMPDIR", temp.path());
        p->setProcessEnvironment(env);
        p->start(KORVANTA_LINK_TOOL, QStringList{"--service", "ktest", "get"});
        QVERIFY(finished(*p));
        QCOMPARE(p->exitCode(), 6);
        const QByteArray err = p->readAllStandardError();
        QVERIFY2(err.contains(reason.toUtf8()), err.constData());
        QCOMPARE(p->readAllStandardOutput(), QByteArray());
        QCOMPARE(answered, 0);
    }

    void usage() {
        auto help = tool({"--help"});
        QVERIFY(finished(*help));
        QCOMPARE(help->exitCode(), 0);
        QVERIFY(help->readAllStandardOutput().contains("follow"));
        for (const QStringList& wrong :
             {QStringList{}, QStringList{"fetch"}, QStringList{"get", "--rotctld", "h:1"},
              QStringList{"follow", "--rotctld", "h:99999"}, QStringList{"get", "--watch"}}) {
            auto p = tool(wrong);
            QVERIFY(finished(*p));
            QCOMPARE(p->exitCode(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(LinkToolTest)
#include "test_link_tool.moc"
