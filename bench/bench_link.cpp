// Publication-to-client latency of the azimuth server: from publish() until
// an advising local-socket client holds the whole push, side by side with a
// bare local-socket round trip of the same size (the floor any local
// transport has).
#include "link/AzimuthServer.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/stat.h>

namespace {

QCoreApplication* App() {
    static int argc = 1;
    static char name[] = "bench_link";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return &app;
}

void WaitFor(QLocalSocket& s, qsizetype n, QByteArray& got) {
    while (got.size() < n) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        got += s.readAll();
    }
}

void BM_PublishToAdvisingClient(benchmark::State& state) {
    App();
    QTemporaryDir dir;
    ::chmod(dir.path().toLocal8Bit().constData(), 0700);
    AzimuthServer server;
    azlink::SocketPlace place;
    place.folder = dir.path().toStdString();
    place.path = place.folder + "/bench.sock";
    if (!server.listenAt(place).isEmpty()) {
        state.SkipWithError("no server");
        return;
    }
    QLocalSocket client;
    client.connectToServer(server.socketPath());
    client.waitForConnected(5000);
    client.write("CONNECT Data\nADVISE Azimuth CF_TEXT\n");
    client.flush();
    QByteArray got;
    WaitFor(client, 6, got);
    int bearing = 0;
    const qsizetype pushSize = 15; // "ADVISE 6\n" + "123\r\n\0"
    for (auto _ : state) {
        got.clear();
        server.publish(QString::number(100 + bearing++ % 800));
        WaitFor(client, pushSize, got);
    }
}
BENCHMARK(BM_PublishToAdvisingClient)->UseRealTime();

void BM_BareLocalSocketRoundTrip(benchmark::State& state) {
    App();
    QTemporaryDir dir;
    QLocalServer server;
    server.listen(dir.filePath("echo.sock"));
    QLocalSocket client;
    client.connectToServer(server.fullServerName());
    client.waitForConnected(5000);
    QLocalSocket* peer = nullptr;
    while (!(peer = server.nextPendingConnection()))
        QCoreApplication::processEvents();
    const QByteArray push("ADVISE 6\n123\r\n\0", 15);
    QByteArray got;
    for (auto _ : state) {
        got.clear();
        peer->write(push);
        WaitFor(client, push.size(), got);
    }
}
BENCHMARK(BM_BareLocalSocketRoundTrip)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
